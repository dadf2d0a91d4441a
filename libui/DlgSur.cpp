#include "libui/DlgSur.h"

#include "libui/NumEdit.h"
#include "libui/NumSpinCtrl.h"
#include "libui/SpinButton.h"
#include "libui/TriStateCheck.h"
#include "platform/J.h"
#include "platform/Messages.h"

#include <QLabel>
#include <QLineEdit>

namespace {

constexpr double kValueMin = 0.0;
constexpr double kValueMax = 100.0;

} // namespace

CDlgSur::CDlgSur(QWidget* parent) : CItemDialog(IDD, QString::fromUtf8("面編集"), parent)
{
    CDialogBuilder& b = Builder();
    b.Label(QString::fromUtf8("タレット(&U)"), 0, 0);
    m_turretEdit = AddIntField(Grid(), IdTurret, IdTurretSpin, m_turretSpin, 0, 1);
    m_noFillCheck =
        b.Add(IdNoFill, new CTriStateCheck(QString::fromUtf8("塗りつぶしなし(&N)"), this), 1, 0, 1, 2);
    QGridLayout* group = AddGroup(QString::fromUtf8("属性"), 2, 0, 1, 2);
    m_cocCheck =
        Put(group, b.Add(IdCoc, new CTriStateCheck(QString::fromUtf8("高さ属性(&COC)"), this), -1, 0), 0, 0,
            1, 3);
    Put(group, b.Add(IdTopLabel, new QLabel(QString::fromUtf8("上(&T)"), this), -1, 0), 1, 0);
    m_topEdit = AddNumField(group, IdTop, IdTopSpin, m_topSpin, 1, 1);
    qobject_cast<QLabel*>(FindControl(this, IdTopLabel))->setBuddy(m_topEdit);
    Put(group, b.Label(QStringLiteral("mm"), -1, 0), 1, 2);
    Put(group, b.Add(IdBottomLabel, new QLabel(QString::fromUtf8("下(&B)"), this), -1, 0), 2, 0);
    m_bottomEdit = AddNumField(group, IdBottom, IdBottomSpin, m_bottomSpin, 2, 1);
    qobject_cast<QLabel*>(FindControl(this, IdBottomLabel))->setBuddy(m_bottomEdit);
    Put(group, b.Label(QStringLiteral("mm"), -1, 0), 2, 2);
    b.OkCancel(0, 2);

    ExchangeOnClick(m_cocCheck);
    connect(m_turretEdit, &QLineEdit::textChanged, this, [this](const QString& text) {
        if (!m_loading)
            ReadTableField(text, 120, m_turret);
    });
}

void CDlgSur::OnInitDialog()
{
    if (m_multiple) {
        m_turret = -1;
        m_turretSpin->SetRange(-1, 120);
        m_noFillCheck->setTristate(true);
        m_cocCheck->setTristate(true);
        m_coc = 2;
        m_noFill = 2;
        SetDigitsOnly(m_turretEdit, false);
    } else {
        m_turretSpin->SetRange(0, 120);
        SetDigitsOnly(m_turretEdit, true);
    }
    m_loading = true;
    m_turretSpin->SetPosition(m_turret);
    m_loading = false;
    for (CNumSpinCtrl* spin : {m_topSpin, m_bottomSpin}) {
        spin->SetStep(0.5);
        spin->SetRange(kValueMin, kValueMax);
    }
    if (m_multiple) {
        // The values stay "unchanged" until the user types one, whatever was handed in.
        m_topEdit->setText(QStringLiteral("***"));
        m_bottomEdit->setText(QStringLiteral("***"));
        m_topEdit->SetUnchangedValue(m_top);
        m_bottomEdit->SetUnchangedValue(m_bottom);
    }
    UpdateData(false);
}

bool CDlgSur::ReadValue(CNumEdit* edit, double& value)
{
    if (!edit->IsChanged())
        return true; // "***": the value handed in stands
    return CheckNumberRange(edit, kValueMin, kValueMax, value);
}

bool CDlgSur::DoDataExchange(bool save)
{
    bool ok = true;
    if (save) {
        m_coc = m_cocCheck->GetState();
        m_noFill = m_noFillCheck->GetState();
        if (!m_multiple)
            ok = CheckIntRange(m_turretEdit, 0, 120, m_turret);
        else
            ok = CheckTableField(m_turretEdit, true, -1, 120, m_turret);
        // The values count only with the attribute on; then they must be numbers in range.
        if (ok && m_coc == 1)
            ok = ReadValue(m_topEdit, m_top) && ReadValue(m_bottomEdit, m_bottom);
    } else {
        m_loading = true;
        m_cocCheck->SetState(m_coc);
        m_noFillCheck->SetState(m_noFill);
        if (m_turret < 0)
            m_turretEdit->setText(QStringLiteral("***"));
        else
            m_turretEdit->setText(QString::number(m_turret));
        if (!m_multiple || m_topEdit->IsChanged())
            m_topSpin->SetPos(m_top);
        if (!m_multiple || m_bottomEdit->IsChanged())
            m_bottomSpin->SetPos(m_bottom);
        m_loading = false;
    }
    const bool on = m_coc == 1;
    for (int id = IdTop; id <= IdBottomSpin; ++id)
        FindControl(this, id)->setEnabled(on);
    return ok;
}

void CDlgSur::accept()
{
    if (!UpdateData(true))
        return;
    if (m_coc != 1 || m_top > m_bottom) {
        QDialog::accept();
        return;
    }
    AfxMessageBox(_J("ＣＯＣ設定エラー 上 > 下"), MB_OK);
}

bool CDlgSur::Run(SurDialogData& data, QWidget* parent)
{
    CDlgSur dialog(parent);
    if (data.multiple)
        dialog.SetMulti();
    dialog.m_turret = data.turret;
    dialog.m_coc = data.coc;
    dialog.m_noFill = data.noFill;
    dialog.m_top = data.cocTop;
    dialog.m_bottom = data.cocBottom;
    if (dialog.DoModal() != QDialog::Accepted)
        return false;
    data.turret = dialog.m_turret;
    data.coc = dialog.m_coc;
    data.noFill = dialog.m_noFill;
    data.cocTop = dialog.m_top;
    data.cocBottom = dialog.m_bottom;
    return true;
}
