#include "dialogs/DlgCamIn.h"

#include "dialogs/DlgCamOption.h"
#include "libui/NumEdit.h"
#include "libui/NumSpinCtrl.h"
#include "libui/RadioGroup.h"
#include "platform/FilePath.h"
#include "platform/J.h"
#include "platform/Messages.h"
#include "platform/Numbers.h"
#include "platform/Profile.h"
#include "platform/TextFile.h"
#include "platform/qt/QtText.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <string_view>

namespace {

constexpr char kSection[] = "CAMIn";
constexpr double kScaleMin = 0.1;
constexpr double kScaleMax = 5.0;

// A scale or offset as the profile keeps it: text read by its leading number ("1.0f" is 1.0).
double ProfileNumber(const platform::Profile& profile, const std::string& section, const char* key,
                     const char* def)
{
    const std::string text = profile.GetString(section, key, def);
    return std::strtod(text.c_str(), nullptr);
}

QComboBox* FixedCombo(QWidget* parent, std::initializer_list<const char*> items)
{
    auto* combo = new QComboBox(parent);
    for (const char* item : items)
        combo->addItem(QString::fromUtf8(item));
    return combo;
}

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// Whether a data block of a photo file places a point: a coordinate letter followed by a number.
bool HasCoordinate(std::string_view block)
{
    if (block.substr(0, 3) == "G04")
        return false;
    for (std::size_t i = 0; i + 1 < block.size(); ++i) {
        const char c = block[i];
        const char n = block[i + 1];
        if ((c == 'X' || c == 'Y') && (std::isdigit(static_cast<unsigned char>(n)) || n == '-' || n == '+'))
            return true;
    }
    return false;
}

} // namespace

