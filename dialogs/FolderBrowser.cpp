#include "dialogs/FolderBrowser.h"

#include <QDir>
#include <QFileDialog>

namespace {

QString StartFolder(const QString& current, FolderTrim trim)
{
    QString start = current;
    while (start.endsWith(QLatin1Char(' ')) || start.endsWith(QLatin1Char('\t')))
        start.chop(1);
    auto separator = [&start] {
        return start.size() > 1 && (start.endsWith(QLatin1Char('/')) || start.endsWith(QLatin1Char('\\')));
    };
    if (trim == FolderTrim::AllSeparators) {
        while (separator())
            start.chop(1);
    } else if (separator()) {
        start.chop(1);
    }
    return start.isEmpty() ? QDir::currentPath() : start;
}

} // namespace

bool BrowseForFolder(QWidget* parent, const QString& title, const QString& current, QString& chosen,
                     FolderTrim trim)
{
    const QString saved = QDir::currentPath();
    QFileDialog dialog(parent, title, StartFolder(current, trim));
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly, true);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    const bool ok = dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty();
    if (ok)
        chosen = QDir::cleanPath(dialog.selectedFiles().constFirst());
    QDir::setCurrent(saved);
    return ok;
}
