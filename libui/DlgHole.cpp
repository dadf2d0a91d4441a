#include "libui/DlgHole.h"

#include "libui/FormulaEdit.h"
#include "libui/NumEdit.h"
#include "libui/NumSpinCtrl.h"
#include "libui/RadioGroup.h"
#include "libui/TriStateCheck.h"
#include "platform/J.h"
#include "platform/Messages.h"

#include <QLabel>
#include <QRadioButton>
#include <cmath>

namespace {

constexpr double kSizeMax = 300.0;

// The value of a field that no longer shows "***"; false for a text that is not a number.
bool ReadSize(CNumEdit* edit, double& value)
{
    if (!edit->IsChanged())
        return true;
    bool valid = false;
    const double typed = edit->GetValue(&valid);
    if (valid)
        value = typed;
    return valid;
}

} // namespace

CDlgHole::CDlgHole(QWidget* parent) : CItemDialog(IDD, QString::fromUtf8("ホール設定"), parent)
{
    CDialogBuilder& b = Builder();
    m_shapeGroup = new CRadioGroup(this);
    m_shapeGroup->Add(b.Radio(nullptr, IdRound, QString::fromUtf8("円穴(&C)"), 0, 0), 0);
    m_shapeGroup->Add(b.Radio(nullptr, IdLong, QString::fromUtf8("長穴(&L)"), 0, 1), 1);
    m_shapeGroup->Add(b.Radio(nullptr, IdSquare, QString::fromUtf8("角穴(&S)"), 0, 2), 2);

    QGridLayout* grid = Grid();
    b.Label(QString::fromUtf8("径/高さ(D)"), 1, 0);
    m_diameterEdit = AddNumField(grid, IdDiameter, IdDiameterSpin, m_diameterSpin, 1, 1);
    b.Label(QStringLiteral("mm"), 1, 2);
    b.Label(QString::fromUtf8("幅(&W)"), 2, 0);
    m_widthEdit = AddNumField(grid, IdWidth, IdWidthSpin, m_widthSpin, 2, 1);
    b.Label(QStringLiteral("mm"), 2, 2);
    b.Label(QString::fromUtf8("隅半径(&R)"), 3, 0);
    m_radiusEdit = AddNumField(grid, IdRadius, IdRadiusSpin, m_radiusSpin, 3, 1);
    b.Label(QStringLiteral("mm"), 3, 2);
    b.Label(QString::fromUtf8("角度(&A)"), 4, 0);
    m_angleEdit = AddNumField(grid, IdAngle, IdAngleSpin, m_angleSpin, 4, 1);
    b.Label(QString::fromUtf8("°"), 4, 2);

    QGridLayout* position = AddGroup(QString::fromUtf8("位置"), 5, 0, 1, 3);
    Put(position, b.Label(QStringLiteral("&X"), -1, 0), 0, 0);
    m_xEdit = Put(position, b.Add(IdX, new CFormulaEdit(this), -1, 0), 0, 1);
    Put(position, b.Label(QStringLiteral("&Y"), -1, 0), 1, 0);
    m_yEdit = Put(position, b.Add(IdY, new CFormulaEdit(this), -1, 0), 1, 1);

    m_couponCheck =
        b.Add(IdCoupon, new CTriStateCheck(QString::fromUtf8("テストクーポン(&T)"), this), 6, 0, 1, 2);
    m_dummyCheck = b.Add(IdDummy, new CTriStateCheck(QString::fromUtf8("すて穴(&K)"), this), 7, 0, 1, 2);
    b.OkCancel(0, 3);

    // The two marks exclude each other; both stay only while both are indeterminate.
    connect(m_dummyCheck, &QAbstractButton::clicked, this,
            [this] { m_couponCheck->SetState(m_dummyCheck->GetState() & 2); });
    connect(m_couponCheck, &QAbstractButton::clicked, this,
            [this] { m_dummyCheck->SetState(m_couponCheck->GetState() & 2); });
    connect(m_shapeGroup, &CRadioGroup::choiceClicked, this, &CDlgHole::OnShapeClicked);
    connect(m_diameterEdit, &QLineEdit::textChanged, this, &CDlgHole::OnDiameterChanged);
}

void CDlgHole::OnInitDialog()
{
    if (m_multiple) {
        m_diameter = 0.0;
        m_xEdit->setEnabled(false);
        m_yEdit->setEnabled(false);
        m_dummyCheck->setTristate(true);
        m_couponCheck->setTristate(true);
        m_dummy = 2;
        m_coupon = 2;
        m_entryShape = m_shape;
    } else {
        if (!m_edit)
            setWindowTitle(QString::fromUtf8("ホール入力"));
        m_dummy = (m_kind & 4) ? 1 : 0;
        m_coupon = (m_kind & 2) ? 1 : 0;
    }
    if (m_shape < 0 || m_shape > 2)
        m_shape = 0;
    m_xEdit->SetValue(m_point.x);
    m_yEdit->SetValue(m_point.y);
    m_loading = true;
    for (CNumSpinCtrl* spin : {m_diameterSpin, m_widthSpin, m_radiusSpin}) {
        spin->SetRange(0.0, kSizeMax);
        spin->SetStep(0.2);
    }
    m_angleSpin->SetRange(-180.0, 180.0);
    m_angleSpin->SetStep(0.5);
    if (std::isfinite(m_angle)) {
        while (m_angle > 180.0)
            m_angle -= 360.0;
        while (m_angle <= -180.0)
            m_angle += 360.0;
    } else {
        m_angle = 0.0;
    }
    m_diameterSpin->SetPos(m_diameter);
    m_widthSpin->SetPos(m_width);
    m_radiusSpin->SetPos(m_radius);
    m_angleSpin->SetPos(m_angle);
    m_loading = false;
    if (!m_edit || m_multiple) {
        m_xEdit->setText(QStringLiteral("***"));
        m_yEdit->setText(QStringLiteral("***"));
    }
    if (m_edit && m_multiple)
        m_angleEdit->setText(QStringLiteral("***"));
    UpdateData(false);
    m_diameterEdit->setFocus();
}

