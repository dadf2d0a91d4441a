#include "controls/GfxMenuStyle.h"

#include "controls/ColorBlend.h"
#include "controls/GfxToolBarImages.h"

#include <QApplication>
#include <QPainter>
#include <QStyleFactory>
#include <QStyleOptionMenuItem>

QColor ToQColor(COLORREF c)
{
    return QColor(GetRValue(c), GetGValue(c), GetBValue(c));
}
COLORREF ToColorRef(const QColor& c)
{
    return RGB(c.red(), c.green(), c.blue());
}

CGfxMenuStyle::CGfxMenuStyle(bool flat, QSize imageSize)
    : QProxyStyle(QStyleFactory::create(QStringLiteral("Fusion"))), m_bFlat(flat), m_imageSize(imageSize),
      m_colours(Colours(QApplication::palette(), flat))
{
    if (const GfxToolBar* marks = CGfxToolBarImages::Find(IDB_GFX_MARKS))
        m_check = CGfxToolBarImages::Image(*marks, 0);
}

GfxMenuColours CGfxMenuStyle::Colours(const QPalette& pal, bool flat)
{
    GfxMenuColours c{pal.color(QPalette::WindowText), pal.color(QPalette::HighlightedText),
                     pal.color(QPalette::Button),     pal.color(QPalette::Window),
                     pal.color(QPalette::Highlight),  pal.color(QPalette::Light),
                     pal.color(QPalette::Dark),       pal.color(QPalette::Disabled, QPalette::Text)};
    if (flat && c.menu.rgb() == c.face.rgb()) {
        c.face = ToQColor(BlendColorToWhite(ToColorRef(c.menu), 0.4));
        c.menu = Qt::white;
        c.grayText = ToQColor(BlendColorToWhite(ToColorRef(c.grayText), 0.35));
    }
    return c;
}

int CGfxMenuStyle::pixelMetric(PixelMetric metric, const QStyleOption* option, const QWidget* widget) const
{
    switch (metric) {
    case PM_MenuHMargin:
    case PM_MenuVMargin:
        return 0;
    case PM_MenuPanelWidth:
        return 1;
    case PM_SmallIconSize:
        return m_imageSize.width();
    default:
        return QProxyStyle::pixelMetric(metric, option, widget);
    }
}

QSize CGfxMenuStyle::sizeFromContents(ContentsType type, const QStyleOption* option, const QSize& size,
                                      const QWidget* widget) const
{
    const auto* item = qstyleoption_cast<const QStyleOptionMenuItem*>(option);
    if (!item)
        return QProxyStyle::sizeFromContents(type, option, size, widget);
    const QFontMetrics fm(item->font);
    if (type == CT_MenuBarItem) {
        QString text = item->text;
        const QSize t = fm.size(Qt::TextShowMnemonic | Qt::TextSingleLine, text);
        return {t.width() + 12, t.height() + 6};
    }
    if (type != CT_MenuItem)
        return QProxyStyle::sizeFromContents(type, option, size, widget);
    if (item->menuItemType == QStyleOptionMenuItem::Separator)
        return {10, (fm.height() + 4) / 2};
    if (item->text.isEmpty())
        return {100, m_imageSize.height() + 5};
    QString text = item->text;
    text.replace(QLatin1Char('\t'), QStringLiteral("        "));
    const QSize t = fm.size(Qt::TextShowMnemonic | Qt::TextSingleLine, text);
    const int h = std::max(m_imageSize.height() + 5, t.height());
    return {t.width() + 17 + std::max(m_imageSize.width(), h) + 16, h};
}

void CGfxMenuStyle::DrawText(QPainter* p, const QRect& r, const QString& text, bool enabled,
                             bool selected) const
{
    const int tab = static_cast<int>(text.indexOf(QLatin1Char('\t')));
    const QString label = tab < 0 ? text : text.left(tab);
    const QString accel = tab < 0 ? QString() : text.mid(tab + 1);
    const int flags = Qt::AlignVCenter | Qt::TextShowMnemonic | Qt::TextSingleLine;
    auto draw = [&](const QRect& rr, const QColor& colour) {
        p->setPen(colour);
        p->drawText(rr, flags | Qt::AlignLeft, label);
        if (!accel.isEmpty())
            p->drawText(rr, flags | Qt::AlignRight, accel);
    };
    if (enabled) {
        draw(r, selected && !m_bFlat ? m_colours.highlightText : m_colours.text);
    } else if (selected && !m_bFlat) {
        draw(r, m_colours.menu);
    } else {
        // Embossed: a light copy one pixel down and right, then the grey text.
        draw(r.translated(1, 1), m_colours.buttonHighlight);
        draw(r, m_colours.grayText);
    }
}

