#include "libui/DlgText.h"

#include "libui/FormulaEdit.h"
#include "libui/NumEdit.h"
#include "libui/NumSpinCtrl.h"
#include "libui/RadioGroup.h"
#include "libui/SpinButton.h"
#include "libui/TriStateCheck.h"
#include "platform/Cp932.h"
#include "platform/J.h"
#include "platform/Messages.h"
#include "platform/Numbers.h"
#include "platform/Profile.h"
#include "platform/qt/QtText.h"

#include <QFontDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <cmath>
#include <cstdlib>

namespace {

constexpr double kSizeMax = 30.0;
constexpr double kDistanceMax = 10.0;

double NormalizeDegrees(double angle)
{
    if (!std::isfinite(angle))
        return 0.0;
    angle = std::fmod(angle, 360.0);
    if (angle > 180.0)
        angle -= 360.0;
    else if (angle <= -180.0)
        angle += 360.0;
    return angle;
}

// A size field's value, checked from minimum (or only when non-zero) to maximum.
bool ReadSize(CNumEdit* edit, double minimum, double maximum, bool skipZero, double& value)
{
    bool ok = false;
    const double typed = edit->text().trimmed().toDouble(&ok);
    if (ok && skipZero && typed == 0.0) {
        value = 0.0;
        return true;
    }
    return CheckNumberRange(edit, minimum, maximum, value);
}

} // namespace

