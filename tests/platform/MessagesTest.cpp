#include "platform/Messages.h"
#include "platform/J.h"

#include <gtest/gtest.h>

#include <vector>

using namespace platform;

namespace {

// Installs the recorder for one test and leaves no service behind.
class MessagesTest : public ::testing::Test
{
protected:
    void SetUp() override { SetMessageService(&messages); }
    void TearDown() override
    {
        SetMessageService(nullptr);
        SetAppCaption("VELTA");
    }

    RecordingMessages messages;
};

} // namespace

TEST(MessageButtons, ButtonsDefaultsAndEscapeByType)
{
    struct Case
    {
        unsigned type;
        std::vector<int> buttons;
        int byDefault;
        int escape;
    };
    const Case cases[] = {
        {MB_OK, {IDOK}, IDOK, IDOK},
        {MB_OKCANCEL | MB_ICONEXCLAMATION | MB_DEFBUTTON2, {IDOK, IDCANCEL}, IDCANCEL, IDCANCEL},
        {MB_ABORTRETRYIGNORE, {IDABORT, IDRETRY, IDIGNORE}, IDABORT, 0},
        {MB_ABORTRETRYIGNORE | MB_DEFBUTTON3, {IDABORT, IDRETRY, IDIGNORE}, IDIGNORE, 0},
        {MB_YESNOCANCEL | MB_DEFBUTTON2, {IDYES, IDNO, IDCANCEL}, IDNO, IDCANCEL},
        {MB_YESNO | MB_ICONQUESTION, {IDYES, IDNO}, IDYES, 0},
        {MB_YESNO | MB_DEFBUTTON2, {IDYES, IDNO}, IDNO, 0},
        {MB_RETRYCANCEL, {IDRETRY, IDCANCEL}, IDRETRY, IDCANCEL},
        // A default button past the last one falls back to the first.
        {MB_OK | MB_DEFBUTTON3, {IDOK}, IDOK, IDOK},
        {MB_YESNO | MB_DEFBUTTON3, {IDYES, IDNO}, IDYES, 0},
        // Button codes we do not know show a plain OK box.
        {0xE, {IDOK}, IDOK, IDOK},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(MessageButtons(c.type), c.buttons) << std::hex << c.type;
        EXPECT_EQ(DefaultMessageAnswer(c.type), c.byDefault) << std::hex << c.type;
        EXPECT_EQ(EscapeMessageAnswer(c.type), c.escape) << std::hex << c.type;
    }
}

TEST_F(MessagesTest, RecordsAndAnswersFromQueueThenDefaults)
{
    messages.QueueAnswer(IDNO);
    messages.QueueAnswer(IDCANCEL);
    const std::string question = _J("同名の部品が存在します。\n上書きしますか？");

    EXPECT_EQ(MessageBox(question, "VELTA", MB_YESNO | MB_ICONQUESTION), IDNO);
    EXPECT_EQ(MessageBox("second", "cap", MB_OKCANCEL), IDCANCEL);
    EXPECT_EQ(messages.PendingAnswers(), 0u);
    // Queue empty: the box's default button, as if Enter were pressed.
    EXPECT_EQ(MessageBox("third", "cap", MB_YESNO | MB_DEFBUTTON2), IDNO);
    EXPECT_EQ(MessageBox("fourth", "cap", MB_OKCANCEL), IDOK);
    // A fixed default answer overrides the default button.
    messages.SetDefaultAnswer(IDCANCEL);
    EXPECT_EQ(MessageBox("fifth", "cap", MB_OKCANCEL), IDCANCEL);

    ASSERT_EQ(messages.Count(), 5u);
    const auto& first = messages.Entries()[0];
    EXPECT_EQ(first.text, question);
    EXPECT_EQ(first.caption, "VELTA");
    EXPECT_EQ(first.type, MB_YESNO | MB_ICONQUESTION);
    EXPECT_EQ(first.answer, IDNO);
    EXPECT_EQ(messages.Last().text, "fifth");
    EXPECT_EQ(messages.Texts(), (std::vector<std::string>{question, "second", "third", "fourth", "fifth"}));
}

TEST_F(MessagesTest, AfxMessageBoxUsesTheProgramCaption)
{
    EXPECT_EQ(AfxMessageBox("Cannot make bitmap"), IDOK);
    ASSERT_EQ(messages.Count(), 1u);
    EXPECT_EQ(messages.Last().caption, "VELTA");
    EXPECT_EQ(messages.Last().type, MB_OK);

    SetAppCaption(_J("基板"));
    messages.QueueAnswer(IDYES);
    EXPECT_EQ(AfxMessageBox("q", MB_YESNO), IDYES);
    EXPECT_EQ(messages.Last().caption, _J("基板"));
}

TEST(MessageBoxWithoutService, AnswersTheDefaultButton)
{
    ASSERT_EQ(GetMessageService(), nullptr);
    EXPECT_EQ(MessageBox("no one asked", "VELTA", MB_YESNOCANCEL | MB_DEFBUTTON3), IDCANCEL);
    EXPECT_EQ(AfxMessageBox("plain"), IDOK);
}
