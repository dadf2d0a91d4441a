#pragma once
// Keeps a resizable dialog's controls in place by a static rule table (see ResizeLayout): ruled
// controls are found by their id (object name), the labels written just before them travel with
// them, other controls keep their distance to the top right corner, overlapped controls can be
// hidden and up-down controls stay against their buddies. A dialog sized by a layout has the
// layout switched off by Init.

#include "model/input/ResizeLayout.h"

#include <QPoint>
#include <QRect>
#include <QSize>
#include <QWidget>
#include <vector>

class CResizer
{
public:
    enum ESize
    {
        eLeft = EdgeLeft,
        eTop = EdgeTop,
        eRight = EdgeRight,
        eBottom = EdgeBottom,
        eXCenter = EdgeCentreX,
        eYCenter = EdgeCentreY
    };
    using CBorder = ResizeBorder;
    using CBorderInfo = ResizeRow;

    bool Init(QWidget* dialog, const QRect* reference, const CBorderInfo* rows, int count,
              bool hideOverlapped = true);
    void Move();
    // Back to the size the dialog had when Init ran, keeping its position.
    void ResetSize();
    void SetMinSize(const QSize& size) { m_minSize = size; }
    QPoint GetMinSize() const { return QPoint(m_minSize.width(), m_minSize.height()); }

private:
    struct Ruled
    {
        QWidget* control = nullptr;
        QWidget* label = nullptr;
        QPoint labelOffset;
    };

    QWidget* m_dialog = nullptr;
    CResizeLayout m_layout;
    std::vector<Ruled> m_ruled;
    QRect m_previous;
    bool m_hideOverlapped = true;
    QSize m_minSize;
};
