#include "dialogs/DlgDrc.h"

#include "controls/WidestItemWidth.h"
#include "document/NumberText.h"
#include "document/VELTADoc.h"
#include "libui/NumEdit.h"
#include "platform/Cp932.h"
#include "platform/J.h"
#include "platform/Messages.h"
#include "platform/Numbers.h"
#include "platform/Profile.h"
#include "platform/qt/QtText.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <cstdlib>

namespace {

constexpr const char* kSection = "Tool";

bool IsTrimmed(char c)
{
    return c == ' ' || c == '\t' || c == ',';
}

std::string TrimLayerText(std::string text)
{
    std::size_t start = 0;
    while (start < text.size() && IsTrimmed(text[start]))
        ++start;
    std::size_t end = text.size();
    while (end > start && IsTrimmed(text[end - 1]))
        --end;
    return text.substr(start, end - start);
}

// The edit's value when it holds a number within its range.
bool ReadClearance(const CNumEdit* edit, double& value)
{
    bool ok = false;
    const double typed = edit->text().trimmed().toDouble(&ok);
    double minimum = 0.0;
    double maximum = 0.0;
    edit->GetRange(minimum, maximum);
    if (!ok || typed < minimum || typed > maximum)
        return false;
    value = typed;
    return true;
}

} // namespace

const char* const CDlgDrc::kNetFormatNames[kNetFormats] = {
    "CR3000",   "VISULA",    "ECAD",       "Computer Vision", "Tango",
    "TELESIS",  "WORK VIEW", "POWER VIEW", "FutureNet(NETC)", "PADS",
    "PADS-PCB", "PADS-2000", "Scicards",   "CADVANCE",        "CADLUS",
    "Calay",    "ultiBOARD", "PCAD"};