CDlgCamIn::CDlgCamIn(QWidget* parent) : CItemDialog(IDD, QString::fromUtf8("CAMデータ入力"), parent)
{
    CDialogBuilder& b = Builder();
    QGridLayout* grid = Grid();

    m_kind = new CRadioGroup(this);
    auto* kinds = new QHBoxLayout;
    kinds->addWidget(b.Radio(nullptr, IdPhoto, QString::fromUtf8("フォトデータ(&P)"), -1, 0));
    kinds->addWidget(b.Radio(nullptr, IdDrill, QString::fromUtf8("ドリルデータ(&D)"), -1, 0));
    m_kind->Add(FindControl<QRadioButton>(this, IdPhoto), kPhoto);
    m_kind->Add(FindControl<QRadioButton>(this, IdDrill), kDrill);
    kinds->addStretch();
    grid->addLayout(kinds, 0, 0, 1, 3);

    auto fileRow = [&](int row, const char* caption, int editId, int browseId, const char* browseCaption) {
        Put(grid, b.Label(QString::fromUtf8(caption), -1, 0), row, 0);
        QLineEdit* edit = Put(grid, b.Add(editId, new QLineEdit(this), -1, 0), row, 1);
        edit->setMinimumWidth(320);
        QPushButton* browse = Put(grid, b.Button(browseId, QString::fromUtf8(browseCaption), -1, 0), row, 2);
        browse->setAutoDefault(false);
        // The button keeps its own width; the edit takes what the column leaves.
        browse->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
        grid->setAlignment(browse, Qt::AlignLeft);
        return std::make_pair(edit, browse);
    };
    auto [dataEdit, dataBrowse] = fileRow(1, "データファイル(&F)", IdDataFile, IdDataBrowse, "参照(&Q)");
    auto [tableEdit, tableBrowse] = fileRow(2, "変換テーブル(&T)", IdTableFile, IdTableBrowse, "参照(&R)");
    m_dataFile = dataEdit;
    m_tableFile = tableEdit;

    Put(grid, b.Label(QString::fromUtf8("入力先レイヤ(&S)"), -1, 0), 3, 0);
    m_layer = Put(grid, b.Add(IdLayer, new QComboBox(this), -1, 0), 3, 1);

    // Placement: scale, offsets, rotation and mirrors.
    QGridLayout* place = AddGroup(QString::fromUtf8("配置"), 4, 0, 1, 2);
    Put(place, b.Label(QString::fromUtf8("倍率(&L)"), -1, 0), 0, 0);
    m_scale = AddNumField(place, IdScale, IdScaleSpin, m_scaleSpin, 0, 1);
    Put(place, b.Label(QString::fromUtf8("Xオフセット"), -1, 0), 1, 0);
    m_xOffset = AddNumField(place, IdXOffset, IdXOffsetSpin, m_xOffsetSpin, 1, 1);
    Put(place, b.Label(QString::fromUtf8("Yオフセット"), -1, 0), 2, 0);
    m_yOffset = AddNumField(place, IdYOffset, IdYOffsetSpin, m_yOffsetSpin, 2, 1);
    m_rotation = new CRadioGroup(this);
    auto* turns = new QHBoxLayout;
    const char* const angles[4] = {"&0", "&90", "&180", "&270"};
    for (int i = 0; i < 4; ++i) {
        QRadioButton* radio = b.Radio(nullptr, IdRotate0 + i, QString::fromUtf8(angles[i]), -1, 0);
        m_rotation->Add(radio, i);
        turns->addWidget(radio);
    }
    place->addLayout(turns, 3, 0, 1, 2);
    m_mirrorX = Put(place, b.Check(IdMirrorX, QString::fromUtf8("水平反転(&Z)"), -1, 0), 4, 0);
    m_mirrorY = Put(place, b.Check(IdMirrorY, QString::fromUtf8("垂直反転(&V)"), -1, 0), 4, 1);

    // Format: unit, coordinates, digits, character code and end of block.
    QGridLayout* format = AddGroup(QString::fromUtf8("フォーマット"), 4, 2, 1, 1);
    m_unit = new CRadioGroup(this);
    m_unit->Add(Put(format, b.Radio(nullptr, IdMillimetre, QStringLiteral("&mm"), -1, 0), 0, 0), 0);
    m_unit->Add(Put(format, b.Radio(nullptr, IdInch, QStringLiteral("i&nch"), -1, 0), 0, 1), 1);
    m_coordinates = new CRadioGroup(this);
    m_coordinates->Add(
        Put(format, b.Radio(nullptr, IdAbsolute, QString::fromUtf8("絶対座標(&A)"), -1, 0), 1, 0), 0);
    m_coordinates->Add(
        Put(format, b.Radio(nullptr, IdIncremental, QString::fromUtf8("相対座標(&I)"), -1, 0), 1, 1), 1);
    Put(format, b.Label(QString::fromUtf8("桁数(&U)"), -1, 0), 2, 0);
    auto* digits = new QHBoxLayout;
    m_intDigits = b.Add(IdIntDigits, FixedCombo(this, {"AUTO", "1", "2", "3", "4"}), -1, 0);
    m_decDigits = b.Add(IdDecDigits, FixedCombo(this, {"0", "1", "2", "3", "4", "5"}), -1, 0);
    digits->addWidget(m_intDigits);
    digits->addWidget(m_decDigits);
    format->addLayout(digits, 2, 1);
    Put(format, b.Label(QString::fromUtf8("文字(&C)"), -1, 0), 3, 0);
    m_code = Put(format, b.Add(IdCode, FixedCombo(this, {"ASCII", "EBCDIC", "EIA", "ISO"}), -1, 0), 3, 1);
    Put(format, b.Label(QString::fromUtf8("ＥＯＢ(&B)"), -1, 0), 4, 0);
    m_endOfBlock = Put(format, b.Add(IdEndOfBlock, FixedCombo(this, {"*", "LF", "CR"}), -1, 0), 4, 1);

    QGridLayout* arcs = AddGroup(QString::fromUtf8("円弧"), 5, 0, 1, 2);
    m_arc = new CRadioGroup(this);
    const struct
    {
        int id;
        const char* caption;
    } arcModes[4] = {{IdArcStart, "始点相対"},
                     {IdArcOrigin, "原点絶対"},
                     {IdArcQuarter, "1/4補間"},
                     {IdArcHalf, "半径 1/2補間"}};
    for (int i = 0; i < 4; ++i)
        m_arc->Add(
            Put(arcs, b.Radio(nullptr, arcModes[i].id, QString::fromUtf8(arcModes[i].caption), -1, 0), 0, i),
            i);
    m_hitType = b.Add(
        IdHitType,
        FixedCombo(this, {"CRヒットタイプ", "G81ヒットタイプ", "M05ヒットタイプ", "D03ヒットタイプ"}), -1, 0);
    grid->addWidget(m_hitType, 5, 2);

    b.OkCancel(1, 3);
    m_ok = FindControl<QPushButton>(this, CDialogBuilder::IdOk);
    m_ok->setText(QString::fromUtf8("実行(&E)"));
    QPushButton* options = Put(grid, b.Button(IdOptions, QString::fromUtf8("オプション(&O)"), -1, 0), 3, 3);
    options->setAutoDefault(false);

    chooseFile = [](QWidget* parent, const QString& start, const QString& filter) {
        QFileDialog dialog(parent, QString(), start, filter);
        // Qt's own dialog matches the filters without regard to letter case.
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(QFileDialog::ExistingFile);
        if (!start.isEmpty())
            dialog.selectFile(start);
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return QString();
        return dialog.selectedFiles().front();
    };

    connect(m_kind, &CRadioGroup::choiceClicked, this, [this](int kind) { SwitchKind(kind); });
    connect(dataBrowse, &QPushButton::clicked, this, [this] { Browse(false); });
    connect(tableBrowse, &QPushButton::clicked, this, [this] { Browse(true); });
    connect(m_dataFile, &QLineEdit::textChanged, this, [this] { UpdateControls(); });
    connect(m_tableFile, &QLineEdit::textChanged, this, [this] { UpdateControls(); });
    connect(options, &QPushButton::clicked, this,
            [this] { CDlgCamOption::Edit(m_photoOut, m_drillOut, this); });
}

