#include <gtest/gtest.h>

#include <clocale>

// fontconfig loses a few bytes while it parses its configuration files (the stack of that
// allocation ends in the library itself, so the whole library is excused).
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }

int main(int argc, char** argv)
{
    // The model never depends on the user's locale; run the tests in "C" as the program does.
    std::setlocale(LC_ALL, "C");
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
