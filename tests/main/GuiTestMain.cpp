#include <gtest/gtest.h>

#include <QApplication>
#include <clocale>
#include <cstdlib>

// fontconfig loses a few bytes while it parses its configuration files (the stack of that
// allocation ends in the library itself, so the whole library is excused).
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }

int main(int argc, char** argv)
{
    // GUI tests drive real widgets without a display.
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    return RUN_ALL_TESTS();
}
