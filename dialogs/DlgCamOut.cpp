#include "dialogs/DlgCamOut.h"

#include "controls/FolderCombo.h"
#include "dialogs/DlgCamOption.h"
#include "dialogs/DlgLayerPattern.h"
#include "document/BoardFileSupport.h"
#include "document/ProgramFolder.h"
#include "document/SettingSections.h"
#include "libui/CheckListBox.h"
#include "libui/NumEdit.h"
#include "libui/NumSpinCtrl.h"
#include "libui/RadioGroup.h"
#include "platform/Cp932.h"
#include "platform/FilePath.h"
#include "platform/J.h"
#include "platform/Messages.h"
#include "platform/Profile.h"
#include "platform/TextFile.h"
#include "platform/qt/QtText.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QFont>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include <algorithm>

namespace {

namespace fs = std::filesystem;

QString U(const char* utf8)
{
    return QString::fromUtf8(utf8);
}

using settings::AfterFirstColon;
using settings::TrimLeft;

// Trims the characters of `set` from both ends.
std::string TrimSet(const std::string& text, const char* set)
{
    const std::size_t first = text.find_first_not_of(set);
    if (first == std::string::npos)
        return std::string();
    return text.substr(first, text.find_last_not_of(set) - first + 1);
}

// A drill-list extension as OK keeps it: blanks, tabs and dots gone on the left, blanks on the right.
std::string CleanExtension(const std::string& text)
{
    std::string ext = text;
    ext.erase(0, std::min(ext.size(), ext.find_first_not_of(" \t.")));
    while (!ext.empty() && ext.back() == ' ')
        ext.pop_back();
    return ext;
}

std::string Cp(const QString& text)
{
    return platform::QStringToCp932(text).value_or(std::string());
}

QString Q(const std::string& cp932)
{
    return platform::Cp932ToQString(cp932);
}

bool Contains(const std::string& text, const char* marker)
{
    return text.find(marker) != std::string::npos;
}

} // namespace