CDlgText::CDlgText(QWidget* parent) : CItemDialog(IDD, QString::fromUtf8("文字編集"), parent)
{
    m_font.lfHeight = -200;
    m_font.SetFaceName(FontE());

    CDialogBuilder& b = Builder();
    const auto str = [](const char* text) { return QString::fromUtf8(text); };
    m_textEdit = b.Add(IdText, new QLineEdit(this), 0, 0, 1, 4);
    m_textEdit->setMinimumWidth(360);

    QGridLayout* bases = AddGroup(QString(), 1, 0, 1, 3);
    m_hGroup = new CRadioGroup(this);
    m_hGroup->Add(Put(bases, b.Radio(nullptr, IdLeft, str("左"), -1, 0), 0, 0), 0);
    m_hGroup->Add(Put(bases, b.Radio(nullptr, IdCentre, str("中"), -1, 0), 0, 1), 1);
    m_hGroup->Add(Put(bases, b.Radio(nullptr, IdRight, str("右"), -1, 0), 0, 2), 2);
    m_vGroup = new CRadioGroup(this);
    m_vGroup->Add(Put(bases, b.Radio(nullptr, IdTop, str("上"), -1, 0), 1, 0), 0);
    m_vGroup->Add(Put(bases, b.Radio(nullptr, IdMiddle, str("中"), -1, 0), 1, 1), 1);
    m_vGroup->Add(Put(bases, b.Radio(nullptr, IdBottom, str("下"), -1, 0), 1, 2), 2);
    m_displayCheck = b.Add(IdDisplay, new CTriStateCheck(str("表示(&I)"), this), 1, 3);

    QGridLayout* place = AddGroup(str("位置と向き"), 2, 0, 1, 4);
    m_dirGroup = new CRadioGroup(this);
    const struct
    {
        int id;
        const char* caption;
    } directions[] = {{IdDir0, "0(&A)"},
                      {IdDir90, "90(&B)"},
                      {IdDir180, "180(&C)"},
                      {IdDirMinus90, "-90(&D)"},
                      {IdDirAngle, "指定(&E)"}};
    for (int i = 0; i < 5; ++i)
        m_dirGroup->Add(
            Put(place, b.Radio(nullptr, directions[i].id, str(directions[i].caption), -1, 0), 0, i), i);
    m_angleEdit = AddNumField(place, IdAngle, IdAngleSpin, m_angleSpin, 0, 5);
    Put(place, b.Label(str("°"), -1, 0), 0, 6);
    Put(place, b.Label(QStringLiteral("&X"), -1, 0), 1, 0);
    m_xEdit = Put(place, b.Add(IdX, new CFormulaEdit(this), -1, 0), 1, 1, 1, 2);
    Put(place, b.Label(QStringLiteral("&Y"), -1, 0), 1, 3);
    m_yEdit = Put(place, b.Add(IdY, new CFormulaEdit(this), -1, 0), 1, 4, 1, 2);

    QGridLayout* size = AddGroup(QString(), 3, 0, 1, 4);
    m_typeGroup = new CRadioGroup(this);
    m_typeGroup->Add(Put(size, b.Radio(nullptr, IdTrueType, str("フォント形式(&F)"), -1, 0), 0, 0, 1, 2), 0);
    m_ownFontCheck = Put(size, b.Add(IdOwnFont, new CTriStateCheck(str("別フォント"), this), -1, 0), 0, 2);
    Put(size, b.Label(str("高さ(&Z)"), -1, 0), 0, 3);
    m_fontHeightEdit = AddNumField(size, IdFontHeight, IdFontHeightSpin, m_fontHeightSpin, 0, 4);
    m_fontButton = Put(size, b.Button(IdFont, str("フォント"), -1, 0), 0, 5);
    m_typeGroup->Add(Put(size, b.Radio(nullptr, IdStroke, str("ガーバ形式(&G)"), -1, 0), 1, 0, 1, 2), 1);
    Put(size, b.Label(str("テーブル(&N)"), -1, 0), 1, 2);
    m_tableEdit = AddIntField(size, IdTable, IdTableSpin, m_tableSpin, 1, 3);
    Put(size, b.Label(str("タレット(&T)"), -1, 0), 1, 4);
    m_turretEdit = Put(size, b.Add(IdTurret, new QLineEdit(this), -1, 0), 1, 5);
    NoInputMethod(m_turretEdit);
    m_turretEdit->setFixedWidth(56);
    Put(size, b.Label(str("高さ(&H)"), -1, 0), 2, 0);
    m_heightEdit = AddNumField(size, IdHeight, IdHeightSpin, m_heightSpin, 2, 1);
    Put(size, b.Label(str("幅(&W)"), -1, 0), 2, 2);
    m_widthEdit = AddNumField(size, IdWidth, IdWidthSpin, m_widthSpin, 2, 3);
    Put(size, b.Label(str("間隔(&S)"), -1, 0), 2, 4);
    m_spaceEdit = AddNumField(size, IdSpace, IdSpaceSpin, m_spaceSpin, 2, 5);

    m_keepCheck = b.Add(IdKeep, new CTriStateCheck(str("設定維持(&R)"), this), 4, 0);
    m_printableCheck = b.Add(IdPrintable, new CTriStateCheck(str("印刷可(&P)"), this), 4, 1);
    m_mirrorCheck = b.Add(IdMirror, new CTriStateCheck(str("強制ミラー(&M)"), this), 4, 2);
    m_frameCheck = b.Add(IdFrame, new CTriStateCheck(str("枠付き(&O)"), this), 5, 0);
    b.Label(str("離れ"), 5, 1, 1, 1)->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_distanceEdit = AddNumField(Grid(), IdDistance, IdDistanceSpin, m_distanceSpin, 5, 2);
    b.OkCancel(0, 4);

    connect(m_dirGroup, &CRadioGroup::choiceClicked, this, &CDlgText::OnDirection);
    connect(m_typeGroup, &CRadioGroup::choiceClicked, this, [this] {
        m_fontType = m_typeGroup->Get();
        UpdateEnabling();
    });
    connect(m_frameCheck, &QAbstractButton::clicked, this, [this] {
        m_frame = m_frameCheck->GetState();
        UpdateEnabling();
    });
    connect(m_keepCheck, &QAbstractButton::clicked, this, &CDlgText::OnKeep);
    connect(m_ownFontCheck, &QAbstractButton::clicked, this, &CDlgText::OnOwnFont);
    connect(m_fontButton, &QPushButton::clicked, this, &CDlgText::OnFontButton);
    connect(m_tableEdit, &QLineEdit::textChanged, this, &CDlgText::OnTableChanged);
    connect(m_turretEdit, &QLineEdit::textChanged, this, [this](const QString& text) {
        if (!m_loading)
            ReadTableField(text, 120, m_turret);
    });
}

std::string CDlgText::FontE() const
{
    return platform::GetProfile().GetString("Default", "FontE", "Arial");
}

std::string CDlgText::FontJ() const
{
    return platform::GetProfile().GetString("Default", "FontJ", _J("ＭＳ ゴシック"));
}

