#include "dialogs/OptSheet.h"

#include "controls/EllipsisEdit.h"
#include "dialogs/DlgFileHistory.h"
#include "dialogs/FolderBrowser.h"
#include "libui/SpinButton.h"
#include "platform/Profile.h"
#include "platform/qt/QtText.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QStandardPaths>
#include <algorithm>

namespace {

constexpr const char* kSection = "Sheet";

// The recent lists hold at most 16 entries.
int ListSize(int stored)
{
    return std::clamp(stored, 1, 16);
}

} // namespace

COptSheet::COptSheet(RecentListHooks hooks, QWidget* parent)
    : COptPage(IDD, QString::fromUtf8("全般"), parent), m_hooks(std::move(hooks))
{
    CDialogBuilder& b = Builder();
    QGridLayout* view = AddGroup(QString::fromUtf8("表示"), 0, 0);
    Put(view, b.Label(QString::fromUtf8("ズーム率(&Z)"), -1, 0), 0, 0);
    m_zoomSlider = Put(view, b.Add(IdZoomSlider, new QSlider(Qt::Horizontal, this), -1, 0), 0, 1);
    m_zoomEdit = Put(view, b.Add(IdZoomEdit, new QLineEdit(this), -1, 0), 0, 2);
    m_zoomEdit->setFixedWidth(40);
    NoInputMethod(m_zoomEdit);
    Put(view, b.Label(QStringLiteral("%"), -1, 0), 0, 3);
    BoundCheck(view, IdFullPath, "タイトルのファイル名をフルパスで表示(&F)", m_nFullPath, 1, 0, 4);
    BoundCheck(view, IdTipHelp, "ツールチップヘルプを表示(&H)", m_nTipHelp, 2, 0, 4);
    BoundCheck(view, IdWheelScroll, "ホイールは横優先(&E)", m_nWheelScroll, 3, 0, 4);
    BoundCheck(view, IdFlatButton, "フラットボタン(&B)", m_nFlatButton, 4, 0, 2);
    BoundCheck(view, IdBarGrid, "グリッドバー(&G)", m_nBarGrid, 4, 2, 2);
    BoundCheck(view, IdMenuStyle, "XPスタイルメニュー(&Y)", m_nMenuStyle, 5, 0, 4);

    QGridLayout* scroll = AddGroup(QString::fromUtf8("スクロール"), 0, 1);
    BoundRadios(scroll, {{1069, "スピード優先(&P)"}, {1070, "描画優先(&V)"}}, m_nScroll, 0, 0);
    QGridLayout* move = AddGroup(QString::fromUtf8("属性移動"), 1, 1);
    BoundRadios(move, {{1100, "表示グリッド(&D)"}, {1103, "指定グリッド(&U)"}, {1105, "グリッドＯＦＦ(&O)"}},
                m_nAttrMove, 0, 0);
    QGridLayout* cursor = AddGroup(QString::fromUtf8("カーソル"), 2, 1);
    BoundRadios(cursor, {{1162, "矢印"}, {1163, "十字"}, {1164, "クロス"}}, m_nCursor, 0, 0, false);

    QGridLayout* pick = AddGroup(QString::fromUtf8("選択"), 1, 0);
    Put(pick, b.Label(QString::fromUtf8("距離(&T)"), -1, 0), 0, 0);
    m_trap = AddIntField(pick, IdTrap, IdTrapSpin, m_trapSpin, 0, 1);

    QGridLayout* start = AddGroup(QString::fromUtf8("起動"), 2, 0);
    BoundCheck(start, IdAutoLoad, "自動読込(&A)", m_nAutoLoad, 0, 0);
    BoundCheck(start, IdDispMax, "最大表示(&X)", m_nDispMax, 0, 1);

    QGridLayout* folder = AddGroup(QString::fromUtf8("作業フォルダ(&W)"), 3, 0, 1, 2);
    m_workFolder = Put(folder, b.Add(IdWorkFolder, new CEllipsisEdit(true, this), -1, 0), 0, 0);
    m_workFolder->setMinimumWidth(260);
    Put(folder, b.Button(IdChangeFolder, QString::fromUtf8("基準変更(&C)"), -1, 0), 0, 1);
    Put(Grid(), b.Button(IdFileHistory, QString::fromUtf8("ファイル履歴(&L)"), -1, 0), 4, 0, 1, 1,
        Qt::AlignLeft);

    connect(m_zoomSlider, &QSlider::valueChanged, this,
            [this](int position) { m_zoomEdit->setText(QString::number(position)); });
    connect(FindControl<QPushButton>(this, IdChangeFolder), &QPushButton::clicked, this,
            &COptSheet::OnChangeFolder);
    connect(FindControl<QPushButton>(this, IdFileHistory), &QPushButton::clicked, this,
            &COptSheet::OnFileHistory);
}

