#include "libui/DlgPart.h"

#include "libui/DlgPartTer.h"
#include "libui/FormulaEdit.h"
#include "libui/TriStateCheck.h"
#include "model/geometry/Geometry.h"
#include "model/services/StringTable.h"
#include "platform/Messages.h"
#include "platform/qt/QtText.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <numbers>

namespace {

constexpr int kSideLock = 0x20;
constexpr int kLockBits = 0xE0;

// Text type bit of a hidden text.
bool Shown(const CText* text)
{
    return text->IsDisp() != 0;
}

} // namespace

CDlgPart::CDlgPart(QWidget* parent) : CItemDialog(IDD, QString::fromUtf8("部品編集"), parent)
{
    CDialogBuilder& b = Builder();
    const auto check = [&](int id, const char* caption) {
        return b.Add(id, new CTriStateCheck(QString::fromUtf8(caption), this), -1, 0);
    };
    const auto font = [&](int id) {
        QPushButton* button = b.Button(id, QStringLiteral("F"), -1, 0);
        button->setFixedWidth(28);
        return button;
    };
    QGridLayout* grid = Grid();
    m_nameDispCheck = Put(grid, check(IdPartNameDisp, "部品名(&N)"), 0, 0);
    m_nameEdit = Put(grid, b.Add(IdPartName, new QLineEdit(this), -1, 0), 0, 1, 1, 2);
    m_nameEdit->setReadOnly(true);
    m_nameFont = Put(grid, font(IdPartNameFont), 0, 3);
    m_refDispCheck = Put(grid, check(IdRefDisp, "参照番号(&R)"), 1, 0);
    m_refEdit = Put(grid, b.Add(IdRef, new QLineEdit(this), -1, 0), 1, 1, 1, 2);
    m_refFont = Put(grid, font(IdRefFont), 1, 3);
    m_valueDispCheck = Put(grid, check(IdValueDisp, "初期値(&V)"), 2, 0);
    m_valueCombo = Put(grid, b.Add(IdValue, new QComboBox(this), -1, 0), 2, 1, 1, 2);
    m_valueCombo->setEditable(true);
    m_valueFont = Put(grid, font(IdValueFont), 2, 3);
    m_nameEdit->setMinimumWidth(180);

    QGridLayout* position = AddGroup(QString::fromUtf8("位置"), 3, 0, 1, 2);
    Put(position, b.Label(QStringLiteral("&X"), -1, 0), 0, 0);
    m_xEdit = Put(position, b.Add(IdX, new CFormulaEdit(this), -1, 0), 0, 1);
    Put(position, b.Label(QStringLiteral("&Y"), -1, 0), 1, 0);
    m_yEdit = Put(position, b.Add(IdY, new CFormulaEdit(this), -1, 0), 1, 1);
    QGridLayout* shape = AddGroup(QString(), 3, 2, 1, 2);
    Put(shape, b.Label(QString::fromUtf8("角度(&G)"), -1, 0), 0, 0);
    m_angleEdit = Put(shape, b.Add(IdAngle, new CFormulaEdit(this), -1, 0), 0, 1);
    Put(shape, b.Label(QString::fromUtf8("倍率(&L)"), -1, 0), 1, 0);
    m_scaleEdit = Put(shape, b.Add(IdScale, new CFormulaEdit(this), -1, 0), 1, 1);
    for (CFormulaEdit* edit : {m_xEdit, m_yEdit, m_angleEdit, m_scaleEdit}) {
        NoInputMethod(edit);
        edit->setFixedWidth(96);
    }

    QGridLayout* locks = AddGroup(QString::fromUtf8("ロック"), 4, 0, 1, 4);
    m_sideLockCheck = Put(locks, check(IdSideLock, "配置面(&S)"), 0, 0);
    m_positionLockCheck = Put(locks, check(IdPositionLock, "位置(&O)"), 0, 1);
    m_angleLockCheck = Put(locks, check(IdAngleLock, "角度(&A)"), 0, 2);
    m_scaleLockCheck = Put(locks, check(IdScaleLock, "倍率(&C)"), 0, 3);

    m_solderCheck = Put(grid, check(IdSolderSide, "半田面配置(&D)"), 5, 0, 1, 2);
    m_placedCheck = Put(grid, check(IdPlaced, "配置状態(&P)"), 5, 2);
    m_terminals = Put(grid, b.Button(IdTerminals, QString::fromUtf8("端子(&T)"), -1, 0), 5, 3);

    auto* buttons = new QVBoxLayout;
    b.OkCancel(-1, 0);
    m_ok = FindControl<QPushButton>(this, CDialogBuilder::IdOk);
    buttons->addWidget(m_ok);
    buttons->addWidget(FindControl<QPushButton>(this, CDialogBuilder::IdCancel));
    buttons->addStretch();
    grid->addLayout(buttons, 0, 4, 6, 1);

    for (CTriStateCheck* lock : {m_sideLockCheck, m_positionLockCheck, m_angleLockCheck, m_scaleLockCheck})
        ExchangeOnClick(lock);
    connect(m_nameFont, &QPushButton::clicked, this, [this] { OnFontButton(0); });
    connect(m_refFont, &QPushButton::clicked, this, [this] { OnFontButton(1); });
    connect(m_valueFont, &QPushButton::clicked, this, [this] { OnFontButton(2); });
    connect(m_terminals, &QPushButton::clicked, this, &CDlgPart::OnTerminals);
}

