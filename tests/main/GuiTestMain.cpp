#include "model/startup/Startup.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <clocale>
#include <cstdio>
#include <cstdlib>

// fontconfig loses a few bytes while it parses its configuration files (the stack of that
// allocation ends in the library itself, so the whole library is excused).
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libfontconfig.so\n";
}

int main(int argc, char** argv)
{
    // GUI tests drive real widgets without a display.
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    // Print jobs of the tests must never reach a real printer: the print server is one that does
    // not exist, so every machine answers "no printer" alike.
    setenv("CUPS_SERVER", "/nonexistent/velta-tests/cups.sock", 1);
    ::testing::InitGoogleTest(&argc, argv);
    // The model's parts find each other as the program's start-up connects them; tests that need
    // the stroke font open one of their own.
    std::string missing;
    if (!InstallQuarnHooks(&missing)) {
        std::fprintf(stderr, "Item kinds not registered: %s\n", missing.c_str());
        return 1;
    }
    QApplication app(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    return RUN_ALL_TESTS();
}
