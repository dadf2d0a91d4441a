#include "app/MainFrame.h"
#include "app/VELTAApp.h"
#include "model/startup/Startup.h"
#include "platform/Clock.h"
#include "platform/Messages.h"
#include "platform/Profile.h"
#include "platform/qt/QtMessages.h"
#include "platform/qt/QtProfile.h"

#include <QApplication>
#include <QFile>
#include <clocale>
#include <filesystem>

namespace {

// No one can answer a box when there is no screen (offscreen or minimal platform) or when the
// caller asks for a run without interaction: messages then go to standard error.
bool IsInteractive()
{
    if (qEnvironmentVariableIsSet("VELTA_NONINTERACTIVE"))
        return false;
    const QString platform = QGuiApplication::platformName();
    return platform != "offscreen" && platform != "minimal";
}

} // namespace

int main(int argc, char** argv)
{
    // Dates in reports follow Japan time unless the user's environment names a zone.
    platform::ApplyDefaultTimeZone();
    QApplication app(argc, argv);
    // Qt sets the C library locale from the environment; files and numbers need "C".
    std::setlocale(LC_NUMERIC, "C");
    QApplication::setOrganizationName("QEM");
    QApplication::setApplicationName("VELTA");
    QApplication::setApplicationVersion("1.0");

    platform::QtProfile profile;
    platform::SetProfile(&profile);
    platform::QtMessages messages;
    if (IsInteractive())
        platform::SetMessageService(&messages);

    // The stroke font lies beside the program; without it the program does not start.
    const std::filesystem::path programFolder =
        QFile::encodeName(QCoreApplication::applicationDirPath()).toStdString();
    if (!InitQuarn(programFolder / kStrokeFontFileName))
        return 1;

    int result = 0;
    {
        CVELTAApp velta;
        if (const std::optional<int> code = velta.InitInstance(QCoreApplication::arguments().mid(1)))
            result = *code;
        else
            result = app.exec();
        velta.ExitInstance();
    }
    platform::SetMessageService(nullptr);
    platform::SetProfile(nullptr);
    return result;
}
