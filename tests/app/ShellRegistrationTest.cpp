// Registration with the desktop in a temporary XDG data folder, checked with the desktop's own
// tools.

#include "app/ShellRegistration.h"
#include "tests/app/AppFixture.h"

#include <gtest/gtest.h>

#include <QProcess>
#include <QProcessEnvironment>

namespace {

using namespace apptest;

class ShellRegistrationTest : public AppFixture
{
protected:
    void SetUp() override
    {
        AppFixture::SetUp();
        fs::create_directories(root / "config");
        savedConfig = qEnvironmentVariable("XDG_CONFIG_HOME");
        setenv("XDG_CONFIG_HOME", (root / "config").c_str(), 1);
    }
    void TearDown() override
    {
        if (savedConfig.isEmpty())
            unsetenv("XDG_CONFIG_HOME");
        else
            setenv("XDG_CONFIG_HOME", savedConfig.toLocal8Bit().constData(), 1);
        AppFixture::TearDown();
    }

    static QString Tool(const QString& program, const QStringList& arguments, int* exitCode = nullptr)
    {
        QProcess process;
        process.setProcessChannelMode(QProcess::MergedChannels);
        process.start(program, arguments);
        process.waitForFinished(20000);
        if (exitCode)
            *exitCode = process.exitCode();
        return QString::fromUtf8(process.readAll()).trimmed();
    }

    QString Data() const { return QString::fromStdString((root / "data").string()); }

    QString savedConfig;
};

TEST_F(ShellRegistrationTest, DesktopToolsAcceptWhatIsWritten)
{
    const QString program = QString::fromStdString((root / "my programs" / "velta").string());
    const ShellRegistrationResult result = RegisterShellFileTypes(program, Data());
    EXPECT_TRUE(result.written);
    int code = -1;
    const QString validation = Tool("desktop-file-validate", {Data() + "/applications/velta.desktop"}, &code);
    EXPECT_EQ(code, 0) << validation.toStdString();
    EXPECT_TRUE(DesktopEntryText(program).contains("Exec=\"" + program + "\" %f"));

    WriteText(root / "x.vbd", "VELTA");
    WriteText(root / "x.vpj", "Project File Ver 0.01\n");
    EXPECT_EQ(Tool("xdg-mime", {"query", "filetype", QString::fromStdString((root / "x.vbd").string())}),
              "application/x-velta-board");
    EXPECT_EQ(Tool("xdg-mime", {"query", "filetype", QString::fromStdString((root / "x.vpj").string())}),
              "application/x-velta-project");
    EXPECT_EQ(Tool("xdg-mime", {"query", "default", "application/x-velta-board"}), "velta.desktop");
    EXPECT_EQ(Tool("xdg-mime", {"query", "default", "application/x-velta-project"}), "velta.desktop");
    EXPECT_TRUE(fs::exists(root / "data" / "icons" / "hicolor" / "48x48" / "apps" / "velta.png"));

    // Nothing changed: nothing is written again.
    EXPECT_FALSE(RegisterShellFileTypes(program, Data()).written);
}

TEST_F(ShellRegistrationTest, AnotherProgramsProjectDefaultStays)
{
    WriteText(root / "config" / "mimeapps.list",
              "[Default Applications]\napplication/x-velta-project=other.desktop\n");
    WriteText(root / "data" / "applications" / "other.desktop",
              "[Desktop Entry]\nType=Application\nName=Other\nExec=other %f\n"
              "MimeType=application/x-velta-project;\n");
    RegisterShellFileTypes("/opt/velta/velta", Data());
    EXPECT_EQ(Tool("xdg-mime", {"query", "default", "application/x-velta-project"}), "other.desktop");
    EXPECT_EQ(Tool("xdg-mime", {"query", "default", "application/x-velta-board"}), "velta.desktop");
}

TEST_F(ShellRegistrationTest, ShellZeroWritesNothing)
{
    profile.SetInt("Settings", "Shell", 0);
    Start();
    EXPECT_TRUE(fs::is_empty(root / "data"));
}

} // namespace