void CDlgPart::SetPoint(const CDPoint& origin, double angle)
{
    m_point = origin;
    m_angle = angle;
}

void CDlgPart::GetPoint(CDPoint& origin, double& angle) const
{
    origin = m_point;
    angle = m_angle;
}

void CDlgPart::SetScale(double scale)
{
    m_scaleEdit->SetValue(scale);
}

void CDlgPart::OnInitDialog()
{
    m_nPackage = static_cast<int>(m_part.GetPackage());
    m_nPackageMax = static_cast<int>(m_part.GetPackageMax());
    const std::string& ref = m_part.GetRefName();
    const std::string& value = m_part.GetValName();
    m_refEdit->setText(m_bMulti ? QStringLiteral("***") : platform::Cp932ToQString(ref));
    m_nameEdit->setText(platform::Cp932ToQString(m_part.GetPartName()));
    m_valueCombo->setEditText(platform::Cp932ToQString(value));
    m_nNameDisp = m_bMulti ? 2 : Shown(m_part.GetPartNameText());
    m_nRefDisp = m_bMulti ? 2 : Shown(m_part.GetRefNameText());

    const bool hasRef = !ref.empty();
    m_refDispCheck->setEnabled(hasRef);
    m_refEdit->setEnabled(hasRef);
    m_refFont->setEnabled(hasRef);
    const bool hasValue = !value.empty();
    if (hasValue)
        m_nValueDisp = m_bMulti ? 2 : Shown(m_part.GetValNameText());
    m_valueDispCheck->setEnabled(hasValue);
    m_valueCombo->setEnabled(hasValue);
    m_valueFont->setEnabled(hasValue);

    const int type = m_part.GetType();
    if (m_bMulti) {
        m_nameEdit->setEnabled(m_bName);
        for (CTriStateCheck* box :
             {m_nameDispCheck, m_refDispCheck, m_valueDispCheck, m_sideLockCheck, m_positionLockCheck,
              m_angleLockCheck, m_scaleLockCheck, m_solderCheck, m_placedCheck})
            box->setTristate(true);
        m_nSideLock = m_nPositionLock = m_nAngleLock = m_nScaleLock = m_nSolder = m_nPlaced = 2;
        for (CFormulaEdit* edit : {m_xEdit, m_yEdit, m_angleEdit}) {
            edit->setText(QStringLiteral("***"));
            edit->setEnabled(false);
        }
        m_terminals->setEnabled(false);
        for (CText* text : {m_part.GetPartNameText(), m_part.GetRefNameText(), m_part.GetValNameText()})
            text->SetPoint(CDPoint(text->GetPoint().x, kUnchangedY));
    } else {
        m_nSideLock = (type & kSideLock) != 0;
        m_nAngleLock = (type & PART_ROTATE_LOCK) != 0;
        m_nPositionLock = (type & PART_MOVE_LOCK) != 0;
        m_nPlaced = (type & PART_PLACED) != 0;
        m_nScaleLock = (type & PART_SCALABLE) == 0;
        m_nSolder = (type & PART_OTHER_SIDE) != 0;
        m_xEdit->SetValue(m_point.x);
        m_yEdit->SetValue(m_point.y);
        m_angleEdit->SetValue(m_angle * 180.0 / std::numbers::pi);
    }

    const bool mayScale = MayScale();
    m_scaleEdit->setReadOnly(!mayScale);
    m_scaleLockCheck->setEnabled(mayScale);
    // Several parts never take the scale from here.
    if (m_bMulti)
        m_scaleEdit->setEnabled(false);
    SetScale(mayScale && m_part.GetPackageScale() >= 0x10000 ? m_part.GetScale() / 100.0 : 1.0);

    UpdateData(false);
    if (m_nameDispCheck->GetState() == 1)
        m_nameEdit->setFocus();
    else if (m_refDispCheck->GetState() == 1)
        m_refEdit->setFocus();
    else
        m_ok->setFocus();
}