std::string CDlgCamIn::Section(int kind)
{
    return std::string(kSection) + (kind == kDrill ? "\\Drill" : "\\Phot");
}

CDlgCamIn::Settings CDlgCamIn::LoadSettings(const platform::Profile& profile, int kind)
{
    const std::string section = Section(kind);
    Settings s;
    s.dataFile = profile.GetString(section, "Data1", "");
    s.tableFile = profile.GetString(section, "Table1", "");
    s.layer = profile.GetInt(section, "Layer", 0);
    s.scale = ProfileNumber(profile, section, "Scale", "1.0f");
    s.xOffset = ProfileNumber(profile, section, "XOff", "0.0f");
    s.yOffset = ProfileNumber(profile, section, "YOff", "0.0f");
    const int mirror = profile.GetInt(section, "Mirror", 0);
    s.mirrorX = (mirror & 1) != 0;
    s.mirrorY = (mirror & 2) != 0;
    s.rotation = (mirror >> 2) & 3;
    const int unit = profile.GetInt(section, "UNIT", 0);
    s.unit = (unit & 15) != 0 ? 1 : 0;
    s.coordinates = (unit >> 4) != 0 ? 1 : 0;
    const int digits = profile.GetInt(section, "Int", 48);
    // Stored values beyond the combos' entries show their last entry.
    s.intDigits = std::min(digits & 15, 4);
    s.decDigits = std::min((digits >> 4) & 15, 5);
    s.code = std::clamp(profile.GetInt(section, "Code", 0), 0, 3);
    s.endOfBlock = std::clamp(profile.GetInt(section, "EOB", 0), 0, 2);
    return s;
}

void CDlgCamIn::SaveSettings(platform::Profile& profile, int kind, const Settings& s)
{
    const std::string section = Section(kind);
    profile.SetString(section, "Data1", s.dataFile);
    profile.SetString(section, "Table1", s.tableFile);
    profile.SetInt(section, "Layer", s.layer);
    profile.SetString(section, "Scale", platform::Format("%f", s.scale));
    profile.SetString(section, "XOff", platform::Format("%f", s.xOffset));
    profile.SetString(section, "YOff", platform::Format("%f", s.yOffset));
    profile.SetInt(section, "Mirror", PackMirror(s));
    profile.SetInt(section, "UNIT", PackUnit(s));
    profile.SetInt(section, "Int", PackInt(s));
    profile.SetInt(section, "Code", s.code);
    profile.SetInt(section, "EOB", s.endOfBlock);
}

