#pragma once
// Paints menu items the way the icon menu wants them: an icon column with the command's image or
// the check mark, embossed disabled items, and the classic or flat look with its blended colours.

#include "platform/Types.h"

#include <QColor>
#include <QPixmap>
#include <QProxyStyle>

struct GfxMenuColours
{
    QColor text, highlightText, face, menu, highlight, buttonHighlight, buttonShadow, grayText;
};

class CGfxMenuStyle : public QProxyStyle
{
    Q_OBJECT

public:
    CGfxMenuStyle(bool flat, QSize imageSize);

    // The colours of a look from a palette: in the flat look, when the menu colour equals the face
    // colour, the face is blended 0.4 toward white, the menu becomes white and grey text 0.35.
    static GfxMenuColours Colours(const QPalette& palette, bool flat);
    const GfxMenuColours& GetColours() const { return m_colours; }
    bool IsFlat() const { return m_bFlat; }

    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget = nullptr) const override;
    QSize sizeFromContents(ContentsType type, const QStyleOption* option, const QSize& size,
                           const QWidget* widget = nullptr) const override;
    int pixelMetric(PixelMetric metric, const QStyleOption* option = nullptr,
                    const QWidget* widget = nullptr) const override;

private:
    void DrawItem(const class QStyleOptionMenuItem* item, QPainter* p) const;
    void DrawText(QPainter* p, const QRect& r, const QString& text, bool enabled, bool selected) const;

    bool m_bFlat;
    QSize m_imageSize;
    GfxMenuColours m_colours;
    QPixmap m_check;
};

QColor ToQColor(COLORREF c);
COLORREF ToColorRef(const QColor& c);