CDlgCamOut::CDlgCamOut(QWidget* parent) : CItemDialog(IDD, U("CAMデータ出力"), parent)
{
    CDialogBuilder& b = Builder();

    // Left: kind, table file, entry list and its buttons.
    m_kind = new CRadioGroup(this);
    m_kind->Add(b.Radio(nullptr, IdPhoto, U("フォトデータ(&P)"), 0, 0), 0);
    m_kind->Add(b.Radio(nullptr, IdDrill, U("ドリルデータ(&D)"), 0, 1), 1);
    b.Label(U("変換テーブル(&T)"), 1, 0);
    m_table = b.Add(IdTable, new QLineEdit(this), 2, 0, 1, 2);
    m_browse = b.Button(IdBrowse, U("参照(&R)"), 1, 1);
    m_browse->setAutoDefault(false);
    m_list = b.Add(IdList, new CCheckListBox(this), 3, 0, 6, 2);
    QFont font(U("IPAGothic"));
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    font.setPixelSize(12);
    m_list->setFont(font);
    m_list->setMinimumSize(360, 200);
    QPushButton* options = b.Button(IdOptions, U("オプション(&O)"), 9, 0);
    QPushButton* pattern = b.Button(IdPattern, U("パターン(&S)"), 9, 1);
    options->setAutoDefault(false);
    pattern->setAutoDefault(false);

    // Middle: the number form and the placement of the output.
    QGridLayout* form = AddGroup(U("出力形式"), 0, 2, 6, 1);
    m_format = Put(form, b.Check(IdFormat, U("RS-274X形式"), -1, 0), 0, 0, 1, 4);
    m_unit = new CRadioGroup(this);
    m_unit->Add(Put(form, b.Radio(nullptr, IdMetric, U("&mm"), -1, 0), 1, 0), 0);
    m_unit->Add(Put(form, b.Radio(nullptr, IdInch, U("i&nch"), -1, 0), 1, 1), 1);
    m_coordinates = new CRadioGroup(this);
    m_coordinates->Add(Put(form, b.Radio(nullptr, IdAbsolute, U("絶対座標(&A)"), -1, 0), 2, 0, 1, 2), 0);
    m_coordinates->Add(Put(form, b.Radio(nullptr, IdIncremental, U("相対座標(&I)"), -1, 0), 2, 2, 1, 2), 1);
    Put(form, b.Label(U("小数精度(&U)"), -1, 0), 3, 0, 1, 2);
    m_precision = Put(form, b.Add(IdPrecision, new QComboBox(this), -1, 0), 3, 2, 1, 2);
    for (const char* digits : {"0", "1", "2", "3", "4", "5"})
        m_precision->addItem(U(digits));
    Put(form, b.Label(U("文字(&C)"), -1, 0), 4, 0, 1, 2);
    m_charCode = Put(form, b.Add(IdCharCode, new QComboBox(this), -1, 0), 4, 2, 1, 2);
    for (const char* code : {"ASCII", "EBCDIC", "EIA", "ISO"})
        m_charCode->addItem(U(code));
    Put(form, b.Label(U("ＥＯＢ(&B)"), -1, 0), 5, 0, 1, 2);
    m_endOfBlock = Put(form, b.Add(IdEndOfBlock, new QComboBox(this), -1, 0), 5, 2, 1, 2);
    for (const char* eob : {"*", "LF", "CR"})
        m_endOfBlock->addItem(U(eob));
    Put(form, b.Label(U("コード"), -1, 0), 6, 0, 1, 2);
    m_hitType = Put(form, b.Add(IdHitType, new QComboBox(this), -1, 0), 6, 2, 1, 2);
    for (const char* hit : {"CRヒットタイプ", "G81ヒットタイプ", "M05ヒットタイプ", "D03ヒットタイプ"})
        m_hitType->addItem(U(hit));

    QGridLayout* place = AddGroup(U("配置"), 6, 2, 4, 1);
    Put(place, b.Label(U("倍率(&L)"), -1, 0), 0, 0);
    m_scale = AddNumField(place, IdScale, IdScaleSpin, m_scaleSpin, 0, 1);
    Put(place, b.Label(U("Ｘオフセット"), -1, 0), 1, 0);
    m_offsetX = AddNumField(place, IdOffsetX, IdOffsetXSpin, m_offsetXSpin, 1, 1);
    Put(place, b.Label(U("Ｙオフセット"), -1, 0), 2, 0);
    m_offsetY = AddNumField(place, IdOffsetY, IdOffsetYSpin, m_offsetYSpin, 2, 1);
    for (CNumEdit* field : {m_scale, m_offsetX, m_offsetY})
        NoInputMethod(field);
    m_mirrorX = Put(place, b.Check(IdMirrorX, U("水平反転(&H)"), -1, 0), 3, 0);
    m_mirrorY = Put(place, b.Check(IdMirrorY, U("垂直反転(&V)"), -1, 0), 3, 1);
    QGridLayout* rotation = AddGroup(place, U("回転"), 4, 0, 1, 2);
    m_rotation = new CRadioGroup(this);
    const char* const angles[] = {"&0", "&90", "&180", "&270"};
    for (int i = 0; i < 4; ++i)
        m_rotation->Add(Put(rotation, b.Radio(nullptr, IdRotate0 + i, U(angles[i]), -1, 0), 0, i), i);

    // Right: arc handling (photo) or coordinate lists (drill), folder, template and together.
    QGridLayout* arc = AddGroup(U("円弧処理"), 0, 3, 5, 1);
    m_arcGroup = findChildren<QGroupBox*>().last();
    m_arcGroup->setObjectName(QString::number(IdArcGroup));
    m_arc = new CRadioGroup(this);
    const struct
    {
        int id;
        const char* caption;
    } arcs[] = {{IdArcStart, "始点相対"},
                {IdArcOrigin, "原点絶対"},
                {IdArcQuarter, "1/4補間"},
                {IdArcHalf, "半径 1/2補間"},
                {IdArcLines, "ライン補間"}};
    for (int i = 0; i < 5; ++i)
        m_arc->Add(Put(arc, b.Radio(nullptr, arcs[i].id, U(arcs[i].caption), -1, 0), i, 0, 1, 2), i);
    m_roundList = Put(arc, b.Check(IdRoundList, U("丸穴"), -1, 0), 5, 0);
    m_roundExt = Put(arc, b.Add(IdRoundExt, new QLineEdit(this), -1, 0), 5, 1);
    m_slotList = Put(arc, b.Check(IdSlotList, U("長穴/角穴"), -1, 0), 6, 0);
    m_slotExt = Put(arc, b.Add(IdSlotExt, new QLineEdit(this), -1, 0), 6, 1);
    arc->setColumnStretch(2, 1);
    for (QLineEdit* ext : {m_roundExt, m_slotExt}) {
        ext->setFixedWidth(64);
        NoInputMethod(ext);
    }

    // The folder, the template and the together switch stand one under the other.
    auto* output = new QGridLayout;
    Grid()->addLayout(output, 5, 3, 5, 1);
    Put(output, b.Label(U("出力フォルダ(&Q)"), -1, 0), 0, 0);
    m_folder = Put(output, b.Add(IdFolder, new CFolderCombo(this), -1, 0), 1, 0);
    m_folder->setEditable(true);
    m_folder->setMinimumWidth(180);
    Put(output, b.Label(U("レポート形式(&F)"), -1, 0), 2, 0);
    m_report = Put(output, b.Add(IdReport, new QComboBox(this), -1, 0), 3, 0);
    m_sameOut = Put(output, b.Check(IdSameOut, U("同時出力(&Z)"), -1, 0), 4, 0);
    output->setRowStretch(5, 1);

    b.OkCancel(0, 4);
    FindControl<QPushButton>(this, CDialogBuilder::IdOk)->setText(U("実行(&E)"));
    Grid()->setAlignment(FindControl(this, CDialogBuilder::IdCancel), Qt::AlignTop);

    connect(m_kind, &CRadioGroup::choiceClicked, this, &CDlgCamOut::OnKind);
    connect(m_format, &QCheckBox::clicked, this, &CDlgCamOut::OnFormat);
    connect(m_browse, &QPushButton::clicked, this, &CDlgCamOut::OnBrowse);
    connect(options, &QPushButton::clicked, this, &CDlgCamOut::OnOptions);
    connect(pattern, &QPushButton::clicked, this, &CDlgCamOut::OnPattern);
    for (QCheckBox* check : {m_roundList, m_slotList})
        connect(check, &QCheckBox::toggled, this, [this] { ShowMode(); });
}