bool CDlgPart::DoDataExchange(bool save)
{
    const std::pair<CTriStateCheck*, int*> boxes[] = {{m_nameDispCheck, &m_nNameDisp},
                                                      {m_refDispCheck, &m_nRefDisp},
                                                      {m_valueDispCheck, &m_nValueDisp},
                                                      {m_sideLockCheck, &m_nSideLock},
                                                      {m_positionLockCheck, &m_nPositionLock},
                                                      {m_angleLockCheck, &m_nAngleLock},
                                                      {m_scaleLockCheck, &m_nScaleLock},
                                                      {m_solderCheck, &m_nSolder},
                                                      {m_placedCheck, &m_nPlaced}};
    for (const auto& [box, value] : boxes) {
        if (save)
            *value = box->GetState();
        else
            box->SetState(*value);
    }
    UpdateEnabling();
    return true;
}

void CDlgPart::UpdateEnabling()
{
    if (m_bMulti)
        return;
    m_scaleEdit->setEnabled(m_nScaleLock == 0);
    m_angleEdit->setEnabled(m_nAngleLock == 0);
    m_xEdit->setEnabled(m_nPositionLock == 0);
    m_yEdit->setEnabled(m_nPositionLock == 0);
    m_solderCheck->setEnabled(m_nSideLock == 0);
}

bool CDlgPart::FieldBytes(QLineEdit* field, const std::string& original, std::string& out)
{
    // Some CP932 codes share one Unicode character: unchanged text keeps its own bytes.
    if (field->text() == platform::Cp932ToQString(original)) {
        out = original;
        return true;
    }
    return FieldText(field, out);
}

void CDlgPart::OnFontButton(int which)
{
    CText* texts[] = {m_part.GetPartNameText(), m_part.GetRefNameText(), m_part.GetValNameText()};
    QLineEdit* fields[] = {m_nameEdit, m_refEdit, m_valueCombo->lineEdit()};
    CText copy(*texts[which]);
    UpdateData(true);
    std::string name;
    if (!FieldBytes(fields[which], copy.GetName(), name))
        return;
    copy.SetName(name);
    if (!copy.InputText(m_pDoc, true, m_bMulti ? 1 : 0))
        return;
    if (which == 0)
        m_part.SetPartName(copy);
    else if (which == 1)
        m_part.SetRefName(copy);
    else
        m_part.SetValue(copy);
    fields[which]->setText(platform::Cp932ToQString(copy.GetName()));
}

void CDlgPart::OnTerminals()
{
    CPart copy(m_part);
    if (CDlgPartTer::Run(copy, m_pDoc, this))
        m_part = copy;
}

