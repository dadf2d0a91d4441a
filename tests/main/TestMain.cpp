#include "model/startup/Startup.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstdio>

// fontconfig loses a few bytes while it parses its configuration files (the stack of that
// allocation ends in the library itself, so the whole library is excused).
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libfontconfig.so\n";
}

int main(int argc, char** argv)
{
    // The model never depends on the user's locale; run the tests in "C" as the program does.
    std::setlocale(LC_ALL, "C");
    ::testing::InitGoogleTest(&argc, argv);
    // The model's parts find each other as the program's start-up connects them; tests that need
    // the stroke font open one of their own.
    std::string missing;
    if (!InstallQuarnHooks(&missing)) {
        std::fprintf(stderr, "Item kinds not registered: %s\n", missing.c_str());
        return 1;
    }
    return RUN_ALL_TESTS();
}
