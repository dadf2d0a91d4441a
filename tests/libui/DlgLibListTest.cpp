// Part library browser on libraries written by the library document in a folder of the test's
// own: the tree from the index or from the library, preview, rename, delete and copy.

#include "libui/DlgLibList.h"
#include "libui/DlgPartIn.h"
#include "libui/QtItemDialogs.h"
#include "model/library/Library.h"
#include "platform/J.h"
#include "platform/qt/ItemClipboard.h"
#include "platform/qt/QtText.h"
#include "tests/support/LibraryParts.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QImage>
#include <QLineEdit>
#include <QMainWindow>
#include <QMimeData>
#include <QPainter>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include <fstream>

namespace {

using testing_support::MakePart;
using testing_support::PartBoard;

// The shape of a tree: each item's text and data word, children indented.
std::string Shape(QTreeWidgetItem* item, int depth = 0)
{
    std::string out = std::string(static_cast<std::size_t>(depth) * 2, ' ') + item->text(0).toStdString() +
                      " [" + std::to_string(item->data(0, CDlgLibList::DataRole).toInt()) + "]\n";
    for (int i = 0; i < item->childCount(); ++i)
        out += Shape(item->child(i), depth + 1);
    return out;
}

void Shot(QWidget* dialog, const char* name)
{
    const char* folder = std::getenv("VELTA_DIALOG_SHOTS");
    if (folder && *folder)
        dialog->grab().save(QString::fromLocal8Bit(folder) + "/" + name + ".png");
}

class DlgLibListTest : public testing_support::LibraryFixture
{
protected:
    void SetUp() override
    {
        LibraryFixture::SetUp();
        path = PathOf("parts.vlb");
        CLibrary lib;
        lib.SetLibraryName(path);
        // "SOP" with one part, "DIP" with three referenced elements (the second with polarity),
        // "NET" with three elements without reference, written in that order.
        CPart sop = MakePart("SOP", "U1", 0);
        ASSERT_TRUE(lib.WritePart(SheetOf({&sop}).get(), 1));
        CPart d1 = MakePart("DIP", "R1", 0), d2 = MakePart("DIP", "C2", 4, 0x200),
              d3 = MakePart("DIP", "L3", 8);
        lib.SetPackageName("DIP");
        ASSERT_TRUE(lib.WritePart(SheetOf({&d1, &d2, &d3}).get(), 0));
        CPart n1 = MakePart("NET", "", 0), n2 = MakePart("NET", "", 4), n3 = MakePart("NET", "", 8);
        n2.GetValNameText()->SetName("two");
        lib.SetPackageName("NET");
        ASSERT_TRUE(lib.WritePart(SheetOf({&n1, &n2, &n3}).get(), 0));
        lib.SetLibraryList({path});
        lib.WriteLibraryList();
        lib.SetLibraryName(path);
        index = lib.GetIndexName();
    }

    std::unique_ptr<CDlgLibList> Open(DocumentServices* doc)
    {
        auto dialog = std::make_unique<CDlgLibList>();
        dialog->SetDocument(doc);
        dialog->show();
        QApplication::processEvents();
        return dialog;
    }
    static QTreeWidgetItem* Top(CDlgLibList& d) { return d.Tree()->topLevelItem(0); }
    static QTreeWidgetItem* Expanded(CDlgLibList& d)
    {
        d.Tree()->expandItem(Top(d));
        return Top(d);
    }
    static QTreeWidgetItem* Find(QTreeWidgetItem* parent, const char* text)
    {
        for (int i = 0; i < parent->childCount(); ++i)
            if (parent->child(i)->text(0) == QString::fromUtf8(text))
                return parent->child(i);
        return nullptr;
    }
    static void Select(CDlgLibList& d, QTreeWidgetItem* item)
    {
        d.Tree()->setCurrentItem(item);
        QApplication::processEvents();
    }
    // The package names and part counts of the library file.
    std::vector<std::string> FileParts()
    {
        CLibrary lib;
        auto sheet = std::make_unique<CSheet>(0, 0, LAYER_MAX, &board.doc);
        lib.SetLibraryName(path);
        if (!lib.ReadFile())
            return {};
        lib.ReadPart(sheet.get());
        std::vector<std::string> names;
        for (POSITION pos = sheet->GetFirstItemPos(KIND_PART); pos;) {
            auto* part = static_cast<CPart*>(sheet->GetNextItem(KIND_PART, pos));
            names.push_back(part->GetPartName() + "/" + part->GetRefName() + "/" + part->GetValName());
        }
        return names;
    }