bool CDlgCamIn::IsExtendedGerber(const std::string& path)
{
    const std::optional<std::string> bytes = platform::ReadFileBytes(platform::Cp932ToPath(path));
    if (!bytes)
        return false;
    const std::string_view text = *bytes;
    std::size_t at = 0;
    while (at < text.size()) {
        if (text[at] == '%') {
            const std::size_t close = text.find('%', at + 1);
            std::size_t first = at + 1;
            while (first < text.size() && IsBlank(text[first]))
                ++first;
            const std::string_view code = text.substr(first, 2);
            if (code == "FS" || code == "MO" || code == "AD" || code == "AM")
                return true;
            if (close == std::string_view::npos)
                return false;
            at = close + 1;
            continue;
        }
        const std::size_t end = text.find_first_of("*%", at);
        std::string block;
        for (std::size_t i = at; i < std::min(end, text.size()); ++i)
            if (!IsBlank(text[i]))
                block += text[i];
        if (HasCoordinate(block))
            return false;
        if (end == std::string_view::npos)
            return false;
        at = text[end] == '*' ? end + 1 : end;
    }
    return false;
}

QString CDlgCamIn::DataFilter(int kind)
{
    const QString all = QString::fromUtf8(";;全てのファイル (*)");
    return (kind == kDrill ? QString::fromUtf8("ドリルファイル (*.d*)")
                           : QString::fromUtf8("ガーバーファイル (*.pho *.pht *.g*)")) +
           all;
}

QString CDlgCamIn::TableFilter(int kind)
{
    const QString all = QString::fromUtf8(";;全てのファイル (*)");
    return (kind == kDrill ? QString::fromUtf8("ツールリスト (*.drt *.txt)")
                           : QString::fromUtf8("アパーチャーリスト (*.apt *.lst *.txt)")) +
           all;
}

void CDlgCamIn::OnInitDialog()
{
    platform::Profile& profile = platform::GetProfile();
    m_nKind = profile.GetInt(kSection, "PhotDrill", 0) == kDrill ? kDrill : kPhoto;
    for (int kind : {kPhoto, kDrill})
        m_settings[static_cast<std::size_t>(kind)] = LoadSettings(profile, kind);
    m_nArc = std::clamp(profile.GetInt(Section(kPhoto), "Arc", 0), 0, 3);
    m_nHit = std::clamp(profile.GetInt(Section(kDrill), "Hit", 0), 0, 3);

    for (const ComboEntry& entry : m_layerCombo.entries)
        m_layer->addItem(platform::Cp932ToQString(entry.text), entry.data);
    m_scaleSpin->SetRange(kScaleMin, kScaleMax);
    m_scaleSpin->SetStep(0.5);
    m_xOffsetSpin->SetRange(-m_dAreaX, m_dAreaX);
    m_yOffsetSpin->SetRange(-m_dAreaY, m_dAreaY);
    m_bExtended = false;
    UpdateData(false);
}

