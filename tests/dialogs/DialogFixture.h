#pragma once
// The program dialogs' tests: the item dialogs' fixture (recorded messages, in-memory profile,
// modal steps, screenshots) with a program folder, a per-user folder and a work folder in a fresh
// temporary directory, and a board document whose settings file the test names.

#include "document/ProgramFolder.h"
#include "document/VELTADoc.h"
#include "tests/support/ItemDialogFixture.h"

#include <QComboBox>
#include <QPlainTextEdit>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <unistd.h>

class DialogFixture : public ItemDialogFixture
{
protected:
    void SetUp() override
    {
        ItemDialogFixture::SetUp();
        static int counter = 0;
        m_root = std::filesystem::temp_directory_path() /
                 ("velta-dlg-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
        std::filesystem::remove_all(m_root);
        for (const char* sub : {"program", "user", "work"})
            std::filesystem::create_directories(m_root / sub);
        SetProgramFolders(m_root / "program", m_root / "user");
        doc = std::make_unique<CVELTADoc>();
    }
    void TearDown() override
    {
        doc.reset();
        SetProgramFolders({}, {});
        std::filesystem::remove_all(m_root);
        ItemDialogFixture::TearDown();
    }

    std::filesystem::path Root() const { return m_root; }
    std::filesystem::path Program() const { return m_root / "program"; }
    std::filesystem::path Work() const { return m_root / "work"; }
    static QString Q(const std::filesystem::path& path) { return QString::fromStdString(path.string()); }

    static void WriteFile(const std::filesystem::path& path, const std::string& bytes)
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out << bytes;
    }
    static std::string ReadFile(const std::filesystem::path& path)
    {
        std::ifstream in(path, std::ios::binary);
        return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    }
    // A settings file with a comment (CP932) and a work area.
    static void WriteSettings(const std::filesystem::path& path, const std::string& comment,
                              const std::string& sheetSize = "200.00, 300.00 : 10.00, 20.00 ;")
    {
        WriteFile(path, "\r\n[COMMENT]\r\n{\r\n\"" + comment + "\";\r\n}\r\n\r\n[SHEET_SIZE]\r\n{\r\n" +
                            sheetSize + "\r\n}\r\n");
    }

    static QComboBox* Combo(QWidget* d, int id) { return FindControl<QComboBox>(d, id); }
    static QString PlainText(QWidget* d, int id) { return FindControl<QPlainTextEdit>(d, id)->toPlainText(); }
    // Chooses a drop-down entry with the keyboard, as the user does.
    static void ChooseEntry(QWidget* d, int id, int index)
    {
        QComboBox* combo = Combo(d, id);
        combo->setFocus();
        while (combo->currentIndex() < index)
            QTest::keyClick(combo, Qt::Key_Down);
        while (combo->currentIndex() > index)
            QTest::keyClick(combo, Qt::Key_Up);
    }
    std::vector<std::string> MessageTexts() const { return messages.Texts(); }

    std::unique_ptr<CVELTADoc> doc;

private:
    std::filesystem::path m_root;
};

// Replaces a field's text by typing (the edit of a combo box included).
inline void TypeInto(QLineEdit* edit, const QString& text)
{
    edit->setFocus();
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Delete);
    for (QChar c : text) {
        if (c.unicode() < 0x80) {
            QTest::keyClick(edit, c.toLatin1());
            continue;
        }
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(edit, &press);
    }
}
