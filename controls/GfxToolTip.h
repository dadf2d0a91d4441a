#pragma once
// The one-line tip a grid lays exactly over a cell whose text is clipped. It never takes the mouse
// (events pass to the grid underneath), and the grid hides it when the mouse leaves the cell or a
// key or button is pressed.

#include <QWidget>

class CGfxToolTip : public QWidget
{
    Q_OBJECT

public:
    explicit CGfxToolTip(QWidget* owner);

    // Shows the whole text over the cell (global coordinates) when it does not fit the cell with
    // margin m on either side. Nothing happens for an empty cell or text, a tip already shown, or
    // while no window of the program has the focus. Returns whether the tip is shown.
    bool Show(const QRect& cell, const QString& text, int margin);
    void Hide();
    QString Text() const { return m_strText; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QWidget* m_pOwner;
    QString m_strText;
};