bool CDlgText::TextHasWideCharacters() const
{
    const std::string text = platform::QStringToCp932(m_text).value_or(std::string());
    for (const platform::Cp932Char c : platform::Chars(text)) {
        if (c.IsDoubleByte() || platform::IsHalfWidthKana(static_cast<unsigned char>(c.code)))
            return true;
    }
    return false;
}

void CDlgText::SetDirectionFromAngle()
{
    if (m_angle == 0.0)
        m_direction = 0;
    else if (m_angle == 90.0)
        m_direction = 1;
    else if (m_angle == 180.0)
        m_direction = 2;
    else if (m_angle == 270.0 || m_angle == -90.0)
        m_direction = 3;
    else
        m_direction = 4;
}

void CDlgText::OnInitDialog()
{
    for (CNumSpinCtrl* spin : {m_fontHeightSpin, m_heightSpin, m_widthSpin, m_spaceSpin}) {
        spin->SetStep(0.5);
        spin->SetRange(m_multiple ? 0.0 : 0.1, kSizeMax);
    }
    m_distanceSpin->SetStep(0.1);
    m_distanceSpin->SetRange(m_multiple ? 0.0 : 0.1, kDistanceMax);
    m_tableSpin->SetRange(m_multiple ? -1 : 0, 16);
    m_angleSpin->SetRange(-180.0, 180.0);
    m_angleSpin->SetStep(0.5);
    m_xEdit->SetValue(m_point.x);
    m_yEdit->SetValue(m_point.y);
    if (m_multiple || !m_edit) {
        m_xEdit->setText(QStringLiteral("***"));
        m_yEdit->setText(QStringLiteral("***"));
    }
    // Values out of every table (a text-size entry past 16, a stray turret) are not indexed.
    if (m_table < 0 || m_table > 16)
        m_table = 0;
    m_angle = NormalizeDegrees(m_angle);

    const platform::Profile& profile = platform::GetProfile();
    if (m_multiple) {
        m_keepCheck->setEnabled(false);
        for (CTriStateCheck* check : {m_printableCheck, m_ownFontCheck, m_mirrorCheck, m_frameCheck}) {
            check->setTristate(true);
        }
        m_printable = m_ownFont = m_mirror = m_frame = 2;
        SetDigitsOnly(m_turretEdit, false);
        m_turret = m_table = -1;
        m_fontHeight = m_textHeight = m_width = m_spacing = 0.0;
        m_hBase = m_vBase = m_direction = m_fontType = -1;
        m_xEdit->setEnabled(false);
        m_yEdit->setEnabled(false);
        for (CRadioGroup* group : {m_hGroup, m_vGroup, m_dirGroup, m_typeGroup})
            group->SetClearable(true);
    } else {
        SetDigitsOnly(m_turretEdit, true);
        if (m_turret < 0 || m_turret > 120)
            m_turret = 0;
        if (m_edit) {
            m_keep = 0;
            m_keepCheck->setEnabled(false);
        } else {
            setWindowTitle(QString::fromUtf8("文字入力"));
            m_imeFlag = profile.GetInt("Default", "Text FEP Control", 0) == 1;
            m_keep = profile.GetInt("Text", "Remember Attr", 0) != 0 ? 1 : 0;
            LoadAttribute();
        }
        const std::string text = platform::QStringToCp932(m_text).value_or(std::string());
        if (!text.empty() && platform::CharAt(text, 0).IsDoubleByte())
            m_imeFlag = profile.GetInt("Default", "Text FEP Control", 0) != 0;
        SetDirectionFromAngle();
    }
    UpdateData(false);
    m_tableSpin->SetPosition(m_table);
    UpdateData(false);
}