std::vector<std::string> CDlgCamOut::ListReportTemplates()
{
    // A per-user template shadows an installed one of the same name.
    std::vector<std::string> names;
    for (const fs::path& folder : {GetUserDataFolder(), GetProgramFolder()}) {
        for (const std::string& file : docfile::FindFilesByExtension(folder, ".dat")) {
            const std::string name = file.substr(0, file.size() - 4);
            if (std::any_of(names.begin(), names.end(),
                            [&](const std::string& known) { return platform::MbsICmp(known, name) == 0; }))
                continue;
            const std::optional<std::string> text =
                platform::ReadFileBytes(folder / platform::Cp932ToPath(file));
            // A file that cannot be read, or is no report template, is not offered.
            if (text && Contains(*text, "$COMMON$") && Contains(*text, "$PHOT$") &&
                Contains(*text, "$DRILL$"))
                names.push_back(name);
        }
    }
    std::sort(names.begin(), names.end(),
              [](const std::string& a, const std::string& b) { return platform::MbsICmp(a, b) < 0; });
    return names;
}

std::string& CDlgCamOut::TableFile()
{
    return m_choice.kind == 0 ? m_choice.settings.photoFile : m_choice.drillTable;
}

bool& CDlgCamOut::FormatFlag()
{
    return m_choice.kind == 0 ? m_choice.settings.photoFlag : m_choice.settings.drillOptionOn;
}