void CDlgPart::accept()
{
    if (!UpdateData(true))
        return;
    std::string name, ref, value;
    if (!FieldBytes(m_nameEdit, m_part.GetPartName(), name) ||
        !FieldBytes(m_refEdit, m_part.GetRefName(), ref) ||
        !FieldBytes(m_valueCombo->lineEdit(), m_part.GetValName(), value))
        return;
    if ((ref.find('?') != std::string::npos && m_nPlaced == 1) || (m_refEdit->isEnabled() && ref.empty())) {
        AfxMessageBox(LoadQuarnString(IDS_REFERENCE_MISSING), MB_OK | MB_ICONEXCLAMATION);
        m_refEdit->setFocus();
        return;
    }

    if (m_bMulti) {
        const int packed = (m_nValueDisp & 3) | (m_nRefDisp & 3) << 2 | (m_nNameDisp & 3) << 4 |
                           (m_nPlaced & 3) << 6 | (m_nSolder & 3) << 8 | (m_nAngleLock & 3) << 10 |
                           (m_nPositionLock & 3) << 12 | (m_nSideLock & 3) << 14 | (m_nScaleLock & 3) << 16;
        CText* nameText = m_part.GetPartNameText();
        nameText->SetPoint(CDPoint(packed, nameText->GetPoint().y));
        nameText->SetName(name);
        m_part.GetRefNameText()->SetName(ref);
        m_part.GetValNameText()->SetName(value);
        QDialog::accept();
        return;
    }

    // Every field is read before anything changes, so a refused one leaves the part as it was.
    CDPoint point = m_point;
    double angle = m_angle;
    double scale = 1.0;
    const std::pair<CFormulaEdit*, double*> fields[] = {{m_xEdit, &point.x}, {m_yEdit, &point.y}};
    for (const auto& [edit, target] : fields) {
        if (edit->IsChanged() && !edit->GetValue(target, 1)) {
            edit->setFocus();
            return;
        }
    }
    if (m_angleEdit->IsChanged()) {
        double degrees = 0.0;
        if (!m_angleEdit->GetValue(&degrees, 1)) {
            m_angleEdit->setFocus();
            return;
        }
        angle = degrees * std::numbers::pi / 180.0;
        NormalizeAngle(angle);
    }
    const bool scaleEditable = !m_scaleEdit->isReadOnly();
    if (scaleEditable && !m_scaleEdit->GetValue(&scale, 1)) {
        m_scaleEdit->setFocus();
        return;
    }

    m_part.GetPartNameText()->Disp(m_nNameDisp);
    if (m_refEdit->isEnabled()) {
        m_part.GetRefNameText()->SetName(ref);
        m_part.GetRefNameText()->Disp(m_nRefDisp);
    }
    if (m_valueCombo->isEnabled()) {
        m_part.GetValNameText()->SetName(value);
        m_part.GetValNameText()->Disp(m_nValueDisp);
    }
    m_part.ModifyType((m_nSideLock == 1 ? kSideLock : 0) | (m_nAngleLock == 1 ? PART_ROTATE_LOCK : 0) |
                          (m_nPositionLock == 1 ? PART_MOVE_LOCK : 0),
                      kLockBits);
    m_part.ModifyType(m_nPlaced == 1 ? PART_PLACED : 0, PART_PLACED);
    m_part.ModifyType(m_nSolder == 1 ? PART_OTHER_SIDE : 0, PART_OTHER_SIDE);
    m_point = point;
    m_angle = angle;
    if (scaleEditable) {
        if (m_nScaleLock == 1)
            m_part.ModifyType(0, PART_SCALABLE);
        else if (MayScale())
            m_part.ModifyType(PART_SCALABLE, PART_SCALABLE);
        // Hundredths, rounded by adding one half and truncating.
        m_part.SetScale(static_cast<int>(scale * 100.0 + 0.5));
        m_part.ModifyType(PART_SCALED, PART_SCALED);
    }
    QDialog::accept();
}

bool CDlgPart::Run(PartDialogData& data, QWidget* parent)
{
    if (!data.part)
        return false;
    CDlgPart dialog(parent);
    dialog.m_part = *data.part;
    if (data.multiple)
        dialog.SetMulti();
    if (data.partNameAllowed)
        dialog.SetName();
    dialog.SetPoint(CDPoint(data.x, data.y), data.angleDeg * std::numbers::pi / 180.0);
    dialog.SetDocument(data.doc);
    if (dialog.DoModal() != QDialog::Accepted)
        return false;
    *data.part = dialog.m_part;
    CDPoint origin;
    double angle = 0.0;
    dialog.GetPoint(origin, angle);
    if (!data.multiple) {
        data.x = origin.x;
        data.y = origin.y;
        data.angleDeg = angle * 180.0 / std::numbers::pi;
    }
    return true;
}
