#include <gtest/gtest.h>

#include <clocale>

int main(int argc, char** argv)
{
    // The model never depends on the user's locale; run the tests in "C" as the program does.
    std::setlocale(LC_ALL, "C");
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