void CDlgText::LoadAttribute()
{
    const platform::Profile& profile = platform::GetProfile();
    const std::string section = m_keep ? "Text" : "Default";
    m_fontHeight = profile.GetInt(section, "Font Size", 200) / 100.0;
    m_textHeight = profile.GetInt(section, "Text Height", 200) / 100.0;
    m_width = profile.GetInt(section, "Text Width", 200) / 100.0;
    m_spacing = profile.GetInt(section, "Text Space", 50) / 100.0;
    m_fontType = profile.GetInt(section, "Font Type", 1) == 0 ? 0 : 1;
    m_table = profile.GetInt(section, "Text Table", 0);
    if (m_table < 0 || m_table > 16)
        m_table = 0;
    m_turret = profile.GetInt(section, "Text Turret", 1);
    if (m_turret < 0 || m_turret > 120)
        m_turret = 1;
    m_hBase = profile.GetInt(section, "Text H Base", 0);
    if (m_hBase < 0 || m_hBase > 2)
        m_hBase = 0;
    m_vBase = profile.GetInt(section, "Text V Base", 2);
    if (m_vBase < 0 || m_vBase > 2)
        m_vBase = 2;
    m_angle = NormalizeDegrees(std::atof(profile.GetString(section, "Text Direction", "0.0").c_str()));
    SetDirectionFromAngle();

    const std::string frame = profile.GetString("Text", "Frame");
    int tenths = 0;
    if (frame.empty() || frame == "N" || !platform::ParseProfileInt(frame, tenths) || tenths <= 0) {
        m_frame = 0;
        m_frameDistance = 0.5;
    } else {
        m_frame = 1;
        m_frameDistance = tenths * 0.1;
    }
    m_mirror = m_keep ? (profile.GetInt("Text", "Mirror", 0) != 0 ? 1 : 0) : 0;
    m_printable = m_keep ? (profile.GetInt("Text", "Printable", 1) != 0 ? 1 : 0) : 1;
    m_ownFont = 0;
    if (m_keep && profile.GetInt("Text", "Text Font", 0) != 0) {
        std::vector<std::uint8_t> bytes;
        if (profile.GetBinary("Text", "Font", bytes) && bytes.size() == LOGFONTA::RECORD_SIZE) {
            m_ownFont = 1;
            m_font = LOGFONTA::FromBytes(bytes.data());
        }
    }
    if (m_text.isEmpty())
        m_text = m_textEdit->text();
    ApplyTableEntry(false);
}

void CDlgText::ApplyTableEntry(bool withTurret)
{
    if (m_table < 1 || m_table > 16)
        return;
    const tagTEXTSIZE& entry = m_sizes[static_cast<std::size_t>(m_table)];
    m_textHeight = entry.height;
    m_width = entry.width;
    m_spacing = entry.space;
    if (withTurret)
        m_turret = entry.turret;
}

bool CDlgText::DoDataExchange(bool save)
{
    if (!save) {
        m_loading = true;
        m_textEdit->setText(m_text);
        m_hGroup->Set(m_hBase);
        m_vGroup->Set(m_vBase);
        m_dirGroup->Set(m_direction);
        m_typeGroup->Set(m_fontType);
        m_displayCheck->SetState(m_display);
        m_keepCheck->SetState(m_keep);
        m_printableCheck->SetState(m_printable);
        m_ownFontCheck->SetState(m_ownFont);
        m_mirrorCheck->SetState(m_mirror);
        m_frameCheck->SetState(m_frame);
        m_angleSpin->SetPos(m_angle);
        m_tableEdit->setText(m_table < 0 ? QStringLiteral("***") : QString::number(m_table));
        m_turretEdit->setText(m_turret < 0 ? QStringLiteral("***") : QString::number(m_turret));
        m_fontHeightSpin->SetPos(m_fontHeight);
        m_heightSpin->SetPos(m_textHeight);
        m_widthSpin->SetPos(m_width);
        m_spaceSpin->SetPos(m_spacing);
        m_distanceSpin->SetPos(m_frameDistance);
        m_loading = false;
        UpdateEscapement();
        UpdateEnabling();
        return true;
    }

    QString text = m_textEdit->text();
    while (!text.isEmpty() && text.back().isSpace())
        text.chop(1);
    m_text = text;
    m_hBase = m_hGroup->Get();
    m_vBase = m_vGroup->Get();
    m_direction = m_dirGroup->Get();
    m_fontType = m_typeGroup->Get();
    m_display = m_displayCheck->GetState();
    m_keep = m_keepCheck->GetState();
    m_printable = m_printableCheck->GetState();
    m_ownFont = m_ownFontCheck->GetState();
    m_mirror = m_mirrorCheck->GetState();
    m_frame = m_frameCheck->GetState();
    if (!CheckNumberRange(m_angleEdit, -180.0, 180.0, m_angle))
        return false;
    // Table and turret count only in the stroke form (or when several texts are edited).
    if (m_multiple || m_fontType == 1) {
        if (!CheckTableField(m_tableEdit, m_multiple, m_multiple ? -1 : 0, 16, m_table) ||
            !CheckTableField(m_turretEdit, m_multiple, m_multiple ? -1 : 0, 120, m_turret))
            return false;
    }
    bool ok = true;
    if (m_multiple) {
        ok = ReadSize(m_fontHeightEdit, 0.0, kSizeMax, false, m_fontHeight) &&
             ReadSize(m_heightEdit, 0.0, kSizeMax, false, m_textHeight) &&
             ReadSize(m_widthEdit, 0.0, kSizeMax, false, m_width) &&
             ReadSize(m_spaceEdit, 0.0, kSizeMax, false, m_spacing) &&
             ReadSize(m_distanceEdit, 0.0, kDistanceMax, false, m_frameDistance);
    } else {
        // A font height below 0.1 is left for the font height message at OK.
        if (m_fontType == 0)
            ok = ReadSize(m_fontHeightEdit, -1e300, kSizeMax, false, m_fontHeight);
        if (ok && m_fontType == 1)
            ok = ReadSize(m_heightEdit, 0.1, kSizeMax, true, m_textHeight) &&
                 ReadSize(m_widthEdit, 0.1, kSizeMax, true, m_width) &&
                 ReadSize(m_spaceEdit, 0.1, kSizeMax, true, m_spacing);
        if (ok && m_frame == 1)
            ok = ReadSize(m_distanceEdit, 0.1, kDistanceMax, true, m_frameDistance);
    }
    UpdateEscapement();
    UpdateEnabling();
    return ok;
}