void CGfxMenuStyle::DrawItem(const QStyleOptionMenuItem* item, QPainter* p) const
{
    const GfxMenuColours& c = m_colours;
    const QRect r = item->rect;
    const bool enabled = item->state & State_Enabled;
    const bool selected = enabled ? (item->state & State_Selected) != 0 : (item->state & State_Selected) != 0;
    const bool checked = item->checkType != QStyleOptionMenuItem::NotCheckable && item->checked;
    const bool hasImage = !item->icon.isNull();
    const QRect iconBox(r.left(), r.top(), r.height(), r.height());
    const QRect textArea(iconBox.right() + 2, r.top(), r.right() - iconBox.right() - 1, r.height());
    const QRect iconColumn(r.left(), r.top(), m_imageSize.width() + 5, r.height());

    if (item->menuItemType == QStyleOptionMenuItem::Separator) {
        p->fillRect(r, c.menu);
        int left = r.left();
        if (m_bFlat) {
            p->fillRect(iconColumn, c.face);
            left = r.left() + m_imageSize.width() + 9;
        }
        const int y = r.center().y();
        p->setPen(c.buttonShadow);
        p->drawLine(left, y, r.right(), y);
        p->setPen(c.buttonHighlight);
        p->drawLine(left, y + 1, r.right(), y + 1);
        return;
    }

    const bool wholeItem = !hasImage && !checked;
    if (selected && m_bFlat) {
        p->fillRect(r, c.menu);
        if (enabled) {
            p->fillRect(r, ToQColor(BlendColorToWhite(ToColorRef(c.highlight), 0.7)));
            p->setPen(c.highlight);
            p->drawRect(r.adjusted(0, 0, -1, -1));
        }
    } else if (selected) {
        p->fillRect(r, c.menu);
        p->fillRect(wholeItem ? r : textArea, c.highlight);
    } else {
        p->fillRect(m_bFlat || wholeItem ? r : textArea, c.menu);
        if (m_bFlat)
            p->fillRect(iconColumn, c.face);
    }

    if (hasImage) {
        if (!m_bFlat) {
            const QRect box = iconBox.adjusted(0, 0, -1, -1);
            auto edge = [&](const QColor& tl, const QColor& br) {
                p->setPen(tl);
                p->drawLine(box.topLeft(), box.topRight());
                p->drawLine(box.topLeft(), box.bottomLeft());
                p->setPen(br);
                p->drawLine(box.bottomLeft(), box.bottomRight());
                p->drawLine(box.topRight(), box.bottomRight());
            };
            if (checked)
                edge(c.buttonShadow, c.buttonHighlight);
            else if (selected && enabled)
                edge(c.buttonHighlight, c.buttonShadow);
            else
                edge(c.menu, c.menu);
        }
        const QPixmap pm = item->icon.pixmap(m_imageSize, enabled ? QIcon::Normal : QIcon::Disabled);
        p->drawPixmap(iconBox.left() + (iconBox.width() - pm.width()) / 2,
                      iconBox.top() + (iconBox.height() - pm.height()) / 2, pm);
    } else if (checked && !m_check.isNull()) {
        p->drawPixmap(iconBox.left() + (iconBox.width() - m_check.width()) / 2,
                      iconBox.top() + (iconBox.height() - m_check.height()) / 2, m_check);
    }

    p->setFont(item->font);
    const QRect text(textArea.left() + 2, r.top(), textArea.width() - 2 - 15, r.height());
    DrawText(p, text, item->text, enabled, selected);
    if (item->menuItemType == QStyleOptionMenuItem::SubMenu) {
        QStyleOption arrow = *item;
        arrow.rect = QRect(r.right() - 12, r.top(), 10, r.height());
        arrow.palette.setColor(QPalette::ButtonText, enabled ? c.text : c.grayText);
        proxy()->drawPrimitive(PE_IndicatorArrowRight, &arrow, p);
    }
}

void CGfxMenuStyle::drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                                const QWidget* widget) const
{
    const auto* item = qstyleoption_cast<const QStyleOptionMenuItem*>(option);
    if (element == CE_MenuItem && item) {
        painter->save();
        DrawItem(item, painter);
        painter->restore();
        return;
    }
    if (element == CE_MenuBarItem && item) {
        // A top-level title: its text centred; pressed in while selected.
        painter->save();
        painter->fillRect(item->rect, m_colours.menu);
        QRect r = item->rect;
        const bool active = (item->state & State_Selected) && (item->state & State_Enabled);
        if (active) {
            painter->setPen(m_colours.buttonShadow);
            painter->drawLine(r.topLeft(), r.topRight());
            painter->drawLine(r.topLeft(), r.bottomLeft());
            painter->setPen(m_colours.buttonHighlight);
            painter->drawLine(r.bottomLeft(), r.bottomRight());
            painter->drawLine(r.topRight(), r.bottomRight());
            r.translate(2, 1);
        }
        painter->setPen(item->state & State_Enabled ? m_colours.text : m_colours.grayText);
        painter->drawText(r, Qt::AlignCenter | Qt::TextShowMnemonic | Qt::TextSingleLine, item->text);
        painter->restore();
        return;
    }
    if (element == CE_MenuEmptyArea || element == CE_MenuBarEmptyArea) {
        painter->fillRect(option->rect, m_colours.menu);
        return;
    }
    QProxyStyle::drawControl(element, option, painter, widget);
}
