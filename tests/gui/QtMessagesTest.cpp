#include "platform/qt/QtMessages.h"
#include "platform/J.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

using namespace platform;

namespace {

QStringList ButtonTexts(const QMessageBox& box)
{
    // In the order of the type word, whatever order the style lays them out in.
    QStringList texts;
    for (int id : {IDOK, IDYES, IDNO, IDABORT, IDRETRY, IDIGNORE, IDCANCEL}) {
        for (QAbstractButton* b : box.buttons()) {
            if (b->property("messageId").toInt() == id)
                texts << b->text();
        }
    }
    return texts;
}

QAbstractButton* ButtonFor(const QMessageBox& box, int id)
{
    for (QAbstractButton* b : box.buttons()) {
        if (b->property("messageId").toInt() == id)
            return b;
    }
    return nullptr;
}

} // namespace

TEST(QtMessages, BoxFollowsTheTypeWord)
{
    QMessageBox box;
    const unsigned type = MB_YESNOCANCEL | MB_ICONQUESTION | MB_DEFBUTTON2;
    QtMessages::Prepare(box, _J("部品を分解しますか？"), "VELTA", type);
    EXPECT_EQ(box.text(), QStringLiteral(u"部品を分解しますか？"));
    EXPECT_EQ(box.windowTitle(), QStringLiteral("VELTA"));
    EXPECT_EQ(box.icon(), QMessageBox::Question);
    EXPECT_EQ(ButtonTexts(box), (QStringList{QStringLiteral(u"はい(&Y)"), QStringLiteral(u"いいえ(&N)"),
                                             QStringLiteral(u"キャンセル")}));
    EXPECT_EQ(box.defaultButton(), ButtonFor(box, IDNO));
    EXPECT_EQ(box.escapeButton(), ButtonFor(box, IDCANCEL));
}

TEST(QtMessages, IconsAndAnswers)
{
    struct Case
    {
        unsigned type;
        QMessageBox::Icon icon;
        int click;
    };
    const Case cases[] = {
        {MB_OK, QMessageBox::NoIcon, IDOK},
        {MB_OK | MB_ICONHAND, QMessageBox::Critical, IDOK},
        {MB_OKCANCEL | MB_ICONEXCLAMATION, QMessageBox::Warning, IDCANCEL},
        {MB_YESNO | MB_ICONASTERISK, QMessageBox::Information, IDNO},
        {MB_ABORTRETRYIGNORE, QMessageBox::NoIcon, IDIGNORE},
        {MB_RETRYCANCEL, QMessageBox::NoIcon, IDRETRY},
    };
    for (const Case& c : cases) {
        QMessageBox box;
        QtMessages::Prepare(box, "text", "", c.type);
        EXPECT_EQ(box.icon(), c.icon) << c.type;
        EXPECT_EQ(box.buttons().size(), static_cast<qsizetype>(MessageButtons(c.type).size()));
        QAbstractButton* button = ButtonFor(box, c.click);
        ASSERT_NE(button, nullptr) << c.type;
        button->click();
        EXPECT_EQ(QtMessages::Answer(box, c.type), c.click) << c.type;
    }
}

TEST(QtMessages, ShowRunsTheBoxAndReturnsTheChosenButton)
{
    QtMessages messages;
    // Press the default button once the box is up.
    QTimer::singleShot(0, [] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box && box->defaultButton())
            box->defaultButton()->click();
    });
    EXPECT_EQ(messages.Show(_J("実行しますか？"), "VELTA", MB_OKCANCEL | MB_DEFBUTTON2), IDCANCEL);
}