void COptSheet::LoadProfile()
{
    const platform::Profile& p = platform::GetProfile();
    m_nZoomAspect = p.GetInt(kSection, "ZoomAspect", 20);
    m_nGridSize = p.GetInt(kSection, "GridSize", 7);
    m_nFullPath = p.GetInt(kSection, "FullPath", 1);
    m_nScroll = p.GetInt(kSection, "Scroll", 0);
    m_nAttrMove = p.GetInt(kSection, "AttrMove", 0);
    m_nTipHelp = p.GetInt(kSection, "TipHelp", 0);
    m_nWheelScroll = p.GetInt(kSection, "WheelScroll", 0);
    m_nTrap = p.GetInt(kSection, "Trap", 10);
    m_nAutoLoad = p.GetInt(kSection, "AutoLoad", 1);
    m_nDispMax = p.GetInt(kSection, "DispMax", 1);
    m_strWorkFolder = TrimFolder(p.GetString(kSection, "WorkFolder"));
    m_nCursor = p.GetInt(kSection, "Cursor", 0);
    m_nFlatButton = p.GetInt(kSection, "FlatButton", 0);
    m_nBarGrid = p.GetInt(kSection, "BarGrid", 0);
    m_nMenuStyle = p.GetInt(kSection, "MenuStyle", 0);
    m_nFileMRU = ListSize(p.GetInt(kSection, "FMRU", 16));
    m_nProjectMRU = ListSize(p.GetInt(kSection, "PMRU", 16));
}

void COptSheet::OnInitDialog()
{
    LoadProfile();
    m_zoomSlider->setRange(20, 60);
    m_zoomSlider->setTickPosition(QSlider::TicksBelow);
    m_zoomSlider->setTickInterval(5);
    m_zoomSlider->setSingleStep(1);
    m_zoomSlider->setPageStep(5);
    m_trapSpin->SetRange(1, 99);
    UpdateData(false);
}

bool COptSheet::DoDataExchange(bool save)
{
    if (!save) {
        ExchangeBound(false);
        m_zoomEdit->setText(QString::number(m_nZoomAspect));
        {
            const QSignalBlocker block(m_zoomSlider);
            m_zoomSlider->setValue(m_nZoomAspect);
        }
        m_trap->setText(QString::number(m_nTrap));
        m_workFolder->setText(platform::Cp932ToQString(m_strWorkFolder));
        return true;
    }
    int zoom = 0;
    int trap = 0;
    std::string folder;
    if (!CheckIntRange(m_zoomEdit, 20, 60, zoom) || !CheckIntRange(m_trap, 1, 99, trap) ||
        !FieldText(m_workFolder, folder))
        return false;
    ExchangeBound(true);
    m_nZoomAspect = zoom;
    m_nTrap = trap;
    m_strWorkFolder = TrimFolder(folder);
    return true;
}

void COptSheet::OnChangeFolder()
{
    QString current = m_workFolder->text();
    // An empty work folder stands for the user's documents folder.
    if (current.trimmed().isEmpty())
        current = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    QString chosen;
    if (!BrowseForFolder(this, QString::fromUtf8("プロジェクト作成時の基準フォルダの選択してください。"),
                         current, chosen, FolderTrim::AllSeparators))
        return;
    m_workFolder->setText(chosen);
}

void COptSheet::OnFileHistory()
{
    if (m_hooks.writeLists)
        m_hooks.writeLists();
    CDlgFileHistory dialog(m_hooks.clearList, this);
    dialog.m_nFileCount = m_nFileMRU;
    dialog.m_nProjectCount = m_nProjectMRU;
    if (dialog.DoModal() != QDialog::Accepted)
        return;
    m_nFileMRU = dialog.m_nFileCount;
    m_nProjectMRU = dialog.m_nProjectCount;
}

void COptSheet::OnOK()
{
    if (m_hooks.resize)
        m_hooks.resize(m_nFileMRU, m_nProjectMRU);
    // Only the page's own keys: other keys of the section belong to other parts of the program.
    platform::Profile& p = platform::GetProfile();
    p.SetInt(kSection, "ZoomAspect", m_nZoomAspect);
    p.SetInt(kSection, "GridSize", m_nGridSize);
    p.SetInt(kSection, "FullPath", m_nFullPath);
    p.SetInt(kSection, "Scroll", m_nScroll);
    p.SetInt(kSection, "AttrMove", m_nAttrMove);
    p.SetInt(kSection, "TipHelp", m_nTipHelp);
    p.SetInt(kSection, "WheelScroll", m_nWheelScroll);
    p.SetInt(kSection, "Trap", m_nTrap);
    p.SetInt(kSection, "AutoLoad", m_nAutoLoad);
    p.SetInt(kSection, "DispMax", m_nDispMax);
    p.SetString(kSection, "WorkFolder", m_strWorkFolder);
    p.SetInt(kSection, "Cursor", m_nCursor);
    p.SetInt(kSection, "FlatButton", m_nFlatButton);
    p.SetInt(kSection, "BarGrid", m_nBarGrid);
    p.SetInt(kSection, "MenuStyle", m_nMenuStyle);
    p.SetInt(kSection, "FMRU", m_nFileMRU);
    p.SetInt(kSection, "PMRU", m_nProjectMRU);
}
