#include "libui/DlgLine.h"

#include "libui/SpinButton.h"
#include "libui/TriStateCheck.h"
#include "model/services/FrameServices.h"
#include "platform/Messages.h"
#include "platform/qt/QtText.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <cmath>
#include <numbers>

namespace {

constexpr int kNameBits = 0x7000;
constexpr int kNamed = 0x1000;
constexpr int kAutoLength = 0x2000;
constexpr int kAutoAngle = 0x4000;
constexpr int kLineTypeBits = 0xE00;

QString NumberText(double value)
{
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.8G", value);
    return QString::fromLatin1(TrimNumberString(buffer).c_str());
}

} // namespace

CDlgLine::CDlgLine(QWidget* parent) : CItemDialog(IDD, QString::fromUtf8("ライン編集"), parent)
{
    CDialogBuilder& b = Builder();
    b.Label(QString::fromUtf8("タレット(&T)"), 0, 0);
    m_turretEdit = AddIntField(Grid(), IdTurret, IdTurretSpin, m_turretSpin, 0, 1);
    b.Label(QString::fromUtf8("線種(&S)"), 1, 0);
    m_typeCombo = b.Add(IdLineType, new QComboBox(this), 1, 1);

    QGridLayout* dims = AddGroup(QString::fromUtf8("寸法"), 2, 0, 1, 2);
    m_displayCheck = Put(
        dims, b.Add(IdDisplay, new CTriStateCheck(QString::fromUtf8("表示(&D)"), this), -1, 0), 0, 0, 1, 2);
    Put(dims, b.Label(QString::fromUtf8("値(&V)"), -1, 0), 1, 0);
    m_valueEdit = Put(dims, b.Add(IdValue, new QLineEdit(this), -1, 0), 1, 1, 1, 2);
    m_valueEdit->setMinimumWidth(160);
    QPushButton* length = Put(dims, b.Button(IdLength, QString::fromUtf8("長さ(&L)"), -1, 0), 2, 0);
    QPushButton* angle = Put(dims, b.Button(IdAngle, QString::fromUtf8("角度(&A)"), -1, 0), 3, 0);
    Put(dims, b.Label(QString::fromUtf8("線長"), -1, 0), 2, 1);
    m_lengthEdit = Put(dims, b.Add(IdLengthText, new QLineEdit(this), -1, 0), 2, 2);
    Put(dims, b.Label(QString::fromUtf8("角度"), -1, 0), 3, 1);
    m_angleEdit = Put(dims, b.Add(IdAngleText, new QLineEdit(this), -1, 0), 3, 2);
    m_lengthEdit->setReadOnly(true);
    m_angleEdit->setReadOnly(true);

    QGridLayout* arrows = AddGroup(QString::fromUtf8("矢印"), 3, 0);
    m_startArrowCheck = Put(
        arrows, b.Add(IdStartArrow, new CTriStateCheck(QString::fromUtf8("始点(&1)"), this), -1, 0), 0, 0);
    m_endArrowCheck =
        Put(arrows, b.Add(IdEndArrow, new CTriStateCheck(QString::fromUtf8("終点(&2)"), this), -1, 0), 0, 1);
    QGridLayout* dots = AddGroup(QString::fromUtf8("点"), 3, 1);
    m_startDotCheck =
        Put(dots, b.Add(IdStartDot, new CTriStateCheck(QString::fromUtf8("始点(&3)"), this), -1, 0), 0, 0);
    m_endDotCheck =
        Put(dots, b.Add(IdEndDot, new CTriStateCheck(QString::fromUtf8("終点(&4)"), this), -1, 0), 0, 1);
    b.OkCancel(0, 2);

    // An end carries an arrow or a dot, not both.
    const auto exclude = [this](CTriStateCheck* clicked, CTriStateCheck* other) {
        connect(clicked, &QAbstractButton::clicked, this,
                [clicked, other] { other->SetState(clicked->GetState() & 2); });
    };
    exclude(m_endArrowCheck, m_endDotCheck);
    exclude(m_endDotCheck, m_endArrowCheck);
    exclude(m_startArrowCheck, m_startDotCheck);
    exclude(m_startDotCheck, m_startArrowCheck);
    connect(length, &QPushButton::clicked, this, [this] { OnAutoText(m_lengthText, kNamed | kAutoLength); });
    connect(angle, &QPushButton::clicked, this, [this] { OnAutoText(m_angleText, kNamed | kAutoAngle); });
    connect(m_turretEdit, &QLineEdit::textChanged, this, [this](const QString& text) {
        if (m_loading || !ReadTableField(text, 120, m_turret))
            return;
        if (m_turret < 0 && text != QStringLiteral("***")) {
            m_loading = true;
            m_turretEdit->setText(QStringLiteral("***"));
            m_loading = false;
        }
    });
    connect(m_valueEdit, &QLineEdit::textChanged, this,
            [this](const QString& text) { m_displayCheck->setEnabled(!text.isEmpty()); });
}

