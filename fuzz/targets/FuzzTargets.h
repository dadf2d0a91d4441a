#pragma once
// The readers under fuzzing, one entry each. The bytes reach the reader as a file of its kind
// would, and what it read is then used as the program uses it (bounds, filled surfaces, written
// again), so that a damaged record that reads "successfully" is exercised too. The libFuzzer
// programs of fuzz/ call these; the model tests replay the seeds and every input kept under
// tests/data/fuzz/<target>/ through them.

#include "platform/Messages.h"
#include "platform/Profile.h"
#include "tests/support/PartBoard.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace fuzz {

using Bytes = std::vector<std::uint8_t>;

// Every message box is answered with its default button, and nothing is kept.
class DefaultAnswers : public platform::MessageService
{
public:
    int Show(const std::string&, const std::string&, unsigned type) override
    {
        ++shown;
        return platform::DefaultMessageAnswer(type);
    }
    long shown = 0;
};

// What the readers need around them: the two-layer part board as the frame's document, message
// boxes that answer by default, an empty in-memory profile and a folder of this process's own
// for the readers that read files. Installed while it lives.
class Environment
{
public:
    Environment();
    ~Environment();
    Environment(const Environment&) = delete;
    Environment& operator=(const Environment&) = delete;

    // Writes the bytes to a file of that name in the folder; its path.
    std::string WriteFile(const std::string& name, const std::uint8_t* data, std::size_t size);
    std::string PathOf(const std::string& name) const;

    testing_support::PartBoard board;
    DefaultAnswers messages;
    platform::MemoryProfile profile;

private:
    std::filesystem::path m_dir;
};

struct Target
{
    const char* name; // also the folder of its inputs under tests/data/fuzz
    void (*run)(Environment& env, const std::uint8_t* data, std::size_t size);
};

// The net-list dialect that the net-list target's first byte selects: the selectors 0 to
// kNetDialects - 1 name every dialect with a reader once.
constexpr int kNetDialects = 16;
int NetDialectOf(std::uint8_t selector);

// Every target: layer-record, item-text, library-file, text-library, net-list, stroke-font.
const std::vector<Target>& Targets();
const Target* FindTarget(const std::string& name);

// The first inputs of a target, written by the project's own writers. The stroke-font target's
// are slices of the given stroke-font file (none without one).
std::vector<Bytes> Seeds(Environment& env, const std::string& target, const std::string& strokeFontFile);

} // namespace fuzz
