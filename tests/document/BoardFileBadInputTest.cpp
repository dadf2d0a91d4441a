// Damaged board files: every one gives the failed-to-open message and no document, never a crash
// or a leak.

#include "platform/Archive.h"
#include "platform/J.h"
#include "tests/document/BoardFileFixture.h"

#include <algorithm>
#include <cstring>

namespace {

namespace fs = std::filesystem;

class BoardFileBadInputTest : public BoardFileFixture
{
protected:
    void SetUp() override
    {
        BoardFileFixture::SetUp();
        auto board = NewBoard();
        AddItems(*board);
        ASSERT_TRUE(board->OnSaveDocument(Cp(Good())));
        const std::string s = ReadFile(Good());
        good.assign(s.begin(), s.end());
        messages.Clear();
    }
    fs::path Good() const { return BoardFolder() / "good.vbd"; }
    fs::path Bad() const { return BoardFolder() / "bad.vbd"; }

    // Opens the bytes as a board: true when a document came out.
    bool OpenBytes(const std::vector<std::uint8_t>& bytes)
    {
        WriteFile(Bad(), std::string(bytes.begin(), bytes.end()));
        auto d = NewDoc();
        return d->OnOpenDocument(Cp(Bad()));
    }
    bool FailedToOpen() const
    {
        const std::string failed = platform::Format(_J("%s を開けませんでした。").c_str(), Cp(Bad()).c_str());
        return messages.Count() == 1 && messages.Last().text.compare(0, failed.size(), failed) == 0;
    }

    // Offsets worth a test: all of them, except that of the run of empty layer records (layers 2 to
    // 127, twelve bytes each and all read alike) only the first two records and the last are
    // taken, which keeps the test quick under the sanitizers.
    std::vector<std::size_t> Offsets() const
    {
        auto find = [this](int layer) {
            const std::int32_t record[3] = {SHEET_BOARD, layer, 0};
            const auto* bytes = reinterpret_cast<const std::uint8_t*>(record);
            return static_cast<std::size_t>(std::search(good.begin(), good.end(), bytes, bytes + 12) -
                                            good.begin());
        };
        const std::size_t first = find(2), last = find(LAYER_MAX - 1);
        EXPECT_LT(first, last);
        std::vector<std::size_t> offsets;
        for (std::size_t at = 0; at < good.size(); ++at)
            if (at < first + 24 || at >= last)
                offsets.push_back(at);
        return offsets;
    }

    std::vector<std::uint8_t> good;
};

TEST_F(BoardFileBadInputTest, ABoardCutAtEveryOffset)
{
    ASSERT_TRUE(OpenBytes(good));
    // Cuts inside the header line leave text that is not a board's; any later cut is reported.
    for (std::size_t size : Offsets()) {
        if (size < 24)
            continue;
        messages.Clear();
        const std::vector<std::uint8_t> cut(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(size));
        ASSERT_FALSE(OpenBytes(cut)) << size;
        ASSERT_TRUE(FailedToOpen()) << size;
    }
    for (std::size_t size = 1; size < 24; ++size)
        ASSERT_FALSE(OpenBytes(
            std::vector<std::uint8_t>(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(size))));
}

TEST_F(BoardFileBadInputTest, FlippedBytesNeverCrash)
{
    for (std::size_t at : Offsets()) {
        std::vector<std::uint8_t> bytes = good;
        bytes[at] ^= 0xFF;
        messages.Clear();
        if (!OpenBytes(bytes) && at >= 24 && messages.Count() == 0)
            ADD_FAILURE() << "refused without a word at " << at;
    }
}

TEST_F(BoardFileBadInputTest, HugeCountsAndEndlessTags)
{
    // A property count of 2^31.
    std::vector<std::uint8_t> bytes = good;
    const std::uint32_t huge = 0x80000000u;
    std::memcpy(bytes.data() + 28, &huge, 4);
    EXPECT_FALSE(OpenBytes(bytes));
    EXPECT_TRUE(FailedToOpen());

    // A line count of 2^31 in the first sheet record.
    messages.Clear();
    bytes = good;
    std::memcpy(bytes.data() + 24 + 8 + 20 + 20 + 36 + 12, &huge, 4);
    EXPECT_FALSE(OpenBytes(bytes));
    EXPECT_TRUE(FailedToOpen());

    // Unknown tags up to the end of the file.
    messages.Clear();
    CArchive tags(CArchive::store);
    tags.Write(good.data(), 32);
    for (int i = 0; i < 200000; ++i)
        tags << std::uint32_t{7};
    EXPECT_FALSE(OpenBytes(tags.Data()));
    EXPECT_TRUE(FailedToOpen());
}

} // namespace