CItemBase& CDlgLine::Edited()
{
    if (IsArc())
        return m_arc;
    return m_line;
}

void CDlgLine::SetNameBits(int bits)
{
    m_line.ModifyType(bits, kNameBits);
    m_arc.ModifyType(bits, kNameBits);
}

void CDlgLine::OnInitDialog()
{
    int arrowBits = 0;
    const CText* nameText = nullptr;
    double length = 0.0;
    double degrees = 0.0;
    if (IsArc()) {
        setWindowTitle(QString::fromUtf8("円弧の編集"));
        m_value = platform::Cp932ToQString(m_arc.GetName());
        arrowBits = m_arc.IsArrow();
        nameText = m_arc.GetNameText();
        const bool circle = std::fabs(m_arc.GetStartAngle() - m_arc.GetEndAngle()) < 0.001;
        const double sweep = m_arc.GetSweep();
        length = circle ? 2.0 * std::numbers::pi * m_arc.GetRadius() : sweep * m_arc.GetRadius();
        degrees = circle ? 360.0 : sweep * 180.0 / std::numbers::pi;
        m_turret = m_arc.GetTurretNo();
    } else {
        m_value = platform::Cp932ToQString(m_line.GetName());
        arrowBits = m_line.IsArrow();
        nameText = m_line.GetNameText();
        length = m_line.GetLength();
        degrees = m_line.GetAngle() * 180.0 / std::numbers::pi;
        m_turret = m_line.GetTurretNo();
    }
    if (!m_multiple) {
        m_display = (nameText->GetType() & TEXT_HIDDEN) ? 0 : 1;
        m_lengthText = NumberText(length);
        m_angleText = (IsArc() && degrees == 360.0 ? QStringLiteral("360") : NumberText(degrees)) +
                      QString::fromUtf8("°");
    }
    m_startArrow = (arrowBits & 1) ? 1 : 0;
    m_startDot = !(arrowBits & 1) && (arrowBits & 4) ? 1 : 0;
    m_endArrow = (arrowBits & 2) ? 1 : 0;
    m_endDot = !(arrowBits & 2) && (arrowBits & 8) ? 1 : 0;

    const struct
    {
        const char* caption;
        int bits;
    } types[] = {{"実線", 0}, {"点線", 0x200}, {"破線", 0x400}, {"１点破線", 0x600}, {"２点破線", 0x800}};
    const int itemType = Edited().GetType() & kLineTypeBits;
    for (const auto& type : types) {
        m_typeCombo->addItem(QString::fromUtf8(type.caption), type.bits);
        if (type.bits == itemType)
            m_lineType = m_typeCombo->count() - 1;
    }
    if (m_multiple) {
        m_value = QStringLiteral("***");
        m_typeCombo->addItem(QStringLiteral("***"), -1);
        m_lineType = m_typeCombo->count() - 1;
        m_turret = -1;
        for (CTriStateCheck* check :
             {m_startArrowCheck, m_endArrowCheck, m_startDotCheck, m_endDotCheck, m_displayCheck})
            check->setTristate(true);
        m_startArrow = m_endArrow = m_startDot = m_endDot = m_display = 2;
        SetDigitsOnly(m_turretEdit, false);
        m_turretSpin->SetRange(-1, 120);
        m_lengthText = QStringLiteral("{LEN}");
        m_angleText = QStringLiteral("{ANG}");
        m_line.ModifyType(kNamed, kNamed);
        m_arc.ModifyType(kNamed, kNamed);
    } else {
        SetDigitsOnly(m_turretEdit, true);
        m_turretSpin->SetRange(0, 120);
    }
    m_loading = true;
    m_turretSpin->SetPosition(m_turret);
    m_loading = false;
    UpdateData(false);
    m_displayCheck->setEnabled(!m_value.isEmpty());
}

