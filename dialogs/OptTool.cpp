#include "dialogs/OptTool.h"

#include "controls/EllipsisEdit.h"
#include "document/ExternalTool.h"
#include "document/SettingSections.h"
#include "platform/Cp932.h"
#include "platform/Numbers.h"
#include "platform/Profile.h"
#include "platform/qt/QtText.h"

#include <QCheckBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {

constexpr const char* kSection = "Tool";

// "Notepad.exe" of an old profile means what an empty entry means: the associated program.
bool IsOldDefaultEditor(const std::string& editor)
{
    return platform::ToUpperAscii(editor) == "NOTEPAD.EXE";
}

} // namespace

COptTool::COptTool(QWidget* parent) : COptPage(IDD, QString::fromUtf8("ツール"), parent)
{
    CDialogBuilder& b = Builder();
    BoundCheck(Grid(), IdAutoSave, "図面を自動保存(&S)", m_nAutoSave, 0, 0, 2);
    m_partPlace =
        Put(Grid(), b.Check(IdPartPlace, QString::fromUtf8("部品配置状態にする(&P)"), -1, 0), 1, 0, 1, 2);
    m_partCheck =
        Put(Grid(), b.Check(IdPartCheck, QString::fromUtf8("部品配置状態を検査する(&C)"), -1, 0), 2, 0, 1, 2);
    BoundCheck(Grid(), IdShell, "シェルの設定を更新する(&U)", m_nShell, 3, 0, 2);
    Put(Grid(), b.Label(QString::fromUtf8("テキストエディタ(&E)"), -1, 0), 4, 0);
    m_editor = Put(Grid(), b.Add(IdEditor, new CEllipsisEdit(true, this), -1, 0), 4, 1);
    m_editor->setMinimumWidth(240);
    QPushButton* choose = Put(Grid(), b.Button(IdChooseEditor, QStringLiteral("..."), -1, 0), 4, 2);
    choose->setToolTip(QString::fromUtf8("エディタの指定"));
    choose->setFixedWidth(28);
    QGridLayout* programs = AddGroup(QString::fromUtf8("外部プログラム"), 5, 0, 1, 3);
    for (int i = 0; i < 12; ++i) {
        Put(programs, b.Label(QString("F%1").arg(i + 1), -1, 0), i % 6, (i / 6) * 2);
        m_extProg[static_cast<std::size_t>(i)] =
            Put(programs, b.Add(IdFirstExtProg + i, new QLineEdit(this), -1, 0), i % 6, (i / 6) * 2 + 1);
    }
    // The two boxes stand for one three-valued setting: ticking one clears the other.
    connect(m_partPlace, &QCheckBox::clicked, this, [this] {
        m_nPartPlace = m_nPartPlace == 1 ? 0 : 1;
        ShowPartPlace();
    });
    connect(m_partCheck, &QCheckBox::clicked, this, [this] {
        m_nPartPlace = m_nPartPlace == 2 ? 0 : 2;
        ShowPartPlace();
    });
    connect(choose, &QPushButton::clicked, this, &COptTool::OnChooseEditor);
}

void COptTool::LoadProfile()
{
    const platform::Profile& p = platform::GetProfile();
    m_nAutoSave = p.GetInt(kSection, "AutoSave", 0);
    m_nPartPlace = p.GetInt(kSection, "PartPlace", 1);
    m_nShell = p.GetInt("Settings", "Shell", 1);
    m_strEditor = p.GetString(kSection, "Editor");
    if (IsOldDefaultEditor(settings::Trim(m_strEditor)))
        m_strEditor.clear();
    for (int i = 0; i < 12; ++i)
        m_strExtProg[static_cast<std::size_t>(i)] = ::GetExtProg(i);
}

std::string COptTool::GetExtProg(int index)
{
    return ::GetExtProg(index);
}

void COptTool::OnInitDialog()
{
    LoadProfile();
    UpdateData(false);
}

void COptTool::ShowPartPlace()
{
    m_partPlace->setChecked(m_nPartPlace == 1);
    m_partCheck->setChecked(m_nPartPlace == 2);
}

bool COptTool::DoDataExchange(bool save)
{
    if (!save) {
        ExchangeBound(false);
        ShowPartPlace();
        m_editor->setText(platform::Cp932ToQString(m_strEditor));
        for (std::size_t i = 0; i < m_extProg.size(); ++i)
            m_extProg[i]->setText(platform::Cp932ToQString(m_strExtProg[i]));
        return true;
    }
    std::string editor;
    std::array<std::string, 12> programs;
    if (!FieldText(m_editor, editor))
        return false;
    for (std::size_t i = 0; i < m_extProg.size(); ++i)
        if (!FieldText(m_extProg[i], programs[i]))
            return false;
    ExchangeBound(true);
    m_strEditor = editor;
    m_strExtProg = programs;
    return true;
}

std::string COptTool::EditorCommand(const std::string& typed)
{
    std::string editor = settings::Trim(typed);
    if (IsOldDefaultEditor(editor))
        return {};
    // A command that starts with the placeholder is taken as typed.
    if (editor.size() < 2 || editor.find("%f", 1) == std::string::npos ||
        editor.find("\"%f\"") != std::string::npos)
        return editor;
    std::string quoted;
    for (std::size_t pos = 0; pos < editor.size();) {
        if (editor.compare(pos, 2, "%f") == 0) {
            quoted += "\"%f\"";
            pos += 2;
        } else {
            quoted += editor[pos++];
        }
    }
    return quoted;
}

void COptTool::OnChooseEditor()
{
    QFileDialog dialog(this, QString::fromUtf8("エディタの指定"));
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::ReadOnly, true);
    dialog.setNameFilters(
        {QString::fromUtf8("すべてのファイル (*)"), QString::fromUtf8("エディタ (*.exe *.EXE)")});
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    m_editor->setText(dialog.selectedFiles().constFirst());
}

void COptTool::OnOK()
{
    platform::Profile& p = platform::GetProfile();
    p.SetInt(kSection, "AutoSave", m_nAutoSave);
    p.SetInt(kSection, "PartPlace", m_nPartPlace);
    p.SetInt("Settings", "Shell", m_nShell);
    m_strEditor = EditorCommand(m_strEditor);
    p.SetString(kSection, "Editor", m_strEditor);
    for (int i = 0; i < 12; ++i)
        p.SetString(kSection, platform::Format("ExtProg%d", i + 1),
                    settings::Trim(m_strExtProg[static_cast<std::size_t>(i)]));
}