    std::string path, index;
};

TEST_F(DlgLibListTest, TreeIsTheSameFromTheIndexAndFromTheLibrary)
{
    std::filesystem::remove(index);
    auto first = Open(&board.doc);
    ASSERT_EQ(first->Tree()->topLevelItemCount(), 1);
    EXPECT_EQ(Top(*first)->text(0), QString::fromStdString("parts.vlb <" + path + ">"));
    EXPECT_EQ(Top(*first)->childCount(), 1); // the placeholder
    const std::string fromLibrary = Shape(Expanded(*first));
    EXPECT_EQ(fromLibrary, "parts.vlb <" + path +
                               "> [0]\n"
                               "  DIP [1]\n    R1 [18]\n    C2 [34]\n    L3 [50]\n"
                               "  NET [1]\n    NET [17]\n    NET [33]\n    NET [49]\n"
                               "  SOP [1]\n"
                               "   Part Count : 7 [3]\n");
    EXPECT_TRUE(std::filesystem::exists(index));
    EXPECT_EQ(messages.Count(), 0u);

    // From the index just written.
    auto second = Open(&board.doc);
    EXPECT_EQ(Shape(Expanded(*second)), fromLibrary);

    // An index of another version, cut short, or lying about its count is rewritten.
    const std::vector<std::uint8_t> good = testing_support::ReadBytes(index);
    std::vector<std::uint8_t> old = good;
    old[old.size() > 30 ? 30 : 0] = '9';
    std::vector<std::uint8_t> cut(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(good.size() - 3));
    std::vector<std::uint8_t> lying = good;
    lying.push_back(0);
    for (const auto& bad : {old, cut, lying}) {
        std::ofstream(index, std::ios::binary | std::ios::trunc)
            .write(reinterpret_cast<const char*>(bad.data()), static_cast<std::streamsize>(bad.size()));
        std::vector<CDlgLibList::IndexRecord> records;
        EXPECT_FALSE(CDlgLibList::ReadIndex(index, records));
        auto again = Open(&board.doc);
        EXPECT_EQ(Shape(Expanded(*again)), fromLibrary);
        EXPECT_EQ(testing_support::ReadBytes(index), good);
    }

    // The icons: a package whose elements have no reference, an element with polarity.
    const QImage plain = Find(Top(*second), "DIP")->icon(0).pixmap(16, 15).toImage();
    const QImage hollow = Find(Top(*second), "NET")->icon(0).pixmap(16, 15).toImage();
    EXPECT_NE(plain, hollow);
}

TEST_F(DlgLibListTest, OwnedByTheMainWindowItOnlyCloses)
{
    QMainWindow frame;
    CDlgLibList owned(&frame);
    owned.show();
    QApplication::processEvents();
    EXPECT_FALSE(FindControl(&owned, CDialogBuilder::IdCancel)->isVisible());
    EXPECT_EQ(FindControl<QPushButton>(&owned, CDialogBuilder::IdOk)->text(), QString::fromUtf8("閉じる"));
    auto plain = Open(&board.doc);
    EXPECT_TRUE(FindControl(plain.get(), CDialogBuilder::IdCancel)->isVisible());
    EXPECT_EQ(FindControl<QPushButton>(plain.get(), CDialogBuilder::IdOk)->text(), "OK");
}

TEST_F(DlgLibListTest, MissingLibraryAddsNothingAndSaysSoOnce)
{
    CLibrary lib;
    lib.SetLibraryList({PathOf("gone.vlb")});
    lib.WriteLibraryList();
    auto d = Open(nullptr);
    EXPECT_EQ(Shape(Expanded(*d)), "gone.vlb <" + PathOf("gone.vlb") + "> [0]\n");
    EXPECT_EQ(messages.Count(), 1u);
    EXPECT_FALSE(std::filesystem::exists(PathOf("gone.vlb")));
}

TEST_F(DlgLibListTest, SelectionPreviewsThePartInLayerColours)
{
    // A hundred logical units per millimetre, as a board document sets.
    const int scale = CDPoint::GetScale();
    CDPoint::SetScale(100);
    struct Restore
    {
        int scale;
        ~Restore() { CDPoint::SetScale(scale); }
    } restore{scale};
    board.topSheet.GetLayerPoint()->color = RGB(255, 40, 40);
    board.topSheet.GetLayerPoint()->drawClass = 4;
    board.topSheet.GetLayerPoint()->display = 1;
    CSheet silk(0, 0, PartBoard::kSilkLineA, &board.doc);
    silk.GetLayerPoint()->color = RGB(255, 255, 0);
    silk.GetLayerPoint()->drawClass = 2;
    board.doc.boardSheets[PartBoard::kSilkLineA] = &silk;
    auto d = Open(&board.doc);
    QTreeWidgetItem* top = Expanded(*d);
    Select(*d, Find(Find(top, "DIP"), "C2"));
    EXPECT_EQ(FindControl<QLineEdit>(d.get(), CDlgLibList::IdRef)->text(), "C2");
    EXPECT_EQ(FindControl<QLineEdit>(d.get(), CDlgLibList::IdOptions)->text(), QString::fromUtf8("極性 "));
    EXPECT_EQ(FindControl<QLineEdit>(d.get(), CDlgLibList::IdType)->text(),
              QString::fromUtf8("DIP 挿入実装部品"));
    EXPECT_EQ(FindControl<QLineEdit>(d.get(), CDlgLibList::IdTerminals)->text(), "1");
    EXPECT_EQ(d->GetPart().GetPartName(), "DIP");
    EXPECT_EQ(d->GetPart().GetRefName(), "C2");

    const auto render = [&d] {
        QImage image(200, 160, QImage::Format_RGB32);
        image.fill(Qt::gray);
        QPainter painter(&image);
        d->DrawPreview(painter, image.rect());
        painter.end();
        int red = 0, yellow = 0, black = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) {
                const QRgb p = image.pixel(x, y);
                red += p == qRgb(255, 40, 40);
                yellow += p == qRgb(255, 255, 0);
                black += p == qRgb(0, 0, 0);
            }
        return std::tuple{red, yellow, black};
    };
    auto [red, yellow, black] = render();
    EXPECT_GT(red, 50);
    EXPECT_GT(yellow, 10);
    EXPECT_GT(black, 1000);

