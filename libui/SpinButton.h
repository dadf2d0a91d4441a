#pragma once
// A narrow up-down control beside a buddy field: two arrow buttons that repeat while held, and
// the mouse wheel. On its own it steps an integer position within a range and shows it in the
// buddy; the numeric spin steps a numeric field instead.

#include <QWidget>

class QToolButton;

class CSpinButton : public QWidget
{
    Q_OBJECT
public:
    enum Alignment
    {
        AlignNone,
        AlignRight, // sits against the buddy's right edge
        AlignLeft
    };

    explicit CSpinButton(QWidget* parent = nullptr);

    void SetRange(int minimum, int maximum);
    void GetRange(int& minimum, int& maximum) const;
    // Clamped to the range; shown in the buddy when it shows the position.
    void SetPosition(int position);
    // The position, read back from the buddy's text when it shows it.
    int GetPosition() const;
    void SetBuddyWidget(QWidget* buddy);
    QWidget* GetBuddyWidget() const { return m_buddy; }
    void SetWrap(bool wrap) { m_wrap = wrap; }
    bool IsWrap() const { return m_wrap; }
    void SetShowInBuddy(bool show) { m_showInBuddy = show; }
    void SetAlignment(Alignment alignment) { m_alignment = alignment; }
    Alignment GetAlignment() const { return m_alignment; }

    // One click: delta +1 for up, -1 for down.
    void Click(int delta);
    QToolButton* UpButton() const { return m_up; }
    QToolButton* DownButton() const { return m_down; }
    QSize sizeHint() const override;

signals:
    void positionChanged(int position);

protected:
    // The notification before a step: may change the position; true refuses the step.
    virtual bool OnDeltapos(int& position, int delta);
    void wheelEvent(QWheelEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    QToolButton* m_up;
    QToolButton* m_down;
    QWidget* m_buddy = nullptr;
    int m_minimum = 0;
    int m_maximum = 100;
    int m_position = 0;
    bool m_wrap = false;
    bool m_showInBuddy = true;
    Alignment m_alignment = AlignRight;
};
