// A libFuzzer program for one reader (VELTA_FUZZ_TARGET names it in fuzz/targets).

#include "fuzz/targets/FuzzTargets.h"

#include <clocale>
#include <cstdio>
#include <cstdlib>

// fontconfig loses a few bytes while it parses its configuration files.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libfontconfig.so\n";
}

namespace {

fuzz::Environment* g_env = nullptr;
const fuzz::Target* g_target = nullptr;

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    // The model never depends on the user's locale; the program runs in "C".
    std::setlocale(LC_ALL, "C");
    g_target = fuzz::FindTarget(VELTA_FUZZ_TARGET);
    if (!g_target) {
        std::fprintf(stderr, "no fuzz target %s\n", VELTA_FUZZ_TARGET);
        std::abort();
    }
    g_env = new fuzz::Environment;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    g_target->run(*g_env, data, size);
    return 0;
}
