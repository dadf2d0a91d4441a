// Starting the program without the stroke font beside it.

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>

namespace {

namespace fs = std::filesystem;

struct ProgramRun
{
    int exitCode = -1;
    std::string output;
};

// Runs a copy of the program from `programFolder` with `workFolder` as the current folder, without
// a screen, so that messages go to standard error instead of waiting for an answer.
ProgramRun StartProgram(const fs::path& programFolder, const fs::path& workFolder)
{
    const std::string command = "cd '" + workFolder.string() +
                                "' && QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=0 timeout 30 '" +
                                (programFolder / "velta").string() + "' 2>&1";
    ProgramRun run;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe)
        return run;
    char buffer[512];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
        run.output.append(buffer, n);
    const int status = ::pclose(pipe);
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

TEST(StartupTest, MissingFontFileStopsTheProgram)
{
    const fs::path root = fs::temp_directory_path() / ("velta-startup-" + std::to_string(::getpid()));
    const fs::path programFolder = root / "program";
    const fs::path workFolder = root / "work";
    fs::create_directories(programFolder);
    fs::create_directories(workFolder);
    fs::copy_file(VELTA_BINARY_DIR "/velta", programFolder / "velta");
    // A font file in the current folder does not count: it is looked for beside the program.
    fs::copy_file(VELTA_BINARY_DIR "/VELTA0.FNT", workFolder / "VELTA0.FNT");

    const ProgramRun run = StartProgram(programFolder, workFolder);
    EXPECT_EQ(run.exitCode, 1) << run.output;
    EXPECT_NE(run.output.find("Font file open error !"), std::string::npos) << run.output;

    fs::remove_all(root);
}

} // namespace