bool CDlgCamOut::NeedsCodeTable() const
{
    const tagCAMOUT& s = m_choice.settings;
    return m_choice.kind == 0 ? s.photoFile.empty() && !s.photoFlag
                              : m_choice.drillTable.empty() && !s.drillOptionOn;
}

void CDlgCamOut::OnInitDialog()
{
    m_scaleSpin->SetRange(0.1, 5.0);
    m_scaleSpin->SetStep(0.5);
    m_offsetXSpin->SetRange(-m_dWorkWidth, m_dWorkWidth);
    m_offsetYSpin->SetRange(-m_dWorkHeight, m_dWorkHeight);
    m_choice.kind = m_choice.kind == 1 ? 1 : 0;
    MakeOptionRecords(m_choice.settings, m_photoCodes, m_drillCodes);

    const std::vector<std::string> templates = ListReportTemplates();
    int current = templates.empty() ? -1 : 0;
    for (std::size_t i = 0; i < templates.size(); ++i) {
        m_report->addItem(Q(templates[i]));
        if (platform::MbsICmp(templates[i], m_choice.settings.report) == 0)
            current = static_cast<int>(i);
    }
    m_report->setCurrentIndex(current);

    m_folder->SetBaseFolder(Q(m_choice.boardFolder));
    m_folder->Refresh();
    m_folder->setEditText(Q(Kind().folder));
    for (std::string* ext : {&m_choice.settings.drillText1, &m_choice.settings.drillText2}) {
        if (ext->empty())
            *ext = "hst";
    }
    m_choice.sameOut = platform::GetProfile().GetInt("CAMOut", "SameOut", 1) != 0;
    m_sameOut->setChecked(m_choice.sameOut);
    m_kind->Set(m_choice.kind);
    UpdateData(false);
}

