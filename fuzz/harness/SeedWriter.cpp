// Writes the seeds of every fuzz target, made by the project's own writers, as files
// <folder>/<target>/seed-<n>. Usage: velta_fuzz_seeds <folder> [stroke-font file]

#include "fuzz/targets/FuzzTargets.h"

#include <clocale>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libfontconfig.so\n";
}

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s <folder> [stroke-font file]\n", argv[0]);
        return 2;
    }
    std::setlocale(LC_ALL, "C");
    const std::filesystem::path root = argv[1];
    const std::string font = argc > 2 ? argv[2] : "";
    fuzz::Environment env;
    int written = 0;
    for (const fuzz::Target& target : fuzz::Targets()) {
        const std::filesystem::path dir = root / target.name;
        std::filesystem::create_directories(dir);
        int n = 0;
        for (const fuzz::Bytes& seed : fuzz::Seeds(env, target.name, font)) {
            std::ofstream(dir / ("seed-" + std::to_string(++n)), std::ios::binary)
                .write(reinterpret_cast<const char*>(seed.data()), static_cast<std::streamsize>(seed.size()));
            ++written;
        }
        if (n == 0) {
            std::fprintf(stderr, "no seeds for %s\n", target.name);
            return 1;
        }
    }
    std::printf("%d seeds written to %s\n", written, root.c_str());
    return 0;
}
