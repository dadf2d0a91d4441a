#include "dialogs/OptLibrary.h"

#include "controls/DragAndDropListBox.h"
#include "model/library/Library.h"
#include "platform/FilePath.h"
#include "platform/J.h"
#include "platform/Messages.h"
#include "platform/Numbers.h"
#include "platform/qt/QtText.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QMimeData>
#include <QPushButton>
#include <QUrl>
#include <filesystem>
#include <fstream>

COptLibrary::COptLibrary(QWidget* parent) : COptPage(IDD, QString::fromUtf8("部品ファイル"), parent)
{
    CDialogBuilder& b = Builder();
    m_list = b.Add(IdList, new CDragAndDropListBox(this), 0, 0, 7, 1);
    m_list->setMinimumSize(300, 220);
    m_list->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    const std::pair<int, const char*> buttons[] = {{IdAdd, "追加(&A)"},      {IdUp, "１つ上に(&U)"},
                                                   {IdDown, "１つ下に(&U)"}, {IdTop, "先頭に(&T)"},
                                                   {IdBottom, "末尾に(&B)"}, {IdRemove, "除外(&E)"}};
    int row = 0;
    for (const auto& [id, caption] : buttons)
        b.Button(id, QString::fromUtf8(caption), row++, 1);
    Grid()->setRowStretch(6, 1);
    setAcceptDrops(true);
    connect(FindControl<QPushButton>(this, IdAdd), &QPushButton::clicked, this, &COptLibrary::OnAdd);
    connect(FindControl<QPushButton>(this, IdUp), &QPushButton::clicked, this,
            [this] { Move(m_list->currentRow() - 1); });
    connect(FindControl<QPushButton>(this, IdDown), &QPushButton::clicked, this,
            [this] { Move(m_list->currentRow() + 1); });
    connect(FindControl<QPushButton>(this, IdTop), &QPushButton::clicked, this, [this] { Move(0); });
    connect(FindControl<QPushButton>(this, IdBottom), &QPushButton::clicked, this,
            [this] { Move(m_list->count() - 1); });
    connect(FindControl<QPushButton>(this, IdRemove), &QPushButton::clicked, this, &COptLibrary::OnRemove);
    connect(m_list, &QListWidget::currentRowChanged, this, &COptLibrary::ApplyEnabling);
    connect(m_list, &CDragAndDropListBox::selChange, this, &COptLibrary::ApplyEnabling);
}

void COptLibrary::OnInitDialog()
{
    CLibrary library;
    for (const std::string& path : library.ReadLibraryList())
        m_list->addItem(platform::Cp932ToQString(path));
    UpdateData(false);
}

bool COptLibrary::DoDataExchange(bool)
{
    ApplyEnabling();
    return true;
}

void COptLibrary::ApplyEnabling()
{
    const int row = m_list->currentItem() && m_list->currentItem()->isSelected() ? m_list->currentRow() : -1;
    const bool chosen = row >= 0;
    FindControl(this, IdUp)->setEnabled(chosen && row > 0);
    FindControl(this, IdTop)->setEnabled(chosen && row > 0);
    FindControl(this, IdDown)->setEnabled(chosen && row < m_list->count() - 1);
    FindControl(this, IdBottom)->setEnabled(chosen && row < m_list->count() - 1);
    FindControl(this, IdRemove)->setEnabled(chosen);
}

QStringList COptLibrary::Entries() const
{
    QStringList entries;
    for (int i = 0; i < m_list->count(); ++i)
        entries << m_list->item(i)->text();
    return entries;
}

bool COptLibrary::Contains(const QString& path) const
{
    for (int i = 0; i < m_list->count(); ++i)
        if (m_list->item(i)->text().compare(path, Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

void COptLibrary::Append(const QString& path)
{
    m_list->addItem(path);
    m_list->setCurrentRow(m_list->count() - 1);
    ApplyEnabling();
}

void COptLibrary::AddChosenFiles(const QStringList& paths)
{
    for (QString path : paths) {
        // A name without any dot gets the library extension.
        if (!path.endsWith(QStringLiteral(".vlb"), Qt::CaseInsensitive) && !path.contains(QLatin1Char('.')))
            path += QStringLiteral(".vlb");
        if (path.endsWith(QStringLiteral(".bkb"), Qt::CaseInsensitive)) {
            const std::string name = platform::QStringToCp932(path).value_or(std::string());
            AfxMessageBox(platform::Format(_J("%s はバックアップファイルです").c_str(), name.c_str()),
                          MB_OK | MB_ICONEXCLAMATION);
            continue;
        }
        if (!Contains(path))
            Append(path);
    }
}

void COptLibrary::AddDroppedFiles(const QStringList& paths)
{
    for (const QString& path : paths)
        if (path.endsWith(QStringLiteral(".vlb"), Qt::CaseInsensitive) && !Contains(path))
            Append(path);
}

void COptLibrary::OnAdd()
{
    QFileDialog dialog(this, QString::fromUtf8("追加"));
    dialog.setFileMode(QFileDialog::ExistingFiles);
    dialog.setOption(QFileDialog::ReadOnly, true);
    dialog.setNameFilters(
        {QString::fromUtf8("ＶＥＬＴＡライブラリ (*.vlb *.VLB)"), QString::fromUtf8("すべてのファイル (*)")});
    if (dialog.exec() != QDialog::Accepted)
        return;
    AddChosenFiles(dialog.selectedFiles());
}

void COptLibrary::Move(int to)
{
    const int from = m_list->currentRow();
    if (from < 0 || to < 0 || to >= m_list->count() || to == from)
        return;
    QListWidgetItem* item = m_list->takeItem(from);
    m_list->insertItem(to, item);
    m_list->setCurrentRow(to);
    ApplyEnabling();
}

void COptLibrary::OnRemove()
{
    const int row = m_list->currentRow();
    if (row < 0)
        return;
    delete m_list->takeItem(row);
    if (m_list->count() > 0)
        m_list->setCurrentRow(std::min(row, m_list->count() - 1));
    ApplyEnabling();
}

void COptLibrary::dragEnterEvent(QDragEnterEvent* event)
{
    if (event->mimeData()->hasUrls())
        event->acceptProposedAction();
}

void COptLibrary::dropEvent(QDropEvent* event)
{
    QStringList paths;
    for (const QUrl& url : event->mimeData()->urls())
        if (url.isLocalFile())
            paths << url.toLocalFile();
    AddDroppedFiles(paths);
    event->acceptProposedAction();
}

void COptLibrary::OnOK()
{
    std::vector<std::string> list;
    for (const QString& entry : Entries()) {
        const std::optional<std::string> path = platform::QStringToCp932(entry);
        if (!path)
            continue;
        const std::filesystem::path file = platform::Cp932ToPath(*path);
        std::error_code ec;
        if (!std::filesystem::exists(file, ec)) {
            std::ofstream created(file, std::ios::binary);
            if (!created)
                AfxMessageBox(platform::Format(_J("ファイル %s を作成できません").c_str(), path->c_str()),
                              MB_OK | MB_ICONEXCLAMATION);
        }
        list.push_back(*path);
    }
    if (list.empty())
        AfxMessageBox(_J("部品ファイルを登録していないと部品入力はできません"), MB_OK | MB_ICONEXCLAMATION);
    CLibrary library;
    library.SetLibraryList(list);
    library.WriteLibraryList();
}