bool CDlgCamOut::DoDataExchange(bool save)
{
    tagCAMOUT& s = m_choice.settings;
    tagCAMOUTKIND& kind = Kind();
    const int k = m_choice.kind;
    if (save) {
        for (int row = 0; row < m_list->count() && row < static_cast<int>(kind.outputs.size()); ++row) {
            std::string& entry = kind.outputs[static_cast<std::size_t>(row)];
            entry = (m_list->GetCheck(row) ? "1 : " : "0 : ") + TrimLeft(AfterFirstColon(entry));
        }
        TableFile() = Cp(m_table->text());
        kind.rotation = std::max(0, m_rotation->Get());
        kind.inch = m_unit->Get() == 1;
        kind.incremental = m_coordinates->Get() == 1;
        m_choice.mirrorX[static_cast<std::size_t>(k)] = m_mirrorX->isChecked();
        m_choice.mirrorY[static_cast<std::size_t>(k)] = m_mirrorY->isChecked();
        kind.number = std::max(0, m_precision->currentIndex());
        kind.tapeCode = std::max(0, m_charCode->currentIndex());
        kind.endOfBlock = std::max(0, m_endOfBlock->currentIndex());
        // Values that do not read stay as they were; OK checks the fields themselves.
        const std::pair<CNumEdit*, double*> values[] = {
            {m_offsetX, &kind.values[0]}, {m_offsetY, &kind.values[1]}, {m_scale, &kind.values[2]}};
        for (auto [field, value] : values) {
            bool valid = false;
            const double number = field->GetValue(&valid);
            if (valid)
                *value = number;
        }
        FormatFlag() = m_format->isChecked();
        if (k == 0 && m_arc->Get() >= 0)
            s.photoMode = m_arc->Get();
        s.drillMode = std::max(0, m_hitType->currentIndex());
        s.drillYes1 = m_roundList->isChecked();
        s.drillYes2 = m_slotList->isChecked();
        s.drillText1 = Cp(m_roundExt->text());
        s.drillText2 = Cp(m_slotExt->text());
        // Without any template listed the setting stays as the file had it.
        if (m_report->count() > 0)
            s.report = Cp(m_report->currentText());
        m_choice.sameOut = m_sameOut->isChecked();
    } else {
        m_list->clear();
        for (const std::string& entry : kind.outputs)
            m_list->AddRow(Q(settings::Trim(AfterFirstColon(entry))), 0,
                           !entry.empty() && entry.front() == '1');
        m_list->setMinimumWidth(std::min(640, m_list->WidestRowWidth() + 15));
        m_table->setText(Q(TableFile()));
        m_rotation->Set(std::clamp(kind.rotation, 0, 3));
        m_unit->Set(kind.inch ? 1 : 0);
        m_coordinates->Set(kind.incremental ? 1 : 0);
        m_mirrorX->setChecked(m_choice.mirrorX[static_cast<std::size_t>(k)]);
        m_mirrorY->setChecked(m_choice.mirrorY[static_cast<std::size_t>(k)]);
        m_precision->setCurrentIndex(std::clamp(kind.number, 0, 5));
        m_charCode->setCurrentIndex(std::clamp(kind.tapeCode, 0, 3));
        m_endOfBlock->setCurrentIndex(std::clamp(kind.endOfBlock, 0, 2));
        const std::pair<CNumEdit*, double> values[] = {
            {m_offsetX, kind.values[0]}, {m_offsetY, kind.values[1]}, {m_scale, kind.values[2]}};
        for (auto [field, value] : values) {
            if (!field->SetValue(value))
                field->setText(QString::number(value, 'g', 10));
        }
        m_format->setChecked(FormatFlag());
        m_format->setText(k == 0 ? U("RS-274X形式") : U("Tコード自動割付"));
        m_arc->Set(std::clamp(s.photoMode, 0, 4));
        m_hitType->setCurrentIndex(std::clamp(s.drillMode, 0, 3));
        m_roundList->setChecked(s.drillYes1);
        m_slotList->setChecked(s.drillYes2);
        m_roundExt->setText(Q(TrimSet(s.drillText1, " .\t\"")));
        m_slotExt->setText(Q(TrimSet(s.drillText2, " .\t\"")));
    }
    ShowMode();
    return true;
}

void CDlgCamOut::ShowMode()
{
    const bool drill = m_choice.kind == 1;
    const bool format = m_format->isChecked();
    m_arcGroup->setTitle(drill ? U("座標リスト出力") : U("円弧処理"));
    for (QAbstractButton* radio : m_arc->buttons())
        radio->setVisible(!drill);
    for (QWidget* control : {static_cast<QWidget*>(m_roundList), static_cast<QWidget*>(m_slotList),
                             static_cast<QWidget*>(m_roundExt), static_cast<QWidget*>(m_slotExt)})
        control->setVisible(drill);
    m_roundExt->setEnabled(m_roundList->isChecked());
    m_slotExt->setEnabled(m_slotList->isChecked());
    m_table->setEnabled(!format);
    m_browse->setEnabled(!format);
    const bool extended = !drill && format;
    m_charCode->setEnabled(!extended);
    m_endOfBlock->setEnabled(!extended);
    for (int id : {IdArcOrigin, IdArcQuarter, IdArcHalf})
        FindControl(this, id)->setEnabled(!extended);
    m_hitType->setEnabled(drill);
}

void CDlgCamOut::OnKind(int kind)
{
    if (kind < 0 || kind == m_choice.kind)
        return;
    UpdateData(true);
    // One output folder serves both kinds.
    const std::string folder = Cp(m_folder->currentText().trimmed());
    m_choice.settings.photo.folder = folder;
    m_choice.settings.drill.folder = folder;
    m_choice.kind = kind;
    UpdateData(false);
}

void CDlgCamOut::OnFormat()
{
    UpdateData(true);
    if (m_choice.kind != 0)
        return;
    // Extended Gerber is plain text ended by '*', with every arc form.
    m_choice.settings.photo.tapeCode = 0;
    m_choice.settings.photo.endOfBlock = 0;
    m_choice.settings.photoMode = 0;
    UpdateData(false);
}

