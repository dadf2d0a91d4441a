// The messages of a second start: their wire form, the bracket commands of the shell, and the
// first instance's answers.

#include "app/InstanceMessage.h"
#include "app/SingleInstance.h"
#include "tests/app/AppFixture.h"

#include <gtest/gtest.h>

#include <QLocalSocket>

namespace {

using namespace apptest;

TEST(ShellCommandTest, ParsesTheBracketSyntax)
{
    struct Case
    {
        std::string command;
        bool valid;
        ShellCommandKind kind;
        std::string path;
    } cases[] = {
        {"[open(\"/b/x.vbd\")]", true, ShellCommandKind::Open, "/b/x.vbd"},
        {"[print(\"/b/x.vbd\")]", true, ShellCommandKind::Print, "/b/x.vbd"},
        {"[printto(\"/b/x.vbd\",\"lp\",\"drv\",\"port\")]", true, ShellCommandKind::PrintTo, "/b/x.vbd"},
        {"[open(\"\")]", true, ShellCommandKind::Open, ""},
        {"[open(\"/b/x.vbd)]", false, ShellCommandKind::Open, ""}, // missing quote
        {"[open(/b/x.vbd)]", false, ShellCommandKind::Open, ""},
        {"[close(\"/b/x.vbd\")]", false, ShellCommandKind::Open, ""},
        {"", false, ShellCommandKind::Open, ""},
    };
    for (const Case& c : cases) {
        const std::optional<ShellCommand> parsed = ParseShellCommand(c.command);
        ASSERT_EQ(parsed.has_value(), c.valid) << c.command;
        if (parsed) {
            EXPECT_EQ(parsed->kind, c.kind) << c.command;
            EXPECT_EQ(parsed->path, c.path) << c.command;
        }
    }
}

TEST(InstanceMessageTest, DecodesWholeMessagesOnly)
{
    const std::string bytes = EncodeInstanceMessage({12, std::string("X.VBD\0", 6)});
    InstanceMessage out;
    EXPECT_EQ(DecodeInstanceMessage(bytes.substr(0, 3), out), MessageState::Incomplete);
    EXPECT_EQ(DecodeInstanceMessage(bytes.substr(0, bytes.size() - 1), out), MessageState::Incomplete);
    ASSERT_EQ(DecodeInstanceMessage(bytes, out), MessageState::Complete);
    EXPECT_EQ(out.code, 12);
    EXPECT_EQ(CopyDataPath(out.data), "X.VBD");
    EXPECT_EQ(DecodeInstanceMessage(bytes + "z", out), MessageState::Invalid);
    const std::string big = EncodeInstanceMessage({12, std::string(INSTANCE_MESSAGE_MAX + 1, 'a')});
    EXPECT_EQ(DecodeInstanceMessage(big.substr(0, 8), out), MessageState::Invalid);
}

class FirstInstanceTest : public AppFixture
{
};

TEST_F(FirstInstanceTest, AnswersEveryCode)
{
    Start();
    struct Case
    {
        int code;
        std::string data;
        bool withProject;
        int answer;
    } cases[] = {
        {10, "", false, 1},
        {11, "", false, 0},
        {11, "", true, 1},
        {12, std::string("X.VBD\0", 6), false, 1}, // no such board: answered, nothing opens
        {12, std::string("\0", 1), false, 1},
        {13, "", false, 0},
        {COPYDATA_COMMAND, "[open(\"X.VBD\")]", false, 1},
        {COPYDATA_COMMAND, "[open(\"X.VBD)]", false, 0},
    };
    for (const Case& c : cases) {
        app->SetProjectPath(c.withProject ? "/p/a.vpj" : "");
        EXPECT_EQ(app->OnCopyData({c.code, c.data}), c.answer) << c.code << " " << c.data;
        QApplication::processEvents();
    }
    EXPECT_EQ(BoardCount(), 0);
}

TEST_F(FirstInstanceTest, OpensTheBoardOfASecondStartThroughTheChannel)
{
    Start();
    const fs::path board = MakeBoard(root / "boards", "a.vbd");
    CSingleInstance second(QString::fromStdString(app->GetInstanceName()));
    EXPECT_FALSE(second.Acquire()); // the lock is the first instance's

    // The sender blocks while it waits, so the first instance's side runs between the steps.
    QLocalSocket socket;
    socket.connectToServer(second.ServerName());
    ASSERT_TRUE(socket.waitForConnected(2000));
    std::string data = Cp(board);
    data.push_back('\0');
    const std::string bytes = EncodeInstanceMessage({COPYDATA_OPEN, data});
    socket.write(bytes.data(), static_cast<qint64>(bytes.size()));
    socket.flush();
    QByteArray reply;
    for (int i = 0; i < 200 && reply.size() < 4; ++i) {
        QApplication::processEvents();
        socket.waitForReadyRead(10);
        reply += socket.readAll();
    }
    ASSERT_EQ(reply.size(), 4);
    EXPECT_EQ(reply[0], 1);
    for (int i = 0; i < 50 && BoardCount() == 0; ++i)
        QApplication::processEvents();
    EXPECT_EQ(BoardCount(), 1);
}

TEST_F(FirstInstanceTest, AnswersFalseToAnOversizedOrUnfinishedMessage)
{
    Start();
    CSingleInstance second(QString::fromStdString(app->GetInstanceName()));
    const std::string oversized =
        EncodeInstanceMessage({COPYDATA_OPEN, std::string(INSTANCE_MESSAGE_MAX + 10, 'a')});
    const std::string unfinished = EncodeInstanceMessage({COPYDATA_OPEN, std::string(100, 'a')});
    for (const std::string& sent : {oversized.substr(0, 64), unfinished.substr(0, 20)}) {
        QLocalSocket socket;
        socket.connectToServer(second.ServerName());
        ASSERT_TRUE(socket.waitForConnected(2000));
        socket.write(sent.data(), static_cast<qint64>(sent.size()));
        socket.flush();
        QByteArray reply;
        for (int i = 0; i < 500 && reply.size() < 4; ++i) {
            QApplication::processEvents();
            socket.waitForReadyRead(10);
            reply += socket.readAll();
        }
        ASSERT_EQ(reply.size(), 4);
        EXPECT_EQ(reply[0], 0);
    }
    EXPECT_EQ(BoardCount(), 0);
}

} // namespace
