#include "controls/WidestItemWidth.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QFontMetrics>
#include <QListWidget>
#include <QStyle>

namespace {

int Widest(const QStringList& texts, const QFont& font)
{
    const QFontMetrics fm(font);
    int widest = 0;
    for (const QString& t : texts)
        widest = std::max(widest, fm.horizontalAdvance(t));
    return widest;
}

} // namespace

int GetWidestItemWidth(const QStringList& texts, const QFont& font)
{
    return Widest(texts, font) + 6;
}

int GetWidestItemWidth(const QListWidget& list, bool checkList)
{
    QStringList texts;
    for (int i = 0; i < list.count(); ++i)
        texts << list.item(i)->text();
    return Widest(texts, list.font()) + (checkList ? 16 : 0) + 6;
}

int GetWidestItemWidth(const QComboBox& combo)
{
    QStringList texts;
    for (int i = 0; i < combo.count(); ++i)
        texts << combo.itemText(i);
    int width = Widest(texts, combo.font());
    // The dropped list shows maxVisibleItems entries; more need its scroll bar.
    if (combo.count() > combo.maxVisibleItems())
        width += combo.style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, &combo) + 1;
    return width + 6;
}
