#include "libui/DlgVia.h"

#include "libui/CheckListBox.h"
#include "libui/SpinButton.h"
#include "libui/TriStateCheck.h"
#include "platform/J.h"
#include "platform/Messages.h"

#include <QLabel>
#include <QLineEdit>
#include <algorithm>

CDlgVia::CDlgVia(QWidget* parent) : CItemDialog(IDD, QString::fromUtf8("ビア編集"), parent)
{
    CDialogBuilder& b = Builder();
    b.Label(QString::fromUtf8("ビア番号(&N)"), 0, 0);
    m_viaEdit = AddIntField(Grid(), IdViaNo, IdViaSpin, m_viaSpin, 0, 1);
    b.Label(QString::fromUtf8("サーマル(&T)"), 1, 0, 1, 2);
    m_list = b.Add(IdThermal, new CCheckListBox(this), 2, 0, 1, 2);
    m_list->setFixedHeight(120);
    m_couponCheck =
        b.Add(IdCoupon, new CTriStateCheck(QString::fromUtf8("テストクーポン(&S)"), this), 3, 0, 1, 2);
    m_dummyCheck = b.Add(IdDummy, new CTriStateCheck(QString::fromUtf8("すて穴(&C)"), this), 4, 0, 1, 2);
    b.OkCancel(0, 2);
    Grid()->setRowStretch(5, 1);

    connect(m_couponCheck, &QAbstractButton::clicked, this,
            [this] { OnTypeClicked(m_couponCheck, m_dummyCheck); });
    connect(m_dummyCheck, &QAbstractButton::clicked, this,
            [this] { OnTypeClicked(m_dummyCheck, m_couponCheck); });
}

void CDlgVia::OnInitDialog()
{
    m_wireCount = std::clamp(m_wireCount, 0, kMaxPositions);
    if (m_multiple) {
        m_list->SetTriState(true);
        m_couponCheck->setTristate(true);
        m_dummyCheck->setTristate(true);
        m_viaNo = 0;
        m_dummy = 2;
        m_coupon = 2;
        m_viaSpin->SetRange(0, 64);
    } else {
        m_dummy = (m_typeFlags & 0x4) ? 1 : 0;
        m_coupon = (m_typeFlags & 0x2) ? 1 : 0;
        m_viaSpin->SetRange(1, 64);
    }
    for (int i = 1; i <= m_wireCount; ++i) {
        if (!(m_layerFlags[i - 1] & 0x8))
            continue;
        const int bit = static_cast<int>(1u << (i - 1));
        const QString text = QString::asprintf("%2d層 (LAYER=%3d)", i, m_layers[i - 1] + 1);
        m_list->AddRow(text, bit, m_multiple ? 2 : ((m_thermal & bit) ? 1 : 0));
    }
    m_viaSpin->SetPosition(m_viaNo);
    if (m_list->count() == 0) {
        m_list->addItem(QString::fromUtf8("ネガ層がありません"));
        m_list->setEnabled(false);
    }
    m_list->setMinimumWidth(std::min(m_list->WidestRowWidth(), 400));
    if (m_multiple)
        m_keepMask = ~0;
    UpdateData(false);
}

bool CDlgVia::DoDataExchange(bool save)
{
    if (!save) {
        m_viaEdit->setText(QString::number(m_viaNo));
        m_dummyCheck->SetState(m_dummy);
        m_couponCheck->SetState(m_coupon);
        return true;
    }
    if (!CheckIntRange(m_viaEdit, m_multiple ? 0 : 1, 64, m_viaNo))
        return false;
    m_dummy = m_dummyCheck->GetState();
    m_coupon = m_couponCheck->GetState();
    return true;
}

void CDlgVia::OnTypeClicked(CTriStateCheck* clicked, CTriStateCheck* other)
{
    if (clicked->GetState() == 1)
        other->SetState(0);
}

void CDlgVia::accept()
{
    if (!UpdateData(true))
        return;
    m_typeResult = m_multiple ? m_dummy + 4 * m_coupon : (m_dummy == 1 ? 0x4 : 0) + (m_coupon == 1 ? 0x2 : 0);
    int checkedBits = 0;
    int keep = m_keepMask;
    int checkedCount = 0;
    if (m_list->isEnabled()) {
        for (int row = 0; row < m_list->count(); ++row) {
            const int bit = m_list->GetRowData(row);
            const int state = m_list->GetCheck(row);
            if (state == 1) {
                checkedBits |= bit;
                ++checkedCount;
            }
            if (m_multiple && state != 2)
                keep &= ~bit;
        }
    }
    if (checkedCount >= 2 && AfxMessageBox(_J("内層サーマルランドが複数有ります。よろしくですか？"),
                                           MB_YESNO | MB_ICONQUESTION) != IDYES)
        return;
    m_keepMask = keep;
    // Positions on layers that are not negative keep the bits they came with.
    int negative = 0;
    for (int i = 0; i < m_wireCount; ++i) {
        if (m_layerFlags[i] & 0x8)
            negative |= static_cast<int>(1u << i);
    }
    m_thermal = checkedBits | (m_thermal & ~negative);
    QDialog::accept();
}

bool CDlgVia::Run(ViaDialogData& data, QWidget* parent)
{
    CDlgVia dialog(parent);
    dialog.m_multiple = data.multiple ? 1 : 0;
    dialog.m_viaNo = data.viaNo;
    dialog.m_typeFlags = data.holeKind;
    dialog.m_wireCount = std::clamp(data.wireCount, 0, kMaxPositions);
    for (int i = 0; i < dialog.m_wireCount; ++i) {
        const auto index = static_cast<std::size_t>(i);
        dialog.m_layers[index] = index < data.layers.size() ? data.layers[index] : -1;
        dialog.m_layerFlags[index] = index < data.layerTypes.size() ? data.layerTypes[index] : 0;
    }
    dialog.m_thermal = data.wiringMask;
    if (dialog.DoModal() != QDialog::Accepted)
        return false;
    data.viaNo = dialog.m_viaNo;
    data.holeKind = dialog.m_typeResult;
    data.wiringMask = dialog.m_thermal;
    data.extra = dialog.m_keepMask;
    return true;
}
