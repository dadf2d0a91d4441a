#include "platform/Archive.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <fstream>
#include <iterator>
#include <limits>
#include <unistd.h>

namespace {

using Bytes = std::vector<std::uint8_t>;

// A string of n bytes that uses every byte value, double-byte lead bytes and NUL included.
std::string Filler(std::size_t n)
{
    std::string s(n, '\0');
    for (std::size_t i = 0; i < n; ++i)
        s[i] = static_cast<char>((i * 7 + 0x81) & 0xFF);
    return s;
}

const std::vector<std::size_t> kStringLengths = {0, 1, 254, 255, 65534, 65535, 70000};
// One string of each length form, the longest form at its shortest.
const std::vector<std::size_t> kOnePerForm = {0, 254, 255, 65534, 65535};

struct Record
{
    std::int32_t i32 = 0;
    std::uint32_t u32 = 0;
    std::int16_t i16 = 0;
    std::uint16_t u16 = 0;
    std::uint8_t u8 = 0;
    double d = 0;
    std::vector<std::string> strings;
    double tail = 0;

    void Serialize(CArchive& ar)
    {
        if (ar.IsStoring()) {
            ar << i32 << u32 << i16 << u16 << u8 << d;
            for (const std::string& s : strings)
                ar << s;
            ar << tail;
        } else {
            ar >> i32 >> u32 >> i16 >> u16 >> u8 >> d;
            for (std::string& s : strings)
                ar >> s;
            ar >> tail;
        }
    }
};

Record SampleRecord(const std::vector<std::size_t>& stringLengths)
{
    Record r;
    r.i32 = std::numeric_limits<std::int32_t>::min();
    r.u32 = 0xFFFFFFFEu;
    r.i16 = -2;
    r.u16 = 0xBEEF;
    r.u8 = 0x80;
    r.d = -1234.5678;
    for (std::size_t n : stringLengths)
        r.strings.push_back(Filler(n));
    r.tail = 0.1;
    return r;
}

Bytes Store(Record r)
{
    CArchive ar(CArchive::store);
    r.Serialize(ar);
    return ar.Data();
}

TEST(ArchiveTest, RoundTripsEveryFieldType)
{
    Record in = SampleRecord(kStringLengths);
    Bytes bytes = Store(in);

    CArchive ar(CArchive::load, bytes);
    Record out;
    out.strings.resize(in.strings.size());
    out.Serialize(ar);
    EXPECT_EQ(out.i32, in.i32);
    EXPECT_EQ(out.u32, in.u32);
    EXPECT_EQ(out.i16, in.i16);
    EXPECT_EQ(out.u16, in.u16);
    EXPECT_EQ(out.u8, in.u8);
    EXPECT_EQ(out.d, in.d);
    EXPECT_EQ(out.strings, in.strings);
    EXPECT_EQ(out.tail, in.tail);
    EXPECT_EQ(ar.Remaining(), 0u);
}

TEST(ArchiveTest, DoublesKeepTheirBits)
{
    const double values[] = {0.0,
                             -0.0,
                             1e-310,
                             std::numeric_limits<double>::infinity(),
                             std::numeric_limits<double>::quiet_NaN(),
                             6.02214076e23};
    CArchive st(CArchive::store);
    for (double v : values)
        st << v;
    CArchive ld(CArchive::load, st.Data());
    for (double v : values) {
        double r = 1;
        ld >> r;
        EXPECT_EQ(std::memcmp(&r, &v, sizeof v), 0) << v;
    }
}

TEST(ArchiveTest, IntegersAndDoublesAreLittleEndian)
{
    CArchive ar(CArchive::store);
    ar << std::int32_t{-2} << std::uint32_t{0x12345678} << std::int16_t{-3} << std::uint16_t{0x1234}
       << std::uint8_t{0xAB} << 1.0;
    EXPECT_EQ(ar.Data(), (Bytes{0xFE, 0xFF, 0xFF, 0xFF, 0x78, 0x56, 0x34, 0x12, 0xFD, 0xFF, 0x34,
                                0x12, 0xAB, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xF0, 0x3F}));
}

TEST(ArchiveTest, StringLengthForms)
{
    struct Case
    {
        std::size_t length;
        Bytes prefix;
    };
    const Case cases[] = {
        {0, {0x00}},
        {254, {0xFE}},
        {255, {0xFF, 0xFF, 0x00}},
        {65534, {0xFF, 0xFE, 0xFF}},
        {65535, {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x00}},
        {70000, {0xFF, 0xFF, 0xFF, 0x70, 0x11, 0x01, 0x00}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.length);
        std::string s = Filler(c.length);
        CArchive ar(CArchive::store);
        ar << s;
        const Bytes& data = ar.Data();
        ASSERT_EQ(data.size(), c.prefix.size() + c.length);
        EXPECT_EQ(Bytes(data.begin(), data.begin() + static_cast<std::ptrdiff_t>(c.prefix.size())), c.prefix);
        EXPECT_EQ(std::string(data.begin() + static_cast<std::ptrdiff_t>(c.prefix.size()), data.end()), s);
    }
}

TEST(ArchiveTest, LongerLengthFormsOfShortStringsAreRead)
{
    // Only the length decides; a writer that chose a longer form than needed is still understood.
    CArchive ar(CArchive::load, Bytes{0xFF, 0x02, 0x00, 'a', 'b', 0xFF, 0xFF, 0xFF, 0x01, 0, 0, 0, 'c'});
    std::string a, b;
    ar >> a >> b;
    EXPECT_EQ(a, "ab");
    EXPECT_EQ(b, "c");
}

TEST(ArchiveTest, EveryTruncationOfARecordIsAnArchiveError)
{
    Bytes bytes = Store(SampleRecord(kOnePerForm));
    Record r;
    r.strings.resize(kOnePerForm.size());
    // Shorten one buffer step by step and hand it back and forth, so no prefix is copied.
    for (std::size_t len = bytes.size(); len-- > 0;) {
        bytes.resize(len);
        CArchive ar(CArchive::load, std::move(bytes));
        try {
            r.Serialize(ar);
            ADD_FAILURE() << "no error at length " << len;
            return;
        } catch (const ArchiveError& e) {
            if (e.cause() != ArchiveError::EndOfFile) {
                ADD_FAILURE() << "cause " << e.cause() << " at length " << len;
                return;
            }
        }
        bytes = ar.TakeData();
        ASSERT_EQ(bytes.size(), len);
    }
}

TEST(ArchiveTest, OversizedStringLengthIsAnErrorAndConsumesNothing)
{
    CArchive ar(CArchive::load, Bytes{0xFF, 0xFF, 0xFF, 0xF0, 0xFF, 0xFF, 0xFF, 'x', 'y'});
    std::string s = "kept";
    EXPECT_THROW(ar >> s, ArchiveError);
    EXPECT_EQ(s, "kept");
    EXPECT_EQ(ar.GetPosition(), 0u);
}

TEST(ArchiveTest, RawReadsAndSeek)
{
    CArchive ar(CArchive::load, Bytes{1, 2, 3});
    std::uint8_t buf[4] = {};
    EXPECT_THROW(ar.Read(buf, 4), ArchiveError);
    EXPECT_EQ(ar.GetPosition(), 0u);
    EXPECT_EQ(ar.ReadSome(buf, 4), 3u);
    EXPECT_EQ(buf[2], 3);
    EXPECT_EQ(ar.ReadSome(buf, 4), 0u);
    ar.Seek(1);
    std::uint16_t v = 0;
    ar >> v;
    EXPECT_EQ(v, 0x0302);
    EXPECT_THROW(ar.Seek(4), ArchiveError);
}

TEST(ArchiveTest, ReadStringSplitsLinesAndKeepsBytes)
{
    std::string text = "VELTA DATA FILE Ver 006\r\n\x82\xA0\x83\x5C\r\n\na\rb\nlast";
    CArchive ar(CArchive::load, Bytes(text.begin(), text.end()));
    std::vector<std::string> lines;
    std::string line;
    while (ar.ReadString(line))
        lines.push_back(line);
    EXPECT_EQ(lines,
              (std::vector<std::string>{"VELTA DATA FILE Ver 006", "\x82\xA0\x83\x5C", "", "a\rb", "last"}));
}

TEST(ArchiveTest, BinaryFollowsATextLine)
{
    CArchive st(CArchive::store);
    st.WriteString("VELTA DATA FILE Ver 006\n");
    st << std::uint32_t{900} << std::string("name");
    CArchive ld(CArchive::load, st.Data());
    std::string line, name;
    std::uint32_t marker = 0;
    ASSERT_TRUE(ld.ReadString(line));
    ld >> marker >> name;
    EXPECT_EQ(line, "VELTA DATA FILE Ver 006");
    EXPECT_EQ(marker, 900u);
    EXPECT_EQ(name, "name");
}

TEST(ArchiveTest, SideBufferReadsBackAsAnArchive)
{
    CDocument doc;
    CArchive board(CArchive::load, Bytes{});
    board.SetDocument(&doc);
    CArchive links(CArchive::store);
    links << std::int32_t{3} << std::int32_t{-7} << std::string("T1");
    board.SideBuffer() = links.TakeData();
    EXPECT_TRUE(links.Data().empty());

    std::unique_ptr<CArchive> side = board.OpenSideBuffer();
    ASSERT_TRUE(side->IsLoading());
    EXPECT_EQ(side->GetDocument(), &doc);
    std::int32_t a = 0, b = 0;
    std::string t;
    *side >> a >> b >> t;
    EXPECT_EQ(a, 3);
    EXPECT_EQ(b, -7);
    EXPECT_EQ(t, "T1");
    EXPECT_THROW(*side >> a, ArchiveError);
}

class ArchiveFileTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_dir = std::filesystem::temp_directory_path() /
                ("velta-archive-test-" + std::to_string(::getpid()) + "-" +
                 ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(m_dir);
        std::filesystem::create_directories(m_dir);
    }
    void TearDown() override { std::filesystem::remove_all(m_dir); }

