#include "dialogs/DlgPartList.h"

#include "controls/FolderCombo.h"
#include "libui/NumEdit.h"
#include "platform/Messages.h"
#include "platform/Profile.h"
#include "platform/RangeText.h"
#include "platform/qt/QtText.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>

namespace {

constexpr double kOriginStep = 0.5;

} // namespace

CDlgPartList::CDlgPartList(QWidget* parent) : CItemDialog(IDD, QString::fromUtf8("部品表作成"), parent)
{
    CDialogBuilder& b = Builder();
    m_partList = b.Check(IdPartList, QString::fromUtf8("部品一覧(&P)"), 0, 0);
    m_bom = b.Check(IdBom, QString::fromUtf8("部品表(&B)"), 1, 0);
    m_place = b.Check(IdPlace, QString::fromUtf8("配置座標(&L)"), 2, 0);

    QGridLayout* options = AddGroup(QString(), 3, 0, 1, 2);
    m_bySide = Put(options, b.Check(IdBySide, QString::fromUtf8("配置面別(&S)"), -1, 0), 0, 0);
    m_unplaced = Put(options, b.Check(IdUnplaced, QString::fromUtf8("未配置部品出力(&N)"), -1, 0), 0, 1);
    m_mirrorX = Put(options, b.Check(IdMirrorX, QString::fromUtf8("水平反転(&H)"), -1, 0), 1, 0);
    m_mirrorY = Put(options, b.Check(IdMirrorY, QString::fromUtf8("垂直反転(&V)"), -1, 0), 1, 1);

    const struct
    {
        const char* group;
        int ids[2];
        const char* labels[2];
        int column;
    } origins[] = {{"部品面原点(mm)", {IdPartOriginX, IdPartOriginY}, {"X", "Y"}, 0},
                   {"半田面原点(mm)", {IdSolderOriginX, IdSolderOriginY}, {"&X", "&Y"}, 1}};
    int index = 0;
    for (const auto& side : origins) {
        QGridLayout* grid = AddGroup(QString::fromUtf8(side.group), 4, side.column);
        for (int k = 0; k < 2; ++k) {
            Put(grid, b.Label(QString::fromUtf8(side.labels[k]), -1, 0), k, 0);
            CNumEdit* edit = Put(grid, b.Add(side.ids[k], new CNumEdit(this), -1, 0), k, 1);
            NoInputMethod(edit);
            m_origins[index++] = edit;
        }
    }

    m_cardEdge = b.Check(IdCardEdge, QString::fromUtf8("カードエッジも出力(&C)"), 5, 0);
    m_nonCircuit = b.Check(IdNonCircuit, QString::fromUtf8("非回路部品も出力(&E)"), 5, 1);
    m_checkAngle = b.Check(IdCheckAngle, QString::fromUtf8("端子基準で角度検証(&T)"), 6, 0, 1, 2);
    b.Label(QString::fromUtf8("出力フォルダ(&Q)"), 7, 0);
    m_folder = b.Add(IdOutputFolder, new CFolderCombo(this), 7, 1);
    m_folder->setEditable(true);
    m_folder->setMinimumWidth(200);
    m_view = b.Check(IdView, QString::fromUtf8("作成したファイルを見る(&W)"), 8, 0, 1, 2);
    b.OkCancel(0, 2);
    if (auto* ok = findChild<QPushButton*>(QString::number(CDialogBuilder::IdOk)))
        ok->setText(QString::fromUtf8("作成(&M)"));
    ExchangeOnClick(m_place);
    connect(m_place, &QCheckBox::clicked, this, &CDlgPartList::EnablePlacement);
}

void CDlgPartList::OnInitDialog()
{
    m_data.view = platform::GetProfile().GetInt("Tool", "PListView", 1);
    m_folder->SetBaseFolder(platform::Cp932ToQString(m_data.baseFolder));
    m_folder->Refresh();
    m_folder->setEditText(platform::Cp932ToQString(m_data.outputFolder));
    for (CNumEdit* edit : m_origins)
        edit->SetStep(kOriginStep);
    UpdateData(false);
}

bool CDlgPartList::DoDataExchange(bool save)
{
    QCheckBox* const checks[] = {m_view,     m_partList, m_place,      m_bySide, m_mirrorX,   m_mirrorY,
                                 m_unplaced, m_cardEdge, m_nonCircuit, m_bom,    m_checkAngle};
    int* const flags[] = {&m_data.view,       &m_data.partList, &m_data.place,     &m_data.bySide,
                          &m_data.mirrorX,    &m_data.mirrorY,  &m_data.unplaced,  &m_data.cardEdge,
                          &m_data.nonCircuit, &m_data.bom,      &m_data.checkAngle};
    double* const values[] = {&m_data.partOriginX, &m_data.partOriginY, &m_data.solderOriginX,
                              &m_data.solderOriginY};
    if (save) {
        double read[4];
        for (int k = 0; k < 4; ++k) {
            bool valid = false;
            read[k] = m_origins[k]->GetValue(&valid);
            if (!valid) {
                double low = 0.0, high = 0.0;
                m_origins[k]->GetRange(low, high);
                AfxMessageBox(platform::NumberRangeText(low, high), MB_OK | MB_ICONEXCLAMATION);
                m_origins[k]->setFocus();
                m_origins[k]->selectAll();
                return false;
            }
        }
        for (int k = 0; k < 4; ++k)
            *values[k] = read[k];
        for (std::size_t k = 0; k < std::size(checks); ++k)
            *flags[k] = checks[k]->isChecked() ? 1 : 0;
    } else {
        for (int k = 0; k < 4; ++k)
            m_origins[k]->SetValue(*values[k]);
        for (std::size_t k = 0; k < std::size(checks); ++k)
            checks[k]->setChecked(*flags[k] != 0);
    }
    EnablePlacement();
    return true;
}

void CDlgPartList::EnablePlacement()
{
    const bool on = m_place->isChecked();
    for (CNumEdit* edit : m_origins)
        edit->setEnabled(on);
    for (QCheckBox* check : {m_bySide, m_mirrorX, m_mirrorY, m_unplaced})
        check->setEnabled(on);
}

void CDlgPartList::accept()
{
    if (!UpdateData(true))
        return;
    m_data.outputFolder = platform::QStringToCp932(m_folder->currentText().trimmed()).value_or(std::string());
    platform::GetProfile().SetInt("Tool", "PListView", m_data.view);
    QDialog::accept();
}