bool CDlgHole::DoDataExchange(bool save)
{
    if (save) {
        m_dummy = m_dummyCheck->GetState();
        m_coupon = m_couponCheck->GetState();
        m_shape = std::max(m_shapeGroup->Get(), 0);
    } else {
        m_dummyCheck->SetState(m_dummy);
        m_couponCheck->SetState(m_coupon);
        m_shapeGroup->Set(m_shape);
    }
    const bool shaped = m_shape != 0;
    m_loading = true;
    if (m_shape == 0) {
        m_radiusSpin->SetPos(0.0);
    } else if (m_shape == 1 && m_diameter > 0.0 && m_diameter < kSizeMax) {
        m_radiusSpin->SetPos(m_diameter / 2.0);
    }
    m_loading = false;
    for (QWidget* w : std::initializer_list<QWidget*>{m_widthEdit, m_widthSpin, m_angleEdit, m_angleSpin})
        w->setEnabled(shaped);
    m_radiusEdit->setEnabled(shaped);
    m_radiusEdit->setReadOnly(m_shape == 1);
    m_radiusSpin->setEnabled(m_shape == 2);
    m_dummyCheck->setEnabled(!shaped);
    m_couponCheck->setEnabled(!shaped);
    return true;
}

void CDlgHole::OnShapeClicked()
{
    UpdateData(true);
    if (m_shape != 0) {
        m_dummy = 0;
        m_coupon = 0;
    }
    UpdateData(false);
}

void CDlgHole::OnDiameterChanged()
{
    if (m_loading || m_shapeGroup->Get() != 1)
        return;
    double typed = 0.0;
    if (!m_diameterEdit->IsChanged())
        return;
    bool valid = false;
    typed = m_diameterEdit->GetValue(&valid);
    if (!valid || !(typed > 0.0 && typed < kSizeMax))
        return;
    UpdateData(true);
    m_diameter = typed;
    UpdateData(false);
}

bool CDlgHole::ReadPosition()
{
    return ReadPositionFields(m_xEdit, m_yEdit, m_edit, m_point);
}

void CDlgHole::accept()
{
    UpdateData(true);
    double diameter = m_diameter, width = m_width, radius = m_radius, angle = m_angle;
    bool valid = ReadSize(m_diameterEdit, diameter) && ReadSize(m_widthEdit, width);
    if (valid && m_shape == 1 && diameter > 0.0 && std::fabs(width - diameter) < 1e-6) {
        m_shape = 0;
        m_shapeGroup->Set(0);
    }
    if (valid && m_shape != 0) {
        valid = ReadSize(m_radiusEdit, radius);
        if (valid && !m_multiple)
            valid = width > 0.0 && radius >= 0.0 && diameter <= width && radius <= diameter / 2.0 &&
                    diameter >= 0.0;
        if (valid && (!m_multiple || m_angleEdit->IsChanged())) {
            valid = ReadSize(m_angleEdit, angle) && std::isfinite(angle);
            if (valid) {
                angle = std::fmod(angle, 360.0);
                if (angle < 0.0)
                    angle += 360.0;
            }
        } else if (valid) {
            angle = -1.0;
        }
    } else if (valid) {
        width = radius = angle = 0.0;
        valid = diameter >= 0.0;
    }
    if (!valid) {
        AfxMessageBox(_J("設定範囲エラー"), MB_OK);
        return;
    }
    if (m_multiple) {
        const bool accepted = m_shape == m_entryShape || (diameter != 0.0 && m_shape == 0) ||
                              (diameter != 0.0 && width != 0.0 && radius != 0.0 && angle >= 0.0);
        if (!accepted) {
            AfxMessageBox(_J("形状を変更する場合は穴の設定値が必要です。"), MB_OK);
            return;
        }
        m_kind = m_dummy + m_coupon * 4;
    } else {
        m_kind = (m_dummy == 1 ? 4 : 0) + (m_coupon == 1 ? 2 : 0);
        if (!ReadPosition())
            return;
    }
    m_diameter = diameter;
    m_width = width;
    m_radius = radius;
    m_angle = angle;
    QDialog::accept();
}

bool CDlgHole::Run(HoleDialogData& data, QWidget* parent)
{
    CDlgHole dialog(parent);
    dialog.m_diameter = data.diameter;
    dialog.m_width = data.width;
    dialog.m_angle = data.angleDeg;
    dialog.m_radius = data.radius;
    dialog.m_edit = data.edit;
    dialog.m_point = CDPoint(data.x, data.y);
    dialog.m_multiple = data.multiple;
    dialog.m_kind = data.kind;
    dialog.m_shape = data.shape;
    if (dialog.DoModal() != QDialog::Accepted)
        return false;
    data.diameter = dialog.m_diameter;
    data.width = dialog.m_width;
    data.angleDeg = dialog.m_angle;
    data.radius = dialog.m_radius;
    data.x = dialog.m_point.x;
    data.y = dialog.m_point.y;
    data.kind = dialog.m_kind;
    data.shape = dialog.m_shape;
    return true;
}
