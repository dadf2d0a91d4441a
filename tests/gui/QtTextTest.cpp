#include "platform/qt/QtText.h"

#include <gtest/gtest.h>

using namespace platform;

TEST(QtText, ConvertsBothWays)
{
    const std::string buhin = "\x95\x94\x95\x69";
    EXPECT_EQ(Cp932ToQString(buhin), QStringLiteral(u"部品"));
    EXPECT_EQ(QStringToCp932(QStringLiteral(u"部品")), buhin);
    EXPECT_EQ(QStringToCp932(QStringLiteral(u"ｱソ\\~")), std::string("\xB1\x83\x5C\\~"));
    EXPECT_EQ(QStringToCp932(QString()), std::string());
    EXPECT_EQ(Cp932ToQString("\x80"
                             "A"),
              QStringLiteral(u"\uFFFDA"));
}

TEST(QtText, RefusesCharactersCp932CannotExpress)
{
    for (const QString& text :
         {QStringLiteral(u"a\u00FF"), QStringLiteral(u"\U0001F600"), QStringLiteral(u"\uFFFD"),
          QString(QChar(0xD800)) + QStringLiteral(u"a"), QString(QChar(0xDC00))}) {
        SCOPED_TRACE(text.toStdString());
        EXPECT_FALSE(QStringToCp932(text));
    }
}