void CDlgCamOut::OnBrowse()
{
    const bool photo = m_choice.kind == 0;
    const QString filter =
        (photo ? U("アパーチャーリスト (*.apt *.lst *.txt)") : U("ツールリスト (*.drl *.lst *.txt)")) +
        U(";;全てのファイル (*)");
    std::string start = m_strProjectFolder;
    while (start.size() > 1 && (start.back() == '/' || start.back() == '\\'))
        start.pop_back();
    QFileDialog dialog(this, QString(), Q(start), filter);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    UpdateData(true);
    TableFile() = Cp(dialog.selectedFiles().front());
    UpdateData(false);
}

void CDlgCamOut::OnOptions()
{
    if (CDlgCamOption::Edit(m_photoCodes, m_drillCodes, this))
        StoreOptionRecords(m_choice.settings, m_photoCodes, m_drillCodes);
}

void CDlgCamOut::OnPattern()
{
    UpdateData(true);
    CDlgLayerPattern dialog(this);
    for (const std::string& entry : Kind().outputs)
        dialog.m_entries.push_back(settings::Trim(AfterFirstColon(entry)));
    if (dialog.DoModal() != QDialog::Accepted)
        return;
    Kind().outputs.clear();
    for (const std::string& entry : dialog.m_entries)
        Kind().outputs.push_back("0 : " + settings::Trim(entry));
    UpdateData(false);
}

void CDlgCamOut::accept()
{
    bool ticked = false;
    for (int row = 0; row < m_list->count(); ++row)
        ticked = ticked || m_list->GetCheck(row) != 0;
    if (!ticked) {
        AfxMessageBox(_J("出力リストがありません"), MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    UpdateData(true);
    if (m_offsetX->text().trimmed().isEmpty() || m_offsetY->text().trimmed().isEmpty()) {
        AfxMessageBox(_J("オフセット値が不正です"), MB_OK | MB_ICONEXCLAMATION);
        (m_offsetX->text().trimmed().isEmpty() ? m_offsetX : m_offsetY)->setFocus();
        return;
    }
    if (m_scale->text().trimmed().isEmpty()) {
        AfxMessageBox(_J("倍率が不正です"), MB_OK | MB_ICONEXCLAMATION);
        m_scale->setFocus();
        return;
    }
    tagCAMOUT& s = m_choice.settings;
    const bool together = m_choice.sameOut;
    const bool photoOff = s.photo.values[2] != 1.0 && (m_choice.kind == 0 || together);
    const bool drillOff = s.drill.values[2] != 1.0 && (m_choice.kind == 1 || together);
    if ((photoOff || drillOff) && AfxMessageBox(_J("倍率かオフセットが標準値でありません。実行しますか？"),
                                                MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) != IDYES)
        return;
    s.drillText1 = CleanExtension(s.drillText1);
    s.drillText2 = CleanExtension(s.drillText2);
    const std::string folder = Cp(m_folder->currentText().trimmed());
    s.photo.folder = folder;
    s.drill.folder = folder;
    MakeCamRecords(m_choice);
    if (m_choice.kind == 1) {
        const std::pair<bool, std::string*> lists[] = {{s.drillYes1, &s.drillText1},
                                                       {s.drillYes2, &s.drillText2}};
        for (int i = 0; i < 2; ++i) {
            if (!lists[i].first || !lists[i].second->empty())
                continue;
            AfxMessageBox(_J("ファイル拡張子を指定してください"), MB_OK | MB_ICONEXCLAMATION);
            (i == 0 ? m_roundExt : m_slotExt)->setFocus();
            return;
        }
    }
    for (std::string* ext : {&s.drillText1, &s.drillText2}) {
        if (ext->empty())
            *ext = "hst";
    }
    platform::GetProfile().SetInt("CAMOut", "SameOut", m_choice.sameOut ? 1 : 0);
    QDialog::accept();
}
