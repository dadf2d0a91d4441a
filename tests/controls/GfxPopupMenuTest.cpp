#include "controls/GfxPopupMenu.h"
#include "controls/ColorBlend.h"
#include "controls/GfxMenuStyle.h"
#include "controls/GfxToolBarImages.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QPainter>
#include <QStyleOptionMenuItem>

namespace {

TEST(BlendColorToWhite, MovesChannelsTowardWhite)
{
    const struct
    {
        COLORREF colour;
        double factor;
        COLORREF expected;
    } cases[] = {
        {RGB(0, 0, 0), 0.5, RGB(127, 127, 127)},     {RGB(0, 0, 0), 0.0, RGB(0, 0, 0)},
        {RGB(0, 0, 0), 1.5, RGB(0, 0, 0)},           {RGB(10, 100, 200), 1.0, RGB(255, 255, 255)},
        {RGB(100, 0, 255), 0.4, RGB(162, 102, 255)}, {RGB(1, 2, 3), -0.2, RGB(1, 2, 3)},
    };
    for (const auto& c : cases)
        EXPECT_EQ(BlendColorToWhite(c.colour, c.factor), c.expected) << c.factor;
}

QMenu* SampleMenu()
{
    auto* menu = new QMenu;
    auto add = [](QMenu* m, const char* text, int id) {
        QAction* a = m->addAction(QString::fromUtf8(text));
        a->setData(id);
        return a;
    };
    add(menu, "切り取り(&T)\tCtrl+X", ID_EDIT_CUT);
    menu->addSeparator();
    QMenu* sub = menu->addMenu(QStringLiteral("Sub"));
    add(sub, "貼り付け(&P)", ID_EDIT_PASTE);
    QAction* other = add(menu, "Other", 40001);
    other->setCheckable(true);
    other->setChecked(true);
    return menu;
}

TEST(GfxPopupMenu, MapsCommandsToToolBarImages)
{
    CGfxPopupMenu painter(false, nullptr);
    EXPECT_FALSE(painter.LoadToolBar(9999));
    ASSERT_TRUE(painter.LoadToolBar(IDR_GFX_EDIT));
    EXPECT_EQ(painter.ImageOf(ID_EDIT_CUT), 0);
    EXPECT_EQ(painter.ImageOf(ID_EDIT_UNDO), 3); // the separator takes no image
    EXPECT_EQ(painter.ImageOf(40001), -1);

    std::unique_ptr<QMenu> menu(SampleMenu());
    painter.MakeOwnerDraw(menu.get());
    const QList<QAction*> actions = menu->actions();
    EXPECT_FALSE(actions[0]->icon().isNull());
    EXPECT_FALSE(actions[2]->menu()->actions()[0]->icon().isNull());
    EXPECT_TRUE(actions[3]->icon().isNull());
    EXPECT_NE(qobject_cast<CGfxMenuStyle*>(menu->style()), nullptr);
    EXPECT_NE(qobject_cast<CGfxMenuStyle*>(actions[2]->menu()->style()), nullptr);

    // A second conversion leaves converted items alone.
    actions[0]->setIcon(QIcon());
    painter.MakeOwnerDraw(menu.get());
    EXPECT_TRUE(actions[0]->icon().isNull());

    CGfxPopupMenu::UpdateCommandStates(menu.get(), [](int id, QAction* a) {
        if (id != ID_EDIT_CUT)
            return false;
        a->setEnabled(true);
        return true;
    });
    EXPECT_TRUE(actions[0]->isEnabled());
    EXPECT_FALSE(actions[3]->isEnabled()); // no handler
    EXPECT_FALSE(actions[2]->menu()->actions()[0]->isEnabled());
}

TEST(GfxMenuStyle, FlatLookBlendsItsColours)
{
    QPalette pal;
    pal.setColor(QPalette::Window, QColor(200, 200, 200));
    pal.setColor(QPalette::Button, QColor(200, 200, 200));
    pal.setColor(QPalette::Disabled, QPalette::Text, QColor(100, 100, 100));
    const GfxMenuColours flat = CGfxMenuStyle::Colours(pal, true);
    EXPECT_EQ(flat.face, QColor(222, 222, 222));
    EXPECT_EQ(flat.menu, QColor(Qt::white));
    EXPECT_EQ(flat.grayText, QColor(154, 154, 154));
    const GfxMenuColours classic = CGfxMenuStyle::Colours(pal, false);
    EXPECT_EQ(classic.face, QColor(200, 200, 200));
    // A menu colour that differs from the face keeps the classic colours.
    pal.setColor(QPalette::Window, QColor(250, 250, 250));
    EXPECT_EQ(CGfxMenuStyle::Colours(pal, true).face, QColor(200, 200, 200));
}

TEST(GfxMenuStyle, MeasuresItemsAndSeparators)
{
    CGfxMenuStyle style(false, QSize(16, 15));
    QStyleOptionMenuItem item;
    item.font = QApplication::font();
    item.menuItemType = QStyleOptionMenuItem::Separator;
    const QFontMetrics fm(item.font);
    EXPECT_EQ(style.sizeFromContents(QStyle::CT_MenuItem, &item, QSize()), QSize(10, (fm.height() + 4) / 2));
    item.menuItemType = QStyleOptionMenuItem::Normal;
    item.text = QString();
    EXPECT_EQ(style.sizeFromContents(QStyle::CT_MenuItem, &item, QSize()), QSize(100, 20));
    item.text = QStringLiteral("Open");
    const QSize s = style.sizeFromContents(QStyle::CT_MenuItem, &item, QSize());
    EXPECT_EQ(s.height(), std::max(20, fm.height()));
    EXPECT_GE(s.width(), fm.horizontalAdvance(QStringLiteral("Open")) + 17 + 20);
}

// The colour at the middle of a painted item.
QColor PaintedMiddle(bool flat, bool selected, bool enabled)
{
    CGfxMenuStyle style(flat, QSize(16, 15));
    QStyleOptionMenuItem item;
    item.font = QApplication::font();
    item.menuItemType = QStyleOptionMenuItem::Normal;
    item.rect = QRect(0, 0, 200, 20);
    item.text = QString();
    item.state = QStyle::State_None;
    if (selected)
        item.state |= QStyle::State_Selected;
    if (enabled)
        item.state |= QStyle::State_Enabled;
    QImage image(200, 20, QImage::Format_RGB32);
    image.fill(Qt::black);
    QPainter p(&image);
    style.drawControl(QStyle::CE_MenuItem, &item, &p);
    p.end();
    return image.pixelColor(100, 10);
}

TEST(GfxMenuStyle, PaintsSelectionPerLook)
{
    const GfxMenuColours classic = CGfxMenuStyle::Colours(QApplication::palette(), false);
    const GfxMenuColours flat = CGfxMenuStyle::Colours(QApplication::palette(), true);
    EXPECT_EQ(PaintedMiddle(false, true, true), classic.highlight);
    EXPECT_EQ(PaintedMiddle(false, false, true), classic.menu);
    EXPECT_EQ(PaintedMiddle(true, true, true), ToQColor(BlendColorToWhite(ToColorRef(flat.highlight), 0.7)));
    EXPECT_EQ(PaintedMiddle(true, true, false), flat.menu);
}

} // namespace