bool CDlgCamIn::DoDataExchange(bool save)
{
    Settings& s = m_settings[static_cast<std::size_t>(m_nKind)];
    if (save) {
        std::string data;
        std::string table;
        double scale = 0.0;
        double xOffset = 0.0;
        double yOffset = 0.0;
        if (!FieldText(m_dataFile, data) || !FieldText(m_tableFile, table) ||
            !CheckNumberRange(m_scale, kScaleMin, kScaleMax, scale) ||
            !CheckNumberRange(m_xOffset, -m_dAreaX, m_dAreaX, xOffset) ||
            !CheckNumberRange(m_yOffset, -m_dAreaY, m_dAreaY, yOffset))
            return false;
        s.dataFile = data;
        s.tableFile = table;
        if (m_layer->currentIndex() >= 0)
            s.layer = m_layer->currentData().toInt();
        s.scale = scale;
        s.xOffset = xOffset;
        s.yOffset = yOffset;
        s.rotation = std::max(m_rotation->Get(), 0);
        s.mirrorX = m_mirrorX->isChecked();
        s.mirrorY = m_mirrorY->isChecked();
        s.unit = std::max(m_unit->Get(), 0);
        s.coordinates = std::max(m_coordinates->Get(), 0);
        s.intDigits = m_intDigits->currentIndex();
        s.decDigits = m_decDigits->currentIndex();
        s.code = m_code->currentIndex();
        s.endOfBlock = m_endOfBlock->currentIndex();
        m_nArc = std::max(m_arc->Get(), 0);
        m_nHit = std::max(m_hitType->currentIndex(), 0);
    } else {
        m_kind->Set(m_nKind);
        m_dataFile->setText(platform::Cp932ToQString(s.dataFile));
        m_tableFile->setText(platform::Cp932ToQString(s.tableFile));
        // A stored layer the combo no longer offers falls back to the frame's current layer.
        int index = m_layer->findData(s.layer);
        if (index < 0 && m_layerCombo.selected >= 0 &&
            m_layerCombo.selected < static_cast<int>(m_layerCombo.entries.size()))
            index =
                m_layer->findData(m_layerCombo.entries[static_cast<std::size_t>(m_layerCombo.selected)].data);
        m_layer->setCurrentIndex(index);
        // Stored values outside the spins' ranges show clamped.
        m_scaleSpin->SetPos(std::clamp(s.scale, kScaleMin, kScaleMax));
        m_xOffsetSpin->SetPos(std::clamp(s.xOffset, -m_dAreaX, m_dAreaX));
        m_yOffsetSpin->SetPos(std::clamp(s.yOffset, -m_dAreaY, m_dAreaY));
        m_rotation->Set(s.rotation);
        m_mirrorX->setChecked(s.mirrorX);
        m_mirrorY->setChecked(s.mirrorY);
        m_unit->Set(s.unit);
        m_coordinates->Set(s.coordinates);
        m_intDigits->setCurrentIndex(s.intDigits);
        m_decDigits->setCurrentIndex(s.decDigits);
        m_code->setCurrentIndex(s.code);
        m_endOfBlock->setCurrentIndex(s.endOfBlock);
        m_arc->Set(m_nArc);
        m_hitType->setCurrentIndex(m_nHit);
    }
    UpdateControls();
    return true;
}

void CDlgCamIn::UpdateControls()
{
    const bool photo = m_nKind == kPhoto;
    for (QAbstractButton* button : m_arc->buttons())
        button->setEnabled(photo);
    m_hitType->setEnabled(!photo);
    const bool data = !m_dataFile->text().isEmpty();
    m_ok->setEnabled(photo ? data : data && !m_tableFile->text().isEmpty());
}

void CDlgCamIn::SwitchKind(int kind)
{
    if (kind == m_nKind || kind < 0)
        return;
    // The settings of the kind left stay with it; a value refused keeps that kind.
    m_kind->Set(m_nKind);
    if (!UpdateData(true))
        return;
    m_nKind = kind;
    UpdateData(false);
}

void CDlgCamIn::Browse(bool table)
{
    QLineEdit* field = table ? m_tableFile : m_dataFile;
    const QString chosen =
        chooseFile(this, field->text(), table ? TableFilter(m_nKind) : DataFilter(m_nKind));
    if (!chosen.isEmpty())
        field->setText(chosen);
}

void CDlgCamIn::accept()
{
    if (!UpdateData(true))
        return;
    const Settings& s = m_settings[static_cast<std::size_t>(m_nKind)];
    if (m_layer->currentIndex() < 0 || s.dataFile.empty() || (m_nKind == kDrill && s.tableFile.empty()))
        return;
    m_bExtended = m_nKind == kPhoto && IsExtendedGerber(s.dataFile);
    if (m_nKind == kPhoto && !m_bExtended && s.tableFile.empty()) {
        AfxMessageBox(_J("変換テーブルを指定してください"), MB_OK | MB_ICONEXCLAMATION);
        m_tableFile->setFocus();
        return;
    }
    platform::Profile& profile = platform::GetProfile();
    profile.SetInt(kSection, "PhotDrill", m_nKind);
    SaveSettings(profile, m_nKind, s);
    profile.SetInt(Section(kPhoto), "Arc", m_nArc);
    profile.SetInt(Section(kDrill), "Hit", m_nHit);
    QDialog::accept();
}
