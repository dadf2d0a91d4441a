// Two starts of the real program: the second hands its file to the first and ends at once.

#include "tests/app/AppFixture.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QSettings>

#include <chrono>
#include <thread>

namespace {

using namespace apptest;

class TwoProcessTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        root = fs::temp_directory_path() / ("velta-two-" + std::to_string(::getpid()));
        fs::remove_all(root);
        for (const char* sub : {"home", "config", "data", "run"})
            fs::create_directories(root / sub);
        // The profile of the started programs: no shell registration, no project at start.
        WriteText(root / "config" / "QEM" / "VELTA.ini", "[Settings]\nShell=0\n[Sheet]\nAutoLoad=0\n");
    }
    void TearDown() override
    {
        if (first.state() != QProcess::NotRunning) {
            first.terminate();
            if (!first.waitForFinished(5000))
                first.kill();
            first.waitForFinished(2000);
        }
        fs::remove_all(root);
    }

    QProcessEnvironment Environment() const
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert("HOME", QString::fromStdString((root / "home").string()));
        env.insert("XDG_CONFIG_HOME", QString::fromStdString((root / "config").string()));
        env.insert("XDG_DATA_HOME", QString::fromStdString((root / "data").string()));
        env.insert("XDG_RUNTIME_DIR", QString::fromStdString((root / "run").string()));
        env.insert("ASAN_OPTIONS", "detect_leaks=0");
        return env;
    }

    void Run(QProcess& process, const QStringList& arguments)
    {
        process.setProcessEnvironment(Environment());
        process.setProcessChannelMode(QProcess::MergedChannels);
        process.start(VELTA_BINARY_DIR "/velta", arguments);
        ASSERT_TRUE(process.waitForStarted(10000));
    }

    std::string RecentBoard() const
    {
        QSettings settings(QString::fromStdString((root / "config" / "QEM" / "VELTA.ini").string()),
                           QSettings::IniFormat);
        return settings.value("Recent File List/File1").toString().toStdString();
    }

    // Waits until the first instance listens on its channel.
    bool WaitForServer() const
    {
        for (int i = 0; i < 300; ++i) {
            for (const auto& entry : fs::directory_iterator(root / "run"))
                if (entry.is_socket())
                    return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        return false;
    }

    fs::path root;
    QProcess first;
};

TEST_F(TwoProcessTest, TheSecondStartHandsOverItsBoardAndEnds)
{
    const fs::path board = MakeBoard(root / "boards", "a.vbd");
    Run(first, {});
    ASSERT_TRUE(WaitForServer()) << first.readAll().toStdString();

    // Without a file the second start ends and nothing opens.
    QProcess empty;
    Run(empty, {});
    ASSERT_TRUE(empty.waitForFinished(20000));
    EXPECT_EQ(empty.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(empty.exitCode(), 0);
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    EXPECT_EQ(RecentBoard(), "");

    // With a board (named relative to its own folder) the first instance opens it.
    QProcess second;
    second.setWorkingDirectory(QString::fromStdString(board.parent_path().string()));
    Run(second, {"a.vbd"});
    ASSERT_TRUE(second.waitForFinished(20000));
    EXPECT_EQ(second.exitCode(), 0) << second.readAll().toStdString();
    std::string recent;
    for (int i = 0; i < 200 && recent.empty(); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        recent = RecentBoard();
    }
    EXPECT_EQ(recent, board.string()) << first.readAll().toStdString();
    EXPECT_EQ(first.state(), QProcess::Running);
}

TEST_F(TwoProcessTest, AChannelLeftByAKilledInstanceDoesNotBlockAStart)
{
    Run(first, {});
    ASSERT_TRUE(WaitForServer());
    first.kill();
    first.waitForFinished(5000);
    // The lock file and the socket stay behind; a new start takes them over.
    QProcess again;
    Run(again, {});
    EXPECT_FALSE(again.waitForFinished(3000)) << "the new start ended: " << again.readAll().toStdString();
    again.terminate();
    if (!again.waitForFinished(5000))
        again.kill();
    again.waitForFinished(2000);
}

TEST_F(TwoProcessTest, AnUnopenableBoardOnTheCommandLineEndsTheProgram)
{
    QProcess process;
    Run(process, {QString::fromStdString((root / "missing.vbd").string())});
    ASSERT_TRUE(process.waitForFinished(20000));
    EXPECT_NE(process.exitCode(), 0);
}

} // namespace