    // A DIP of eight pins with its outline and reference, for the eye.
    {
        CPart dip(CDPoint(0, 0), CDRect(-1.5, -1.5, 9.12, 9.12), 1, 0, 0.0, 0);
        dip.SetPartName("DIP8");
        dip.SetRefName("IC1");
        dip.GetPartNameText()->SetLayerNo(PartBoard::kSilkTextA);
        dip.GetRefNameText()->SetLayerNo(PartBoard::kSilkTextA);
        dip.GetRefNameText()->SetPoint(CDPoint(2.5, 3.2));
        for (int i = 0; i < 8; ++i) {
            const CDPoint at(i < 4 ? i * 2.54 : (7 - i) * 2.54, i < 4 ? 0.0 : 7.62);
            dip.NewLand(at, PartBoard::kBigPad)->SetLayerNo(PartBoard::kTop);
            dip.NewTer(at, CText(std::to_string(i + 1), at, 0))->SetLayerNo(PartBoard::kTermA);
        }
        const CDPoint corners[] = {{-1.2, 1.5}, {8.82, 1.5}, {8.82, 6.1}, {-1.2, 6.1}};
        for (int i = 0; i < 4; ++i)
            dip.NewLine(corners[i], corners[(i + 1) % 4], PartBoard::kTrack, 0)
                ->SetLayerNo(PartBoard::kSilkLineA);
        CLibrary lib;
        lib.SetLibraryName(path);
        lib.SetPackageName("DIP8");
        ASSERT_TRUE(lib.WritePart(SheetOf({&dip}).get(), 0));
        CSheet text(0, 0, PartBoard::kSilkTextA, &board.doc);
        text.GetLayerPoint()->color = RGB(255, 255, 255);
        text.GetLayerPoint()->drawClass = 2;
        board.doc.boardSheets[PartBoard::kSilkTextA] = &text;
        auto shown = Open(&board.doc);
        Select(*shown, Find(Expanded(*shown), "DIP8"));
        EXPECT_EQ(FindControl<QLineEdit>(shown.get(), CDlgLibList::IdTerminals)->text(), "8");
        shown->repaint();
        Shot(shown.get(), "library-browser");
        board.doc.boardSheets[PartBoard::kSilkTextA] = nullptr;
    }