void CDlgText::UpdateEscapement()
{
    switch (m_direction) {
    case 1:
        m_font.lfEscapement = 2700;
        break;
    case 2:
        m_font.lfEscapement = 1800;
        break;
    case 3:
        m_font.lfEscapement = 900;
        break;
    case 4: {
        const int tenths = static_cast<int>(m_angle * 10.0);
        m_font.lfEscapement = tenths == 0 ? 0 : 3600 - tenths;
        break;
    }
    case 0:
        m_font.lfEscapement = 0;
        break;
    default:
        break;
    }
}

void CDlgText::UpdateEnabling()
{
    const int type = m_typeGroup->Get();
    const bool stroke = type == 1;
    const bool trueType = type == 0;
    const int table = m_table;
    m_ownFontCheck->setEnabled(trueType);
    m_fontButton->setEnabled(trueType && m_ownFontCheck->GetState() == 1);
    m_fontHeightEdit->setEnabled(trueType);
    m_fontHeightSpin->setEnabled(trueType);
    for (QWidget* w : std::initializer_list<QWidget*>{m_tableEdit, m_tableSpin, m_turretEdit, m_heightEdit,
                                                      m_widthEdit, m_spaceEdit})
        w->setEnabled(stroke);
    for (CNumSpinCtrl* spin : {m_heightSpin, m_widthSpin, m_spaceSpin})
        spin->setEnabled(stroke && table == 0);
    for (CNumEdit* edit : {m_heightEdit, m_widthEdit, m_spaceEdit})
        edit->setReadOnly(table > 0);
    const bool angle = m_dirGroup->Get() == 4;
    m_angleEdit->setEnabled(angle);
    m_angleSpin->setEnabled(angle);
    const bool framed = m_frameCheck->GetState() == 1;
    m_distanceEdit->setEnabled(framed);
    m_distanceSpin->setEnabled(framed);
}

void CDlgText::OnDirection(int choice)
{
    static const double angles[] = {0.0, 90.0, 180.0, -90.0};
    m_direction = choice;
    if (choice >= 0 && choice < 4) {
        m_angle = angles[choice];
        m_angleSpin->SetPos(m_angle);
    }
    UpdateEscapement();
    UpdateEnabling();
}

void CDlgText::OnKeep()
{
    // What the user typed stays; only the attributes are loaded.
    m_text = m_textEdit->text();
    m_keep = m_keep ? 0 : 1;
    LoadAttribute();
    UpdateData(false);
}

void CDlgText::OnOwnFont()
{
    m_ownFont = m_ownFontCheck->GetState();
    if (m_ownFont == 0) {
        m_text = m_textEdit->text();
        m_font = LOGFONTA();
        m_font.lfHeight = -static_cast<std::int32_t>(m_textHeight * 100.0);
        if (TextHasWideCharacters()) {
            m_font.SetFaceName(FontJ());
            m_font.lfCharSet = SHIFTJIS_CHARSET;
        } else {
            m_font.SetFaceName(FontE());
        }
    }
    UpdateEnabling();
}