bool CDlgLine::DoDataExchange(bool save)
{
    if (save) {
        m_value = m_valueEdit->text().trimmed();
        m_lengthText = m_lengthEdit->text();
        m_angleText = m_angleEdit->text();
        m_display = m_displayCheck->GetState();
        m_startArrow = m_startArrowCheck->GetState();
        m_endArrow = m_endArrowCheck->GetState();
        m_startDot = m_startDotCheck->GetState();
        m_endDot = m_endDotCheck->GetState();
        m_lineType = m_typeCombo->currentIndex();
        return CheckTableField(m_turretEdit, m_multiple, m_multiple ? -1 : 0, 120, m_turret);
    }
    m_loading = true;
    m_valueEdit->setText(m_value);
    m_lengthEdit->setText(m_lengthText);
    m_angleEdit->setText(m_angleText);
    m_displayCheck->SetState(m_display);
    m_startArrowCheck->SetState(m_startArrow);
    m_endArrowCheck->SetState(m_endArrow);
    m_startDotCheck->SetState(m_startDot);
    m_endDotCheck->SetState(m_endDot);
    m_typeCombo->setCurrentIndex(m_lineType);
    m_turretEdit->setText(m_turret < 0 ? QStringLiteral("***") : QString::number(m_turret));
    m_loading = false;
    return true;
}

void CDlgLine::OnAutoText(const QString& text, int bits)
{
    m_valueEdit->setText(text);
    SetNameBits(bits);
    if (!m_multiple)
        m_displayCheck->SetState(1);
    m_displayCheck->setEnabled(true);
}

void CDlgLine::ApplyName()
{
    const std::string name = platform::QStringToCp932(m_value).value_or(std::string());
    if (m_value.isEmpty()) {
        m_line.SetName("");
        m_arc.SetName("");
        if (m_multiple)
            SetNameBits(0);
        return;
    }
    const int bits = m_value == m_lengthText  ? kNamed | kAutoLength
                     : m_value == m_angleText ? kNamed | kAutoAngle
                                              : kNamed;
    if (!(m_multiple && m_value == QStringLiteral("***"))) {
        // A new name keeps the size of the one it replaces, else takes the board's dimension text size.
        int size = Edited().GetType() & kNamed
                       ? (IsArc() ? m_arc.GetNameText() : m_line.GetNameText())->GetSize()
                       : 0;
        if (size <= 0) {
            FrameServices* frame = GetFrameServices();
            size = frame ? frame->GetDimensionStyle().textSize : 0;
        }
        if (size <= 0)
            size = 200;
        m_line.SetName(name, size, m_display != 0);
        m_arc.SetName(name, size, m_display != 0);
    }
    SetNameBits(bits);
}

void CDlgLine::accept()
{
    std::string name;
    if (!UpdateData(true) || !FieldText(m_valueEdit, name))
        return;
    m_line.SetTurretNo(m_turret, false);
    m_arc.SetTurretNo(m_turret, false);

    FrameServices* frame = GetFrameServices();
    const tagDIMS dims = frame ? frame->GetDimensionStyle() : tagDIMS();
    const int start = m_startArrow == 1 ? dims.arrowLength : m_startDot == 1 ? -dims.dotSize : 0;
    const int end = m_endArrow == 1 ? dims.arrowLength : m_endDot == 1 ? -dims.dotSize : 0;
    m_line.SetArrow(start, end);
    m_arc.SetArrow(start, end);

    const int typeData = m_typeCombo->itemData(m_lineType).toInt();
    int lineType = typeData;
    if (m_multiple && typeData < 0)
        lineType = kLineTypeBits;
    else if (m_turret > 0)
        lineType = 0;
    else if (typeData < 0)
        lineType = 0;
    m_line.ModifyType(lineType, kLineTypeBits);
    m_arc.ModifyType(lineType, kLineTypeBits);

    ApplyName();

    if (m_multiple) {
        const int packed = (m_startArrow & 3) | (m_endArrow & 3) << 2 | (m_startDot & 3) << 4 |
                           (m_endDot & 3) << 6 | (m_display & 3) << 8;
        m_line.SetStartPoint(CDPoint(packed, 0.0));
        m_arc.SetStartAngle(packed);
    }
    QDialog::accept();
}

bool CDlgLine::Run(LineDialogData& data, QWidget* parent)
{
    CDlgLine dialog(parent);
    dialog.m_multiple = data.multiple;
    dialog.m_editKind = data.editKind == ID_INPUT_ARC ? ID_INPUT_ARC : ID_INPUT_LINE;
    auto* arc = dynamic_cast<CArc*>(data.item);
    auto* line = dynamic_cast<CLine*>(data.item);
    if (dialog.IsArc() ? !arc : !line)
        return false;
    if (arc)
        dialog.m_arc = *arc;
    if (line)
        dialog.m_line = *line;
    if (dialog.DoModal() != QDialog::Accepted)
        return false;
    if (arc) {
        *arc = dialog.m_arc;
        // Assignment brings the angles into one turn; the packed word must arrive as it is.
        if (dialog.m_multiple)
            arc->SetStartAngle(dialog.m_arc.GetStartAngle());
    }
    if (line)
        *line = dialog.m_line;
    return true;
}
