#include "controls/DragAndDropCheckListBox.h"
#include "controls/DragAndDropListBox.h"
#include "controls/EllipsisEdit.h"
#include "controls/FolderCombo.h"
#include "controls/WidestItemWidth.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMouseEvent>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <sys/stat.h>

namespace {

void SendMouse(QWidget* w, QEvent::Type type, QPoint pos, Qt::MouseButtons buttons)
{
    QMouseEvent e(type, QPointF(pos), w->mapToGlobal(QPointF(pos)),
                  type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton, buttons, Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

QStringList Texts(const QListWidget& list)
{
    QStringList out;
    for (int i = 0; i < list.count(); ++i)
        out << list.item(i)->text();
    return out;
}

QPoint ItemCentre(const QListWidget& list, int row)
{
    return list.visualItemRect(list.item(row)).center();
}

void Drag(QListWidget& list, int from, QPoint to)
{
    QWidget* vp = list.viewport();
    SendMouse(vp, QEvent::MouseButtonPress, ItemCentre(list, from), Qt::LeftButton);
    SendMouse(vp, QEvent::MouseMove, to, Qt::LeftButton);
    SendMouse(vp, QEvent::MouseButtonRelease, to, Qt::NoButton);
}

struct DropCase
{
    const char* name;
    int from;
    int toRow; // -1: below the last item
    QStringList expected;
};

TEST(DragAndDropListBox, DropsMoveItemsAndAlwaysSignal)
{
    const std::vector<DropCase> cases = {
        {"down", 0, 2, {"B", "A", "C", "D"}},
        {"up", 3, 1, {"A", "D", "B", "C"}},
        {"onto itself", 1, 1, {"A", "B", "C", "D"}},
        {"below the last", 0, -1, {"B", "C", "D", "A"}},
    };
    for (const DropCase& c : cases) {
        CDragAndDropListBox list;
        list.addItems({"A", "B", "C", "D"});
        list.item(c.from)->setData(Qt::UserRole, 42);
        list.resize(120, 200);
        list.show();
        QSignalSpy spy(&list, &CDragAndDropListBox::selChange);
        const QPoint to = c.toRow < 0 ? QPoint(10, ItemCentre(list, 3).y() + 40) : ItemCentre(list, c.toRow);
        Drag(list, c.from, to);
        EXPECT_EQ(Texts(list), c.expected) << c.name;
        EXPECT_EQ(spy.count(), 1) << c.name;
        EXPECT_EQ(list.currentItem()->data(Qt::UserRole).toInt(), 42) << c.name;
        EXPECT_FALSE(list.IsDragging());
        EXPECT_EQ(list.GetDropIndex(), -1);
    }
}

TEST(DragAndDropListBox, OneItemNeverDrags)
{
    CDragAndDropListBox list;
    list.addItem("A");
    list.show();
    SendMouse(list.viewport(), QEvent::MouseButtonPress, ItemCentre(list, 0), Qt::LeftButton);
    EXPECT_FALSE(list.IsDragging());
}

TEST(DragAndDropListBox, AutoScrollIsFasterFartherAway)
{
    CDragAndDropListBox list;
    for (int i = 0; i < 50; ++i)
        list.addItem(QString::number(i));
    list.resize(120, 100);
    list.show();
    QWidget* vp = list.viewport();
    const int h = vp->height();
    const int item = list.sizeHintForRow(0);
    SendMouse(vp, QEvent::MouseButtonPress, ItemCentre(list, 0), Qt::LeftButton);
    ASSERT_TRUE(list.IsDragging());
    const struct
    {
        int distance, period;
    } cases[] = {{1, 250}, {item, 125}, {2 * item, 83}, {item - 1, 250}};
    for (const auto& c : cases) {
        SendMouse(vp, QEvent::MouseMove, QPoint(10, h - 1 + c.distance), Qt::LeftButton);
        EXPECT_EQ(list.GetScrollPeriod(), c.period) << c.distance;
    }
    EXPECT_GT(list.verticalScrollBar()->value(), 0); // each change scrolls one step at once
    SendMouse(vp, QEvent::MouseMove, QPoint(10, -3 * item), Qt::LeftButton);
    EXPECT_EQ(list.GetScrollPeriod(), 62);
    SendMouse(vp, QEvent::MouseMove, QPoint(10, 5), Qt::LeftButton);
    EXPECT_EQ(list.GetScrollPeriod(), 0);
    // Keys move the drop position while dragging.
    QTest::keyClick(&list, Qt::Key_End);
    EXPECT_EQ(list.GetDropIndex(), -1);
    QTest::keyClick(&list, Qt::Key_Up);
    EXPECT_EQ(list.GetDropIndex(), 49);
    QTest::keyClick(&list, Qt::Key_Home);
    EXPECT_EQ(list.GetDropIndex(), 0);
    QTest::keyClick(&list, Qt::Key_PageDown);
    EXPECT_EQ(list.GetDropIndex(), 10);
}

TEST(DragAndDropCheckListBox, ChecksTravelWithTheirItems)
{
    CDragAndDropCheckListBox list;
    list.AddItem("A", true);
    list.AddItem("B");
    list.AddItem("C", true);
    list.resize(120, 200);
    list.show();
    Drag(list, 0, ItemCentre(list, 2));
    EXPECT_EQ(Texts(list), (QStringList{"B", "A", "C"}));
    EXPECT_EQ(list.item(0)->checkState(), Qt::Unchecked);
    EXPECT_EQ(list.item(1)->checkState(), Qt::Checked);
    EXPECT_EQ(list.item(2)->checkState(), Qt::Checked);
}

TEST(EllipsisEdit, ElidesPathsInTheMiddleAndTextAtTheEnd)
{
    const QFontMetrics fm(QApplication::font());
    const QString path = QStringLiteral("/home/user/projects/boards/very/deep/folder/board.vbd");
    const int width = fm.horizontalAdvance(QStringLiteral("/home/user/.../board.vbd"));
    const QString mid = CEllipsisEdit::Elide(path, fm, width, true);
    EXPECT_TRUE(mid.endsWith(QStringLiteral(".../board.vbd"))) << mid.toStdString();
    EXPECT_TRUE(mid.startsWith(QStringLiteral("/home"))) << mid.toStdString();
    EXPECT_LE(fm.horizontalAdvance(mid), width);
    const QString end = CEllipsisEdit::Elide(path, fm, width, false);
    EXPECT_TRUE(end.startsWith(QStringLiteral("/home/user"))) << end.toStdString();
    EXPECT_FALSE(end.endsWith(QStringLiteral("board.vbd")));
    EXPECT_EQ(CEllipsisEdit::Elide(QStringLiteral("short"), fm, width, true), QStringLiteral("short"));
}

TEST(EllipsisEdit, TrimsOnFocusLossAndKeepsItsText)
{
    QWidget w;
    auto* edit = new CEllipsisEdit(true, &w);
    auto* other = new QLineEdit(&w);
    other->move(0, 40);
    edit->resize(60, 24);
    w.show();
    QApplication::setActiveWindow(&w);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    edit->setFocus();
    edit->setText(QStringLiteral("  /a/long/path/name.txt  "));
    other->setFocus();
    QApplication::processEvents();
    EXPECT_EQ(edit->text(), QStringLiteral("/a/long/path/name.txt"));
    (void)edit->grab(); // painting leaves the text alone
    EXPECT_EQ(edit->text(), QStringLiteral("/a/long/path/name.txt"));
}

TEST(FolderCombo, ListsVisibleWritableMatchingFolders)
{
    QTemporaryDir tmp;
    ASSERT_TRUE(tmp.isValid());
    QDir base(tmp.path());
    for (const char* d : {"Boards", "empty", ".hidden", "locked", "Old", "parts"})
        ASSERT_TRUE(base.mkdir(QString::fromLatin1(d)));
    for (const char* f : {"Boards/a.VBD", ".hidden/b.vbd", "locked/c.vbd", "Old/d.vbd", "parts/p.txt"}) {
        QFile file(base.filePath(QString::fromLatin1(f)));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    ASSERT_EQ(chmod(QFile::encodeName(base.filePath("locked")).constData(), 0555), 0);

    CFolderCombo combo;
    combo.SetBaseFolder(tmp.path());
    combo.Refresh();
    QStringList all;
    for (int i = 0; i < combo.count(); ++i)
        all << combo.itemText(i);
    EXPECT_EQ(all, (QStringList{"Boards", "Old", "empty", "parts"})); // "*.*": every visible folder

    combo.m_strPattern = QStringLiteral("*.vbd");
    combo.m_exclusions = {QDir::cleanPath(tmp.path() + QStringLiteral("/OLD"))};
    combo.setEditText(QStringLiteral("typed"));
    combo.Refresh();
    QStringList vbd;
    for (int i = 0; i < combo.count(); ++i)
        vbd << combo.itemText(i);
    EXPECT_EQ(vbd, QStringList{"Boards"});
    EXPECT_EQ(combo.currentText(), QStringLiteral("typed"));
    combo.setEditText(QStringLiteral("boards"));
    combo.Refresh();
    EXPECT_EQ(combo.currentIndex(), 0);
    chmod(QFile::encodeName(base.filePath("locked")).constData(), 0755);

    combo.SetBaseFolder(tmp.path() + QStringLiteral("/missing"));
    combo.Refresh();
    EXPECT_EQ(combo.count(), 0);
}

TEST(WidestItemWidth, MeasuresEntriesInTheControlsFont)
{
    const QFont font = QApplication::font();
    const QFontMetrics fm(font);
    const QStringList texts = {"a", "a much longer entry", "mid"};
    const int widest = fm.horizontalAdvance(texts[1]);
    EXPECT_EQ(GetWidestItemWidth(texts, font), widest + 6);
    QListWidget list;
    list.addItems(texts);
    EXPECT_EQ(GetWidestItemWidth(list), widest + 6);
    EXPECT_EQ(GetWidestItemWidth(list, true), widest + 22);
    QComboBox combo;
    combo.addItems(texts);
    EXPECT_EQ(GetWidestItemWidth(combo), widest + 6);
    for (int i = 0; i < 20; ++i)
        combo.addItem(QStringLiteral("x"));
    EXPECT_GT(GetWidestItemWidth(combo), widest + 6); // a scroll bar's room
    EXPECT_EQ(GetWidestItemWidth(QStringList(), font), 6);
}

} // namespace