    // "ALL" keeps only the fixed classes: the silk goes, the copper stays.
    QTest::mouseClick(FindControl<QPushButton>(d.get(), CDlgLibList::IdAll), Qt::LeftButton);
    EXPECT_EQ(d->DisplayMask(), CDlgLibList::kFixedLayers);
    std::tie(red, yellow, black) = render();
    EXPECT_GT(red, 50);
    EXPECT_EQ(yellow, 0);
    QTest::mouseClick(FindControl<QPushButton>(d.get(), CDlgLibList::IdAll), Qt::LeftButton);
    EXPECT_EQ(d->DisplayMask(), CDlgLibList::kAllLayers);
    board.doc.boardSheets[PartBoard::kSilkLineA] = nullptr;

    // No document: a blank preview.
    auto blank = Open(nullptr);
    Select(*blank, Find(Expanded(*blank), "SOP"));
    QImage image(50, 50, QImage::Format_RGB32);
    image.fill(Qt::gray);
    QPainter painter(&image);
    blank->DrawPreview(painter, image.rect());
    painter.end();
    EXPECT_EQ(image.pixel(25, 25), QColor(Qt::gray).rgb());
}

TEST_F(DlgLibListTest, DeletingAnElementRenumbersTheRest)
{
    auto d = Open(&board.doc);
    QTreeWidgetItem* top = Expanded(*d);
    QTreeWidgetItem* net = Find(top, "NET");
    Select(*d, net->child(1));
    messages.QueueAnswer(IDCANCEL);
    QTest::keyClick(d->Tree(), Qt::Key_Delete);
    EXPECT_EQ(net->childCount(), 3);
    EXPECT_EQ(messages.Last().text, "NET" + _J("を削除します[復活不可]"));

    messages.QueueAnswer(IDOK);
    QTest::keyClick(d->Tree(), Qt::Key_Delete);
    ASSERT_EQ(net->childCount(), 2);
    EXPECT_EQ(net->child(0)->data(0, CDlgLibList::DataRole).toInt(), 17);
    EXPECT_EQ(net->child(1)->data(0, CDlgLibList::DataRole).toInt(), 33);
    EXPECT_EQ(top->child(top->childCount() - 1)->text(0), " Part Count : 6");
    EXPECT_EQ(FileParts(),
              (std::vector<std::string>{"SOP/U1/", "DIP/R1/", "DIP/C2/", "DIP/L3/", "NET//", "NET//"}));

    // A referenced element cannot be deleted; a package goes whole.
    Select(*d, Find(Find(top, "DIP"), "C2"));
    QTest::keyClick(d->Tree(), Qt::Key_Delete);
    EXPECT_EQ(FileParts().size(), 6u);
    Select(*d, Find(top, "DIP"));
    messages.QueueAnswer(IDOK);
    QTest::keyClick(d->Tree(), Qt::Key_Delete);
    EXPECT_EQ(Find(top, "DIP"), nullptr);
    EXPECT_EQ(top->child(top->childCount() - 1)->text(0), " Part Count : 3");
    EXPECT_EQ(FileParts(), (std::vector<std::string>{"SOP/U1/", "NET//", "NET//"}));

    // Down to one element: the package loses its children.
    Select(*d, Find(top, "NET")->child(0));
    messages.QueueAnswer(IDOK);
    QTest::keyClick(d->Tree(), Qt::Key_Delete);
    EXPECT_EQ(Find(top, "NET")->childCount(), 0);
    EXPECT_EQ(top->child(top->childCount() - 1)->text(0), " Part Count : 2");
}

