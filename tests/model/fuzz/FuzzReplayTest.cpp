// Every reader under fuzzing answers its seeds (the project's own files) and every input that
// fuzzing ever found against it (kept under tests/data/fuzz/<target>/) without a sanitizer
// report, a hang or an escaping exception.

#include "fuzz/targets/FuzzTargets.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

std::vector<fs::path> KeptInputs(const std::string& target)
{
    std::vector<fs::path> files;
    const fs::path dir = fs::path(VELTA_SOURCE_DIR) / "tests" / "data" / "fuzz" / target;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(dir, ec))
        if (entry.is_regular_file())
            files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    return files;
}

fuzz::Bytes ReadAll(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return fuzz::Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

class FuzzReplayTest : public ::testing::TestWithParam<fuzz::Target>
{
};

TEST_P(FuzzReplayTest, SeedsAndKeptInputsReadCleanly)
{
    const fuzz::Target& target = GetParam();
    fuzz::Environment env;
    const std::vector<fuzz::Bytes> seeds = fuzz::Seeds(env, target.name, VELTA_BINARY_DIR "/VELTA0.FNT");
    ASSERT_FALSE(seeds.empty());
    for (const fuzz::Bytes& seed : seeds) {
        ASSERT_FALSE(seed.empty());
        target.run(env, seed.data(), seed.size());
    }
    for (const fs::path& file : KeptInputs(target.name)) {
        SCOPED_TRACE(file.string());
        const fuzz::Bytes bytes = ReadAll(file);
        target.run(env, bytes.data(), bytes.size());
    }
}

TEST(FuzzSeedsTest, EveryNetDialectWithAReaderHasASeed)
{
    fuzz::Environment env;
    const std::vector<fuzz::Bytes> seeds = fuzz::Seeds(env, "net-list", "");
    ASSERT_EQ(seeds.size(), static_cast<std::size_t>(fuzz::kNetDialects));
    std::vector<int> codes;
    for (const fuzz::Bytes& seed : seeds)
        codes.push_back(fuzz::NetDialectOf(seed.front()));
    std::sort(codes.begin(), codes.end());
    EXPECT_EQ(std::unique(codes.begin(), codes.end()), codes.end());
}

INSTANTIATE_TEST_SUITE_P(Readers, FuzzReplayTest, ::testing::ValuesIn(fuzz::Targets()),
                         [](const ::testing::TestParamInfo<fuzz::Target>& info) {
                             std::string name = info.param.name;
                             std::replace(name.begin(), name.end(), '-', '_');
                             return name;
                         });

} // namespace
