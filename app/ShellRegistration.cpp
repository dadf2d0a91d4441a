#include "app/ShellRegistration.h"

#include "app/ToolBarArt.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QSaveFile>
#include <QStandardPaths>

namespace {

const char* const kBoardType = "application/x-velta-board";
const char* const kProjectType = "application/x-velta-project";
const char* const kDesktopName = "velta.desktop";

// Writes the file only when its content differs; true when it was written.
bool WriteIfChanged(const QString& path, const QByteArray& content, bool& failed)
{
    QFile old(path);
    if (old.open(QIODevice::ReadOnly) && old.readAll() == content)
        return false;
    QDir().mkpath(QFileInfo(path).absolutePath());
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size() || !file.commit()) {
        failed = true;
        return false;
    }
    return true;
}

QByteArray PngBytes(const QImage& image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

// Runs a desktop tool with the environment of this process; its absence is no error.
QString RunTool(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(10000))
        return {};
    return QString::fromUtf8(process.readAllStandardOutput()).trimmed();
}

// The Exec key's quoting: a path with blanks or specials goes in double quotes.
QString ExecQuoted(const QString& path)
{
    static const QString specials = " \t\n\"'\\><~|&;$*?#()`";
    bool quote = false;
    for (QChar c : path)
        quote = quote || specials.contains(c);
    if (!quote)
        return path;
    QString escaped;
    for (QChar c : path) {
        if (c == '"' || c == '`' || c == '$' || c == '\\')
            escaped += '\\';
        escaped += c;
    }
    // The desktop file's own escape of the backslash doubles it once more.
    escaped.replace("\\", "\\\\");
    return '"' + escaped + '"';
}

} // namespace

QString DesktopEntryText(const QString& programPath)
{
    return QString("[Desktop Entry]\n"
                   "Type=Application\n"
                   "Name=VELTA\n"
                   "GenericName=PCB Layout Editor\n"
                   "GenericName[ja]=プリント基板レイアウトエディタ\n"
                   "Comment=Edit printed-circuit-board layouts\n"
                   "Comment[ja]=プリント基板のレイアウトを編集します\n"
                   "Exec=%1 %f\n"
                   "Icon=velta\n"
                   "Terminal=false\n"
                   "MimeType=%2;%3;\n"
                   "Categories=Graphics;Engineering;\n")
        .arg(ExecQuoted(programPath), kBoardType, kProjectType);
}

QString MimePackageText()
{
    return QString("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                   "<mime-info xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\">\n"
                   "  <mime-type type=\"%1\">\n"
                   "    <comment>VELTA board</comment>\n"
                   "    <comment xml:lang=\"ja\">基板ファイル</comment>\n"
                   "    <icon name=\"application-x-velta-board\"/>\n"
                   "    <glob pattern=\"*.vbd\"/>\n"
                   "  </mime-type>\n"
                   "  <mime-type type=\"%2\">\n"
                   "    <comment>VELTA project</comment>\n"
                   "    <comment xml:lang=\"ja\">プロジェクトファイル</comment>\n"
                   "    <icon name=\"application-x-velta-project\"/>\n"
                   "    <glob pattern=\"*.vpj\"/>\n"
                   "  </mime-type>\n"
                   "</mime-info>\n")
        .arg(kBoardType, kProjectType);
}

ShellRegistrationResult RegisterShellFileTypes(const QString& programPath, const QString& dataHome)
{
    ShellRegistrationResult result;
    QString home = dataHome;
    if (home.isEmpty())
        home = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (home.isEmpty())
        return result;
    const QDir root(home);
    bool failed = false;
    bool changed = false;
    changed |= WriteIfChanged(root.filePath(QString("applications/") + kDesktopName),
                              DesktopEntryText(programPath).toUtf8(), failed);
    const bool mimeChanged =
        WriteIfChanged(root.filePath("mime/packages/velta.xml"), MimePackageText().toUtf8(), failed);
    changed |= mimeChanged;
    for (int size : {16, 32, 48, 64}) {
        const QString folder = QString("icons/hicolor/%1x%1/").arg(size);
        changed |= WriteIfChanged(root.filePath(folder + "apps/velta.png"), PngBytes(ProgramIconImage(size)),
                                  failed);
        changed |= WriteIfChanged(root.filePath(folder + "mimetypes/application-x-velta-board.png"),
                                  PngBytes(DocumentIconImage(size, false)), failed);
        changed |= WriteIfChanged(root.filePath(folder + "mimetypes/application-x-velta-project.png"),
                                  PngBytes(DocumentIconImage(size, true)), failed);
    }
    result.written = changed;
    if (!changed)
        return result;
    if (mimeChanged)
        RunTool("update-mime-database", {root.filePath("mime")});
    RunTool("update-desktop-database", {root.filePath("applications")});
    RunTool("xdg-mime", {"default", kDesktopName, kBoardType});
    // A project type another program has claimed stays with it.
    const QString current = RunTool("xdg-mime", {"query", "default", kProjectType});
    if (current.isEmpty() || current == kDesktopName)
        RunTool("xdg-mime", {"default", kDesktopName, kProjectType});
    result.toolsRun = true;
    return result;
}