TEST_F(DlgLibListTest, RenameInPlace)
{
    auto d = Open(&board.doc);
    QTreeWidgetItem* top = Expanded(*d);
    const auto rename = [&d](QTreeWidgetItem* item, const char* text) {
        Select(*d, item);
        d->Tree()->editItem(item);
        auto* editor = d->Tree()->findChild<QLineEdit*>();
        ASSERT_NE(editor, nullptr);
        editor->selectAll();
        QTest::keyClicks(editor, QString::fromUtf8(text));
        QTest::keyClick(editor, Qt::Key_Return);
        QApplication::processEvents();
        EXPECT_TRUE(d->isVisible()); // Enter stayed in the editor
    };
    const std::vector<std::uint8_t> before = testing_support::ReadBytes(path);
    rename(Find(top, "SOP"), "DIP");
    EXPECT_NE(Find(top, "SOP"), nullptr);
    EXPECT_EQ(testing_support::ReadBytes(path), before);
    rename(Find(top, "SOP"), "");
    EXPECT_NE(Find(top, "SOP"), nullptr);
    EXPECT_EQ(testing_support::ReadBytes(path), before);

    rename(Find(top, "SOP"), "SO8");
    EXPECT_EQ(Find(top, "SOP"), nullptr);
    EXPECT_NE(Find(top, "SO8"), nullptr);
    EXPECT_EQ(FileParts(), (std::vector<std::string>{"DIP/R1/", "DIP/C2/", "DIP/L3/", "NET//", "NET//two",
                                                     "NET//", "SO8/U1/"}));
    EXPECT_EQ(d->GetPart().GetPartName(), "SO8");
}

TEST_F(DlgLibListTest, CountItemCopiesTheLibraryAsItemText)
{
    QGuiApplication::clipboard()->clear();
    auto d = Open(&board.doc);
    QTreeWidgetItem* top = Expanded(*d);
    QTreeWidgetItem* count = top->child(top->childCount() - 1);
    Select(*d, count);
    const QPoint at = d->Tree()->visualItemRect(count).center();
    QTest::mouseClick(d->Tree()->viewport(), Qt::RightButton, Qt::NoModifier, at);
    QContextMenuEvent menu(QContextMenuEvent::Mouse, at, d->Tree()->viewport()->mapToGlobal(at));
    QApplication::sendEvent(d->Tree()->viewport(), &menu);
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    ASSERT_NE(data, nullptr);
    ASSERT_TRUE(data->hasFormat(platform::kItemMimeType));
    const QByteArray bytes = data->data(platform::kItemMimeType);
    const std::string text(bytes.constData(), static_cast<std::size_t>(bytes.size()));
    EXPECT_EQ(data->text(), platform::Cp932ToQString(text));
    std::size_t parts = 0;
    for (std::size_t at = text.find("\nPart"); at != std::string::npos; at = text.find("\nPart", at + 1))
        parts += text.compare(at, 8, "\nPartEnd") != 0;
    EXPECT_EQ(parts, 7u);
    EXPECT_EQ(platform::ReadItemClipboard(), text);
}