CDlgDrc::CDlgDrc(CVELTADoc* doc, QWidget* parent)
    : CItemDialog(IDD, QString::fromUtf8("デザインルールチェック"), parent), m_pDoc(doc)
{
    CDialogBuilder& b = Builder();
    QGridLayout* copper = AddGroup(QString::fromUtf8("箔間チェック"), 0, 0, 1, 2);
    m_all = Put(copper, b.Check(IdAllLayers, QString::fromUtf8("全層チェック(&A)"), -1, 0), 0, 0);
    m_listed = Put(copper, b.Check(IdListedLayers, QString::fromUtf8("指定層をチェック(&R)"), -1, 0), 1, 0);
    m_layerList = Put(copper, b.Add(IdLayerList, new QLineEdit(this), -1, 0), 1, 1, 1, 2);
    NoInputMethod(m_layerList);
    Put(copper, b.Label(QString::fromUtf8("箔間距離"), -1, 0), 2, 0, 1, 1, Qt::AlignRight);
    m_copper = Put(copper, b.Add(IdCopperClearance, new CNumEdit(this), -1, 0), 2, 1);
    NoInputMethod(m_copper);
    Put(copper, b.Label(QString::fromUtf8("mm"), -1, 0), 2, 2);

    QGridLayout* part = AddGroup(QString::fromUtf8("部品間チェック"), 1, 0, 1, 2);
    m_componentSide = Put(part, b.Check(IdComponentSide, QString::fromUtf8("部品面(&P)"), -1, 0), 0, 0);
    m_solderSide = Put(part, b.Check(IdSolderSide, QString::fromUtf8("半田面(&S)"), -1, 0), 0, 1);
    Put(part, b.Label(QString::fromUtf8("部品間距離"), -1, 0), 1, 0, 1, 1, Qt::AlignRight);
    m_part = Put(part, b.Add(IdPartClearance, new CNumEdit(this), -1, 0), 1, 1);
    NoInputMethod(m_part);
    Put(part, b.Label(QString::fromUtf8("mm"), -1, 0), 1, 2);
    m_pinCount = Put(part, b.Check(IdPinCount, QString::fromUtf8("ピン数チェック"), -1, 0), 2, 0, 1, 3);

    QGridLayout* output = AddGroup(QString::fromUtf8("エラー出力"), 2, 0, 1, 2);
    Put(output, b.Label(QString::fromUtf8("エラー出力先頭レイヤ(&T)"), -1, 0), 0, 0);
    m_errorLayer = Put(output, b.Add(IdErrorLayer, new QComboBox(this), -1, 0), 0, 1);
    m_errorLayer->setMinimumWidth(180);
    m_perLayer = Put(output, b.Check(IdPerLayer, QString::fromUtf8("層毎に出力(&Y)"), -1, 0), 1, 0);
    m_showLayers =
        Put(output, b.Check(IdShowLayers, QString::fromUtf8("出力したレイヤ表示(&O)"), -1, 0), 1, 1);

    QGridLayout* net = AddGroup(QString::fromUtf8("ネット"), 3, 0, 1, 2);
    m_reverseNet = Put(net, b.Check(IdReverseNet, QString::fromUtf8("逆ネット(&D)"), -1, 0), 0, 0);
    m_reverseIndex =
        Put(net, b.Check(IdReverseIndex, QString::fromUtf8("逆ネットインデックス(&I)"), -1, 0), 0, 1);
    Put(net, b.Label(QString::fromUtf8("ネットフォーマット形式(&F)"), -1, 0), 1, 0);
    m_netFormat = Put(net, b.Add(IdNetFormat, new QComboBox(this), -1, 0), 1, 1);
    for (const char* name : kNetFormatNames)
        m_netFormat->addItem(QString::fromLatin1(name));
    m_netCompare = Put(net, b.Check(IdNetCompare, QString::fromUtf8("ネットコンペア(&C)"), -1, 0), 2, 0);

    m_viewFiles = b.Check(IdViewFiles, QString::fromUtf8("作成したファイルを見る(&V)"), 4, 0, 1, 2);
    b.OkCancel(0, 2);
    Grid()->setAlignment(FindControl(this, CDialogBuilder::IdCancel), Qt::AlignTop);

    connect(m_all, &QCheckBox::clicked, this, [this] { ToggleMode(CopperAll); });
    connect(m_listed, &QCheckBox::clicked, this, [this] { ToggleMode(CopperListed); });
    for (QCheckBox* box : {m_reverseNet, m_componentSide, m_solderSide, m_pinCount})
        connect(box, &QCheckBox::clicked, this, [this] { UpdateData(true); });
}

void CDlgDrc::OnInitDialog()
{
    const platform::Profile& profile = platform::GetProfile();
    m_bViewFiles = profile.GetInt(kSection, "DRCView", 1);
    m_bShowLayers = profile.GetInt(kSection, "DRCLayer", 1);
    m_errorLayer->clear();
    for (int layer = 0; layer < LAYER_MAX; ++layer) {
        if (m_pDoc && m_pDoc->IsWiringOrPartLayer(layer))
            continue;
        const std::string name = m_pDoc ? m_pDoc->GetLayer(layer).name : std::string();
        m_errorLayer->addItem(platform::Cp932ToQString(platform::Format("%3d %s", layer + 1, name.c_str())),
                              layer);
    }
    m_errorLayer->setCurrentIndex(m_errorLayer->findData(m_nErrorLayer));
    m_errorLayer->view()->setMinimumWidth(GetWidestItemWidth(*m_errorLayer));
    m_copper->SetRange(0.01, 5.0);
    m_part->SetRange(0.1, 5.0);
    m_copper->setText(platform::Cp932ToQString(FormatNumber(m_dCopperClearance)));
    m_part->setText(platform::Cp932ToQString(FormatNumber(m_dPartClearance)));
    m_netCompare->setEnabled(m_pDoc && m_pDoc->IsProjectNetList());
    UpdateData(false);
}

