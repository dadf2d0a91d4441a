#include "dialogs/DlgLayerSwap.h"

#include "controls/WidestItemWidth.h"
#include "platform/Numbers.h"
#include "platform/qt/QtText.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>

CDlgLayerSwap::CDlgLayerSwap(QWidget* parent) : CItemDialog(IDD, QString::fromUtf8("レイヤ交換"), parent)
{
    CDialogBuilder& b = Builder();
    b.Label(QString::fromUtf8("レイヤ(&A)"), 0, 0);
    m_layerA = b.Add(IdLayerA, new QComboBox(this), 0, 1);
    b.Label(QString::fromUtf8("レイヤ(&B)"), 1, 0);
    m_layerB = b.Add(IdLayerB, new QComboBox(this), 1, 1);
    for (QComboBox* combo : {m_layerA, m_layerB}) {
        combo->setMinimumWidth(200);
        connect(combo, &QComboBox::currentIndexChanged, this, [this] {
            if (IsInitialised())
                UpdateData(true);
        });
    }
    b.OkCancel(0, 2);
    FindControl<QPushButton>(this, CDialogBuilder::IdOk)->setText(QString::fromUtf8("交換(&S)"));
}

void CDlgLayerSwap::OnInitDialog()
{
    for (QComboBox* combo : {m_layerA, m_layerB}) {
        const QSignalBlocker quiet(combo);
        combo->clear();
        for (int i = 0; i < kLayers; ++i) {
            const std::string name =
                i < static_cast<int>(m_layers.size()) ? m_layers[static_cast<std::size_t>(i)].name : "";
            combo->addItem(platform::Cp932ToQString(platform::Format("%3d : %s", i + 1, name.c_str())));
        }
        combo->view()->setMinimumWidth(GetWidestItemWidth(*combo));
    }
    m_nLayerA = 0;
    m_nLayerB = 0;
    UpdateData(false);
}

bool CDlgLayerSwap::DoDataExchange(bool save)
{
    if (save) {
        m_nLayerA = m_layerA->currentIndex();
        m_nLayerB = m_layerB->currentIndex();
    } else {
        const QSignalBlocker quietA(m_layerA);
        const QSignalBlocker quietB(m_layerB);
        m_layerA->setCurrentIndex(m_nLayerA);
        m_layerB->setCurrentIndex(m_nLayerB);
    }
    FindControl(this, CDialogBuilder::IdOk)->setEnabled(m_nLayerA != m_nLayerB);
    return true;
}