TEST_F(DlgLibListTest, PartInputTakesTheChosenPart)
{
    QtItemDialogs dialogs;
    ItemDialogs* previous = GetItemDialogs();
    SetItemDialogs(&dialogs);
    PartInDialogData data;
    data.value = "47k";
    data.doc = &board.doc;
    bool browsed = false;
    QTimer::singleShot(0, [&browsed] {
        auto* input = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(input, nullptr);
        QTimer::singleShot(0, [&browsed, input] {
            auto* browser = qobject_cast<CDlgLibList*>(QApplication::activeModalWidget());
            ASSERT_NE(browser, nullptr);
            browsed = true;
            EXPECT_TRUE(FindControl(browser, CDialogBuilder::IdCancel)->isVisible());
            QTreeWidgetItem* top = browser->Tree()->topLevelItem(0);
            browser->Tree()->expandItem(top);
            browser->Tree()->setCurrentItem(Find(Find(top, "DIP"), "L3"));
            QTest::mouseClick(FindControl<QPushButton>(browser, CDialogBuilder::IdOk), Qt::LeftButton);
            (void)input;
        });
        QTest::mouseClick(FindControl<QPushButton>(input, CDlgPartIn::IdLibrary), Qt::LeftButton);
        EXPECT_EQ(FindControl<QComboBox>(input, CDlgPartIn::IdPartName)->currentText(), "DIP");
        EXPECT_EQ(FindControl<QLineEdit>(input, CDlgPartIn::IdRef)->text(), "L3");
        EXPECT_EQ(FindControl<QComboBox>(input, CDlgPartIn::IdValue)->currentText(), "47k");
        QTest::mouseClick(FindControl<QPushButton>(input, CDialogBuilder::IdOk), Qt::LeftButton);
    });
    EXPECT_TRUE(dialogs.RunPartInDialog(data));
    EXPECT_TRUE(browsed);
    EXPECT_EQ(data.partName, "DIP");
    EXPECT_EQ(data.reference, "L3");
    EXPECT_EQ(data.value, "47k");
    SetItemDialogs(previous);
}

} // namespace

namespace {

TEST_F(DlgLibListTest, NamesWithBackslashTrailBytesSurvive)
{
    // "ソ" and "表" end in the byte 0x5C.
    const std::string socket = _J("ソケット"), table = _J("表示");
    CPart part = MakePart(socket, "J1", 0);
    CLibrary lib;
    lib.SetLibraryName(path);
    ASSERT_TRUE(lib.WritePart(SheetOf({&part}).get(), 1));
    auto d = Open(&board.doc);
    QTreeWidgetItem* top = Expanded(*d);
    QTreeWidgetItem* item = Find(top, "ソケット");
    ASSERT_NE(item, nullptr);
    Select(*d, item);
    EXPECT_EQ(d->GetPart().GetPartName(), socket);
    EXPECT_EQ(d->GetPart().GetRefName(), "J1");

    // A name the code page cannot hold is refused; a good one is written.
    const std::vector<std::uint8_t> before = testing_support::ReadBytes(path);
    item->setText(0, QString::fromUtf8("é"));
    EXPECT_EQ(item->text(0), QString::fromUtf8("ソケット"));
    EXPECT_EQ(testing_support::ReadBytes(path), before);
    EXPECT_EQ(messages.Count(), 1u);
    item->setText(0, QString::fromUtf8("表示"));
    EXPECT_EQ(FileParts().back(), table + "/J1/");
    EXPECT_EQ(d->GetPart().GetPartName(), table);
}

} // namespace