    static void WriteFile(const std::filesystem::path& p, const std::string& content)
    {
        std::ofstream(p, std::ios::binary) << content;
    }
    static std::string ReadFile(const std::filesystem::path& p)
    {
        std::ifstream in(p, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    std::vector<std::string> Entries() const
    {
        std::vector<std::string> names;
        for (const auto& e : std::filesystem::directory_iterator(m_dir))
            names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    std::filesystem::path m_dir;
};

TEST_F(ArchiveFileTest, StoresAndLoadsAFile)
{
    const auto path = m_dir / "board.vbd";
    {
        auto ar = CArchive::OpenFile(path, CArchive::store);
        EXPECT_EQ(ar->GetPath(), path);
        ar->WriteString("head\n");
        *ar << std::int32_t{42} << std::string(300, 'x');
        EXPECT_FALSE(std::filesystem::exists(path)); // nothing is written before Close
        ar->Close();
    }
    auto ar = CArchive::OpenFile(path, CArchive::load);
    EXPECT_EQ(ar->GetPath(), path);
    std::string line, s;
    std::int32_t v = 0;
    ASSERT_TRUE(ar->ReadString(line));
    *ar >> v >> s;
    EXPECT_EQ(line, "head");
    EXPECT_EQ(v, 42);
    EXPECT_EQ(s, std::string(300, 'x'));
    EXPECT_EQ(Entries(), std::vector<std::string>{"board.vbd"});
}

TEST_F(ArchiveFileTest, ReplacesTheOldFileKeepingItsPermissions)
{
    const auto path = m_dir / "board.vbd";
    WriteFile(path, "old contents");
    std::filesystem::permissions(path, std::filesystem::perms(0640));
    {
        auto ar = CArchive::OpenFile(path, CArchive::store);
        ar->WriteString("new");
    } // the destructor commits an archive nobody closed
    EXPECT_EQ(ReadFile(path), "new");
    EXPECT_EQ(std::filesystem::status(path).permissions(), std::filesystem::perms(0640));
    EXPECT_EQ(Entries(), std::vector<std::string>{"board.vbd"});
}

TEST_F(ArchiveFileTest, FailedWriteIntoAMissingFolderLeavesNothing)
{
    const auto path = m_dir / "missing" / "board.vbd";
    auto ar = CArchive::OpenFile(path, CArchive::store);
    ar->WriteString("data");
    try {
        ar->Close();
        FAIL() << "no error";
    } catch (const ArchiveError& e) {
        EXPECT_EQ(e.cause(), ArchiveError::WriteFailed);
    }
    EXPECT_FALSE(std::filesystem::exists(m_dir / "missing"));
    EXPECT_TRUE(Entries().empty());
}

TEST_F(ArchiveFileTest, FailedReplaceKeepsTheTarget)
{
    // A target that cannot be replaced by a file (a non-empty folder) stands for any rename failure.
    const auto path = m_dir / "board.vbd";
    std::filesystem::create_directory(path);
    WriteFile(path / "inside", "keep");
    auto ar = CArchive::OpenFile(path, CArchive::store);
    ar->WriteString("data");
    EXPECT_THROW(ar->Close(), ArchiveError);
    EXPECT_EQ(ReadFile(path / "inside"), "keep");
    EXPECT_EQ(Entries(), std::vector<std::string>{"board.vbd"}); // no temporary file left
}

TEST_F(ArchiveFileTest, AbortOrAnErrorWhileWritingKeepsTheOldFile)
{
    const auto path = m_dir / "board.vbd";
    WriteFile(path, "old");
    {
        auto ar = CArchive::OpenFile(path, CArchive::store);
        ar->WriteString("half");
        ar->Abort();
    }
    EXPECT_EQ(ReadFile(path), "old");
    try {
        auto ar = CArchive::OpenFile(path, CArchive::store);
        ar->WriteString("half");
        CArchive bad(CArchive::load, Bytes{});
        std::int32_t v;
        bad >> v; // throws while the file archive is open
    } catch (const ArchiveError&) {
    }
    EXPECT_EQ(ReadFile(path), "old");
    EXPECT_EQ(Entries(), std::vector<std::string>{"board.vbd"});
}

TEST_F(ArchiveFileTest, LoadingAMissingFileIsReadFailed)
{
    try {
        CArchive::OpenFile(m_dir / "none.vbd", CArchive::load);
        FAIL() << "no error";
    } catch (const ArchiveError& e) {
        EXPECT_EQ(e.cause(), ArchiveError::ReadFailed);
    }
}

} // namespace