void CDlgText::OnFontButton()
{
    m_text = m_textEdit->text();
    const bool wide = TextHasWideCharacters();
    const std::string face = m_font.FaceName();
    if (!m_text.isEmpty() && (face == FontE() || face == FontJ())) {
        m_font.SetFaceName(wide ? FontJ() : FontE());
        m_font.lfCharSet = wide ? SHIFTJIS_CHARSET : ANSI_CHARSET;
    }
    QFont initial;
    if (!m_multiple) {
        initial.setFamily(platform::Cp932ToQString(m_font.FaceName()));
        initial.setWeight(
            static_cast<QFont::Weight>(std::clamp(m_font.lfWeight == 0 ? 400 : m_font.lfWeight, 1, 1000)));
        initial.setItalic(m_font.lfItalic != 0);
    }
    initial.setPointSize(10);
    bool confirmed = false;
    const QFont chosen = QFontDialog::getFont(&confirmed, initial, this, QString::fromUtf8("フォント"),
                                              QFontDialog::ScalableFonts);
    if (!confirmed)
        return;
    const std::optional<std::string> family = platform::QStringToCp932(chosen.family());
    if (!family) {
        AfxMessageBox(_J("この文字列には使用できない文字が含まれています。"), MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    LOGFONTA font = m_font;
    font.SetFaceName(*family);
    font.lfWeight = static_cast<std::int32_t>(chosen.weight());
    font.lfItalic = chosen.italic() ? 1 : 0;
    font.lfCharSet = wide ? SHIFTJIS_CHARSET : ANSI_CHARSET;
    font.lfHeight = static_cast<std::int32_t>(m_textHeight * 100.0);
    if ((*family != FontE() && *family != FontJ()) || font.lfWeight == FW_BOLD || font.lfItalic) {
        m_ownFont = 1;
        m_ownFontCheck->SetState(1);
    }
    m_font = font;
    UpdateEnabling();
}

void CDlgText::OnTableChanged(const QString& text)
{
    if (m_loading)
        return;
    int value = m_table;
    if (!ReadTableField(text, 16, value))
        return;
    m_table = value;
    if (m_table > 0) {
        ApplyTableEntry(true);
        m_loading = true;
        m_heightSpin->SetPos(m_textHeight);
        m_widthSpin->SetPos(m_width);
        m_spaceSpin->SetPos(m_spacing);
        m_turretEdit->setText(QString::number(m_turret));
        m_loading = false;
    }
    UpdateEnabling();
}

bool CDlgText::ReadPosition()
{
    if (m_multiple)
        return true;
    return ReadPositionFields(m_xEdit, m_yEdit, m_edit, m_point);
}

void CDlgText::accept()
{
    std::string bytes;
    if (!UpdateData(true) || !FieldText(m_textEdit, bytes))
        return;
    if (m_fontType == 0 && m_fontHeightEdit->IsChanged() && m_fontHeight < (m_multiple ? 0.0 : 0.1)) {
        AfxMessageBox(_J("フォント高さエラー"), MB_OK);
        return;
    }
    if (m_fontType == 1 && !m_multiple && (m_textHeight == 0.0 || m_width == 0.0)) {
        AfxMessageBox(_J("高さ，幅の設定エラー"), MB_OK);
        return;
    }
    if (m_text.isEmpty()) {
        reject();
        return;
    }
    if (!ReadPosition())
        return;
    if (!m_multiple && m_keepCheck->isEnabled()) {
        platform::Profile& profile = platform::GetProfile();
        profile.SetInt("Text", "Remember Attr", m_keep);
        profile.SetInt("Text", "Text Font", m_ownFont);
        const LOGFONTA::Bytes raw = m_font.ToBytes();
        profile.SetBinary("Text", "Font", std::vector<std::uint8_t>(raw.begin(), raw.end()));
        SaveAttribute();
    }
    if (m_multiple) {
        if (m_vBase < 0)
            m_vBase = 3;
        if (m_hBase < 0)
            m_hBase = 3;
        if (m_fontType < 0)
            m_fontType = 3;
        if (m_direction < 0)
            m_direction = 7;
    }
    if (m_ownFont == 1) {
        const std::string face = m_font.FaceName();
        if ((face == FontE() || face == FontJ()) && (m_font.lfWeight == FW_NORMAL || m_font.lfWeight == 0) &&
            !m_font.lfItalic)
            m_ownFont = 0;
    }
    QDialog::accept();
}

void CDlgText::SaveAttribute()
{
    platform::Profile& profile = platform::GetProfile();
    if (m_multiple || profile.GetInt("Text", "Remember Attr", 0) == 0)
        return;
    profile.SetInt("Text", "Text H Base", m_hBase);
    profile.SetInt("Text", "Text V Base", m_vBase);
    profile.SetString("Text", "Text Direction", platform::Format("%.3f", m_angle));
    profile.SetInt("Text", "Font Type", m_fontType);
    if (m_fontType == 1) {
        profile.SetInt("Text", "Text Height", static_cast<int>(m_textHeight * 100.0));
        profile.SetInt("Text", "Text Width", static_cast<int>(m_width * 100.0));
        profile.SetInt("Text", "Text Space", static_cast<int>(m_spacing * 100.0));
        profile.SetInt("Text", "Text Table", m_table);
        profile.SetInt("Text", "Text Turret", m_turret);
    } else {
        profile.SetInt("Text", "Font Size", static_cast<int>(m_fontHeight * 100.0));
    }
    profile.SetString("Text", "Frame",
                      m_frame == 1 ? platform::Format("%2d", static_cast<int>(m_frameDistance * 10.0)) : "N");
    profile.SetInt("Text", "Mirror", m_mirror);
    profile.SetInt("Text", "Printable", m_printable);
}

void CDlgText::Fill(const TextDialogData& data)
{
    m_text = platform::Cp932ToQString(data.text);
    m_display = data.displayed ? 1 : 0;
    m_printable = data.printable ? 1 : 0;
    m_angle = data.angleDeg;
    m_mirror = data.mirror ? 1 : 0;
    m_point = CDPoint(data.x, data.y);
    m_edit = data.flag != 0;
    m_multiple = data.multiEdit;
    m_sizes = data.sizes;
    m_turret = data.turret;
    m_fontHeight = data.ttSize;
    m_textHeight = data.strokeHeight;
    m_width = data.strokeWidth;
    m_spacing = data.strokeSpace;
    m_table = data.sizeTable;
    m_hBase = data.hAlign;
    m_vBase = data.vAlign;
    m_ownFont = data.ownFont;
    m_font = LOGFONTA::FromBytes(data.logFont);
    m_fontType = data.fontKind;
    m_frame = data.frame;
    m_frameDistance = data.frameDistance;
}

bool CDlgText::Run(TextDialogData& data, QWidget* parent)
{
    CDlgText dialog(parent);
    dialog.Fill(data);
    if (dialog.DoModal() != QDialog::Accepted)
        return false;
    // The string is written back only when the user changed it, so that bytes with two Unicode
    // spellings survive.
    if (dialog.m_text != platform::Cp932ToQString(data.text))
        data.text = platform::QStringToCp932(dialog.m_text).value_or(data.text);
    data.displayed = dialog.m_display == 1;
    data.angleDeg = dialog.m_angle;
    data.x = dialog.m_point.x;
    data.y = dialog.m_point.y;
    data.turret = dialog.m_turret;
    data.ttSize = dialog.m_fontHeight;
    data.strokeHeight = dialog.m_textHeight;
    data.strokeWidth = dialog.m_width;
    data.strokeSpace = dialog.m_spacing;
    data.sizeTable = dialog.m_table;
    data.hAlign = dialog.m_hBase;
    data.vAlign = dialog.m_vBase;
    data.ownFont = dialog.m_ownFont;
    data.logFont = dialog.m_font.ToBytes();
    data.fontKind = dialog.m_fontType;
    data.frame = dialog.m_frame;
    data.frameDistance = dialog.m_frameDistance;
    data.angleChoice = dialog.m_direction;
    if (dialog.m_multiple) {
        data.printableChoice = dialog.m_printable;
        data.mirrorChoice = dialog.m_mirror;
    } else {
        data.printable = dialog.m_printable == 1;
        data.mirror = dialog.m_mirror == 1;
    }
    return true;
}

void CDlgText::SaveAttribute(const TextDialogData& data)
{
    CDlgText dialog;
    dialog.Fill(data);
    dialog.SaveAttribute();
}