bool CDlgDrc::DoDataExchange(bool save)
{
    const std::pair<QCheckBox*, int*> checks[] = {
        {m_reverseNet, &m_bReverseNet}, {m_reverseIndex, &m_bReverseIndex},
        {m_viewFiles, &m_bViewFiles},   {m_perLayer, &m_bPerLayer},
        {m_showLayers, &m_bShowLayers}, {m_componentSide, &m_bComponentSide},
        {m_solderSide, &m_bSolderSide}, {m_pinCount, &m_bPinCount},
        {m_netCompare, &m_bNetCompare}};
    if (save) {
        for (auto [box, member] : checks)
            *member = box->isChecked() ? 1 : 0;
        if (m_netFormat->currentIndex() >= 0)
            m_nNetFormat = m_netFormat->currentIndex();
        if (m_errorLayer->currentIndex() >= 0)
            m_nErrorLayer = m_errorLayer->currentData().toInt();
        std::string text;
        if (!FieldText(m_layerList, text))
            return false;
        m_strLayers = TrimLayerText(text);
    } else {
        for (auto [box, member] : checks)
            box->setChecked(*member != 0);
        m_netFormat->setCurrentIndex(m_nNetFormat >= 0 && m_nNetFormat < kNetFormats ? m_nNetFormat : 0);
        m_strLayers = TrimLayerText(m_strLayers);
        m_layerList->setText(platform::Cp932ToQString(m_strLayers));
    }
    // The mode switches show the mode; they are never read back.
    m_all->setChecked(m_nCopperMode == CopperAll);
    m_listed->setChecked(m_nCopperMode == CopperListed);
    m_netFormat->setEnabled(m_bReverseNet != 0);
    m_layerList->setEnabled(m_nCopperMode == CopperListed);
    const bool anyCheck = m_nCopperMode != CopperOff || m_bComponentSide || m_bSolderSide;
    m_errorLayer->setEnabled(anyCheck);
    m_perLayer->setEnabled(anyCheck);
    return true;
}

void CDlgDrc::ToggleMode(int mode)
{
    if (!UpdateData(true))
        return;
    m_nCopperMode = m_nCopperMode == mode ? CopperOff : mode;
    UpdateData(false);
}

bool CDlgDrc::Refuse(const char* message)
{
    AfxMessageBox(platform::JLiteral(message), MB_OK | MB_ICONEXCLAMATION);
    return false;
}

void CDlgDrc::accept()
{
    if (!UpdateData(true))
        return;
    // Written before any check, so a refused OK still keeps them.
    platform::Profile& profile = platform::GetProfile();
    profile.SetInt(kSection, "DRCLayer", m_bShowLayers);
    profile.SetInt(kSection, "DRCView", m_bViewFiles);
    profile.SetInt(kSection, "NetType", m_nNetFormat);

    if (m_nCopperMode == CopperListed) {
        std::string text = m_strLayers;
        for (char& c : text) {
            if (c == ' ' || c == '\t')
                c = ',';
        }
        for (std::size_t at = text.find(",,"); at != std::string::npos; at = text.find(",,"))
            text.erase(at, 1);
        m_strLayers = text;
        if (text.empty()) {
            Refuse("チェックする層をカンマ区切りで指定してください");
            return;
        }
        m_layers.fill(0);
        for (const std::string& field : platform::Split(text + ",", ',')) {
            const long number = std::strtol(field.c_str(), nullptr, 10);
            if (number >= 1 && number <= kCheckLayers)
                m_layers[static_cast<std::size_t>(number - 1)] = 1;
        }
    } else if (m_nCopperMode == CopperAll) {
        m_layers.fill(1);
    }

    if (m_nCopperMode != CopperOff) {
        if (m_bPerLayer && m_nErrorLayer + m_nErrorLayerCount > LAYER_MAX) {
            Refuse("出力先頭レイヤ設定エラー");
            return;
        }
        if (!ReadClearance(m_copper, m_dCopperClearance)) {
            Refuse("箔間距離設定エラー(0.01 - 5.0)");
            return;
        }
    }
    if ((m_bComponentSide || m_bSolderSide) && !ReadClearance(m_part, m_dPartClearance)) {
        Refuse("部品間距離設定エラー(0.1 - 5.0)");
        return;
    }
    QDialog::accept();
}
