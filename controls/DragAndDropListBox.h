#pragma once
// A list whose items the user reorders by dragging one with the left button. A marker line shows
// where it will land; the list scrolls by itself, faster the farther the mouse is above or below
// it; keys and the wheel move the drop position while dragging. Every drop, even one onto the
// item's own place, ends with selChange().

#include <QListWidget>
#include <QTimer>

class CDragAndDropListBox : public QListWidget
{
    Q_OBJECT

public:
    explicit CDragAndDropListBox(QWidget* parent = nullptr);

    int GetDragIndex() const { return m_nDragIndex; }
    int GetDropIndex() const { return m_nDropIndex; }
    bool IsDragging() const { return m_bDragging; }
    // The auto-scroll period in milliseconds, 0 when not scrolling.
    int GetScrollPeriod() const { return m_nScrollPeriod; }
    int GetMarkerY() const { return m_nMarkerY; }
    // The list scrolls one step, down (the mouse below the list) or up.
    void ScrollStep(bool down);

signals:
    void selChange();

protected:
    // The check variant keeps the check box handling and treats a drop index past the end as the
    // end.
    explicit CDragAndDropListBox(bool checkList, QWidget* parent);

    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void StopScroll();
    void AutoScroll(bool down, int distance);
    void SetDrop(int index);
    void UpdateMarker();
    void EndDrag();

    bool m_bCheckList;
    int m_nDragIndex = -1;
    int m_nDropIndex = -1;
    bool m_bDragging = false;
    int m_nScrollPeriod = 0;
    int m_nMarkerY = -1;
    bool m_bScrollDown = true;
    QTimer m_timer;
};
