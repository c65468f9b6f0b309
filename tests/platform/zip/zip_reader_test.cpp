// The zip reader on archives built byte by byte: names, attributes and sizes as the central
// directory gives them; malformed archives refused without a crash; extraction that lands files
// below the destination whole and checked, or not at all.
#include <gtest/gtest.h>
#include <zlib.h>

#include <chrono>
#include <ctime>
#include <stdexcept>

#include "platform/zip/zip_reader.h"
#include "zip_builder.h"
#include "zip_test_support.h"

namespace ardmoor::zip::test {
namespace {

constexpr uint32_t kCentral = 0x02014b50, kEnd = 0x06054b50;

class ZipTest : public ::testing::Test {
protected:
    // Archives live beside the destination, so that anything written outside it shows.
    void SetUp() override { dest_ = temp_.path() / "dest"; }
    ZipError OpenBytes(const std::string& bytes) {
        const fs::path file = temp_.path() / "a.zip";
        WriteBytes(file, bytes);
        return reader_.Open(file);
    }
    // Extracts entry 0 of a one-entry archive.
    ZipError ExtractOne(const BuildEntry& entry) {
        EXPECT_EQ(OpenBytes(BuildZip({entry})), ZipError::None);
        return reader_.Extract(0, dest_);
    }
    // Nothing but the archive and, at most, an empty destination.
    void ExpectNothingWritten(const std::string& what) {
        std::vector<std::string> expected = {"a.zip"};
        if (fs::exists(dest_)) expected.push_back("dest/");
        EXPECT_EQ(ListTree(temp_.path()), expected) << what;
    }
    TempFolder temp_;
    fs::path dest_;
    ZipReader reader_;
};

std::string UnicodePathExtra(std::string_view raw, std::string_view utf8) {
    std::string f(9, '\1');
    PutLe16(f, 0, 0x7075);
    PutLe16(f, 2, static_cast<uint16_t>(5 + utf8.size()));
    PutLe32(f, 5, crc32(0, reinterpret_cast<const Bytef*>(raw.data()), static_cast<uInt>(raw.size())));
    return f + std::string(utf8);
}

TEST_F(ZipTest, ListsNamesAttributesAndSizes) {
    std::vector<BuildEntry> e(8);
    e[0] = {.name = "disk1/", .method = 0, .host = 0, .external = 0x10};
    e[1] = {.name = "disk1/sub/Setup.exe", .data = std::string(5000, 'x'), .host = 0, .external = 0x21};
    e[2] = {.name = "\xE6\x97\xA5\xE6\x9C\xAC/\xC3\xBC.txt", .data = "utf8", .flags = 0x0800};
    e[3] = {.name = "\x81" "ber.txt", .data = "cp437", .host = 0};  // DOS tool: CP437
    e[4] = {.name = "caf\xC3\xA9.txt", .data = "unix", .external = 0100444u << 16};  // Unix tool: UTF-8, no flag
    e[5] = {.name = "bad\xE9.txt", .data = "not utf8"};  // Unix tool, but no UTF-8: CP437
    e[6] = {.name = "old.txt", .data = "x", .centralExtra = UnicodePathExtra("old.txt", "\xC3\xA4lt.txt")};
    e[7] = {.name = "stale.txt", .data = "x", .flags = 1, .centralExtra = UnicodePathExtra("other", "wrong.txt")};
    ASSERT_EQ(OpenBytes(BuildZip(e)), ZipError::None);
    ASSERT_TRUE(reader_.IsOpen());
    ASSERT_EQ(reader_.EntryCount(), 8u);
    const std::wstring names[] = {L"disk1\\", L"disk1\\sub\\Setup.exe", L"\u65E5\u672C\\\u00FC.txt", L"\u00FCber.txt",
                                  L"caf\u00E9.txt", L"bad\u0398.txt", L"\u00E4lt.txt", L"stale.txt"};
    for (size_t i = 0; i < 8; ++i) EXPECT_EQ(reader_.Entry(i).name, names[i]) << i;
    EXPECT_EQ(reader_.Entry(0).attributes, 16u);
    EXPECT_EQ(reader_.Entry(1).attributes, 0x21u);
    EXPECT_EQ(reader_.Entry(2).attributes, 0x80u);  // nothing recorded: normal
    EXPECT_EQ(reader_.Entry(4).attributes, 0x01u);  // r--r--r--: read-only
    EXPECT_EQ(reader_.Entry(1).size, 5000u);
    EXPECT_LT(reader_.Entry(1).compressedSize, 100u);
    EXPECT_FALSE(reader_.Entry(1).encrypted);
    EXPECT_TRUE(reader_.Entry(7).encrypted);
    EXPECT_THROW((void)reader_.Entry(8), std::out_of_range);  // (Close: the cancel test's last step)
}

TEST_F(ZipTest, ReadsZip64PrefixedAndCommentedArchives) {
    const std::vector<BuildEntry> entries = {{.name = "big.bin", .data = "abc", .zip64 = true},
                                             {.name = "more.txt", .data = "def", .flags = 8, .zip64 = true}};
    // A stub in front shifts every offset; a comment ending in an end record of its own is not the end.
    std::string fakeEnd = "PK\x05\x06" + std::string(18, '\x7F');
    for (size_t at : {4, 6, 20}) PutLe16(fakeEnd, at, 0);
    for (size_t at : {8, 10}) PutLe16(fakeEnd, at, 1);
    for (const BuildOptions& options : {BuildOptions{.zip64End = true},
                                        BuildOptions{.zip64End = true, .comment = fakeEnd, .prefix = "MZ stub"},
                                        BuildOptions{.comment = fakeEnd, .prefix = std::string(1000, 'S')}}) {
        ASSERT_EQ(OpenBytes(BuildZip(entries, options)), ZipError::None) << options.prefix;
        ASSERT_EQ(reader_.EntryCount(), 2u);
        EXPECT_EQ(reader_.Entry(1).name, L"more.txt");
        EXPECT_EQ(reader_.Entry(1).size, 3u);
        const fs::path out = temp_.path() / "out";
        ASSERT_EQ(reader_.Extract(1, out), ZipError::None);
        EXPECT_EQ(ReadBytes(out / "more.txt"), "def");
    }
    EXPECT_EQ(OpenBytes(BuildZip({})), ZipError::None);  // empty archive
    EXPECT_EQ(reader_.EntryCount(), 0u);
}

TEST_F(ZipTest, RefusesMalformedArchives) {
    const std::string good = BuildZip({{.name = "a.txt", .data = "alpha"}, {.name = "b.txt", .data = "beta"}});
    const size_t end = FindSignature(good, kEnd), cd1 = FindSignature(good, kCentral, 1);
    auto patched = [&](size_t at, uint32_t value, bool wide = true) {
        std::string s = good;
        wide ? PutLe32(s, at, value) : PutLe16(s, at, static_cast<uint16_t>(value));
        return s;
    };
    auto counted = [&](uint16_t count) {  // on this disk and in all
        return patched(end + 8, static_cast<uint32_t>(count) << 16 | count);
    };
    std::string overlapping = patched(cd1 + 42, 0);  // both entries claim the same bytes
    std::string zip64NoRecord = BuildZip({{.name = "a"}}, {.zip64End = true});
    PutLe32(zip64NoRecord, FindSignature(zip64NoRecord, 0x06064b50), 0);
    const struct {
        std::string bytes;
        ZipError expected;
        const char* what;
    } cases[] = {
        {"", ZipError::NotAZip, "empty file"},
        {"just some text, certainly no archive at all", ZipError::NotAZip, "text"},
        {good.substr(0, good.size() - 5), ZipError::NotAZip, "cut short"},
        {patched(end + 20, 40, false), ZipError::NotAZip, "comment longer than the file"},
        {patched(end + 16, 0x7FFFFFF0), ZipError::Corrupt, "directory offset past the end"},
        {patched(end + 12, 0x7FFFFFF0), ZipError::Corrupt, "directory size past the start"},
        {counted(0xFFFF), ZipError::Corrupt, "absurd count"},
        {counted(3), ZipError::Corrupt, "count beyond records"},
        {patched(end + 4, 1, false), ZipError::Corrupt, "second disk"},
        {patched(cd1, 0x12345678), ZipError::Corrupt, "broken record signature"},
        {patched(cd1 + 28, 0xFFFF, false), ZipError::Corrupt, "name runs past the directory"},
        {patched(cd1 + 42, 0x00FFFFFF), ZipError::Corrupt, "local header past the directory"},
        {patched(cd1 + 20, 0x00FFFFFF), ZipError::Corrupt, "data runs into the directory"},
        {overlapping, ZipError::Corrupt, "overlapping entries"},
        {zip64NoRecord, ZipError::Corrupt, "ZIP64 locator pointing nowhere"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(OpenBytes(c.bytes), c.expected) << c.what;
        EXPECT_FALSE(reader_.IsOpen()) << c.what;
        EXPECT_EQ(reader_.EntryCount(), 0u) << c.what;
    }
    EXPECT_EQ(reader_.Open(temp_.path() / "missing.zip"), ZipError::CannotOpen);
    EXPECT_EQ(reader_.Open(temp_.path()), ZipError::CannotOpen);  // a folder
    EXPECT_EQ(reader_.Extract(0, temp_.path()), ZipError::CannotOpen);

    // Every truncation of a good archive is refused or lists what is there; none crashes.
    for (size_t n = 0; n < good.size(); ++n) EXPECT_NE(OpenBytes(good.substr(0, n)), ZipError::None) << n;
}

TEST_F(ZipTest, WritesEntriesWithFoldersAndReportsProgress) {
    std::string big(700000, '\0');
    for (size_t i = 0; i < big.size(); ++i) big[i] = static_cast<char>((i * 7919) >> 5);
    ASSERT_EQ(OpenBytes(BuildZip({{.name = "disk1/", .method = 0},
                                  {.name = "disk1/sub/install.exe", .data = big},
                                  {.name = "stored.txt", .data = "plain", .method = 0},
                                  {.name = "described.bin", .data = big.substr(1000), .flags = 8},
                                  {.name = "wide.bin", .data = "zip64", .flags = 8, .zip64 = true},
                                  {.name = "empty.txt", .data = ""},
                                  {.name = "a\\b\\back.txt", .data = "backslashes"}})),
              ZipError::None);
    std::vector<std::pair<uint64_t, uint64_t>> reports;
    for (size_t i = 0; i < reader_.EntryCount(); ++i) {
        ASSERT_EQ(reader_.Extract(i, dest_,
                                  [&](const std::wstring& name, uint64_t soFar, uint64_t toDo) {
                                      EXPECT_EQ(name, reader_.Entry(i).name);
                                      if (i == 1) reports.emplace_back(soFar, toDo);
                                      return true;
                                  }),
                  ZipError::None)
            << i;
    }
    EXPECT_EQ(ListTree(dest_),
              (std::vector<std::string>{"a/", "a/b/", "a/b/back.txt", "described.bin", "disk1/", "disk1/sub/",
                                        "disk1/sub/install.exe", "empty.txt", "stored.txt", "wide.bin"}));
    EXPECT_EQ(ReadBytes(dest_ / "disk1" / "sub" / "install.exe"), big);
    EXPECT_EQ(ReadBytes(dest_ / "described.bin"), big.substr(1000));
    EXPECT_EQ(ReadBytes(dest_ / "stored.txt"), "plain");
    EXPECT_EQ(ReadBytes(dest_ / "wide.bin"), "zip64");
    EXPECT_EQ(fs::file_size(dest_ / "empty.txt"), 0u);
    // From nothing to everything, never past the end, growing.
    ASSERT_GE(reports.size(), 3u);
    EXPECT_EQ(reports.front(), std::make_pair(uint64_t{0}, uint64_t{big.size()}));
    EXPECT_EQ(reports.back(), std::make_pair(uint64_t{big.size()}, uint64_t{big.size()}));
    for (size_t k = 1; k < reports.size(); ++k) EXPECT_GT(reports[k].first, reports[k - 1].first);
    // The stored date (local time) comes back.
    const auto written = fs::last_write_time(dest_ / "stored.txt");
    std::tm tm{0, 30, 12, 1, 4, 124};  // 2024-05-01 12:30:00
    tm.tm_isdst = -1;
    const auto expected = std::chrono::file_clock::from_sys(std::chrono::system_clock::from_time_t(std::mktime(&tm)));
    EXPECT_LE(std::chrono::abs(written - expected), std::chrono::seconds(2));

    // Extracting again replaces the files.
    WriteBytes(dest_ / "stored.txt", "changed");
    ASSERT_EQ(reader_.Extract(2, dest_), ZipError::None);
    EXPECT_EQ(ReadBytes(dest_ / "stored.txt"), "plain");
}

// Names that leave the destination, and drives, devices and streams: the latter are harmless on
// Linux and dangerous on Windows, so they matter in the Wine run.
TEST_F(ZipTest, RefusesNamesThatLeaveTheDestinationOrNameDrivesDevicesAndStreams) {
    for (const char* name :
         {"../evil.txt", "a/../../evil.txt", "..\\evil.txt", "a\\..\\..\\evil.txt", "/abs.txt", "\\abs.txt",
          "//server/share/x.txt", ". ./x.txt", "a/.../x.txt", "a/.. /x.txt", "", "C:evil.txt", "C:/evil.txt",
          "c:\\evil.txt", "setup.exe:hidden", "readme.txt::$DATA", "CON", "nul.txt", "Aux.tar.gz", "COM1.log", "lpt9",
          "con .txt", "prn/inside.txt", "COM\xC2\xB9.txt", "CONOUT$", "a|b.txt", "what?.txt", "star*.txt", "quote\".txt",
          "<x>.txt", "tab\t.txt"}) {
        EXPECT_EQ(ExtractOne({.name = name, .data = "bad", .flags = 0x0800}), ZipError::UnsafeName) << name;
        ExpectNothingWritten(name);
    }
    EXPECT_FALSE(fs::exists("C:\\evil.txt"));
    // Names that merely resemble devices are ordinary files.
    for (const char* name : {"CONSOLE.txt", "com10.txt", "nul_file.txt", "lpt.txt", "auxiliary/x.txt"}) {
        EXPECT_EQ(ExtractOne({.name = name, .data = "ok"}), ZipError::None) << name;
        EXPECT_EQ(ReadBytes(dest_ / fs::path(name)), "ok") << name;
    }
}

TEST_F(ZipTest, RefusesEntriesItCannotTrustAndLeavesNoPartialFile) {
    const std::string data(300000, 'z');
    std::string lying = BuildZip({{.name = "local.txt", .data = "abc"}});
    PutLe16(lying, 8, 0);  // the local header says stored, the directory deflated
    std::string longLocalName = BuildZip({{.name = "x.txt", .data = "abc"}, {.name = "y.txt", .data = "def"}});
    PutLe16(longLocalName, 26, 500);  // the first entry's data would run into the second
    const struct {
        BuildEntry entry;
        ZipError expected;
    } cases[] = {
        {{.name = "enc.txt", .data = data, .flags = 1}, ZipError::Encrypted},
        {{.name = "aes.txt", .data = data, .method = 99}, ZipError::Encrypted},
        {{.name = "bzip2.txt", .data = data, .method = 12}, ZipError::UnsupportedMethod},
        {{.name = "lzma.txt", .data = data, .method = 14}, ZipError::UnsupportedMethod},
        {{.name = "crc.txt", .data = data, .crc = 0x12345678}, ZipError::CrcMismatch},
        {{.name = "stored-crc.txt", .data = data, .method = 0, .crc = 1}, ZipError::CrcMismatch},
        {{.name = "bomb.txt", .data = std::string(3000000, '\0'), .size = 1000}, ZipError::TooLarge},
        {{.name = "short.txt", .data = data, .size = data.size() + 1}, ZipError::Corrupt},
        {{.name = "stored-size.txt", .data = data, .method = 0, .size = 10}, ZipError::Corrupt},
        {{.name = "cut.txt", .data = data, .payload = Deflate(data).substr(0, 100)}, ZipError::Corrupt},
        {{.name = "junk.txt", .data = data, .payload = std::string(5000, '\xFF')}, ZipError::Corrupt},
        // Declares far more than any disk holds: refused before a byte is written.
        {{.name = "huge.bin", .data = "x", .size = uint64_t{1} << 60, .zip64 = true}, ZipError::DiskFull},
    };
    for (const auto& c : cases) {
        // A file already there under the entry's name stays as it was.
        fs::create_directories(dest_);
        WriteBytes(dest_ / c.entry.name, "before");
        EXPECT_EQ(ExtractOne(c.entry), c.expected) << c.entry.name;
        EXPECT_EQ(ListTree(dest_), std::vector<std::string>{c.entry.name}) << c.entry.name;
        EXPECT_EQ(ReadBytes(dest_ / c.entry.name), "before") << c.entry.name;
        fs::remove(dest_ / c.entry.name);
    }
    ASSERT_EQ(OpenBytes(lying), ZipError::None);
    EXPECT_EQ(reader_.Extract(0, dest_), ZipError::Corrupt);
    ASSERT_EQ(OpenBytes(longLocalName), ZipError::None);
    EXPECT_EQ(reader_.Extract(0, dest_), ZipError::Corrupt);
    EXPECT_EQ(reader_.Extract(1, dest_), ZipError::None);
    EXPECT_EQ(ListTree(dest_), std::vector<std::string>{"y.txt"});
}

TEST_F(ZipTest, CancelRemovesThePartialFileAndFailedWritesSaySo) {
    std::string data(2000000, '\0');
    for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<char>(i * 31 % 251);
    ASSERT_EQ(OpenBytes(BuildZip({{.name = "big.bin", .data = data}, {.name = "big.bin/x.txt", .data = "x"}})),
              ZipError::None);
    int reports = 0;
    EXPECT_EQ(reader_.Extract(0, dest_, [&](const std::wstring&, uint64_t, uint64_t) { return ++reports < 3; }),
              ZipError::Cancelled);
    EXPECT_EQ(reports, 3);
    EXPECT_TRUE(ListTree(dest_).empty());
    // A callback's own exception passes through and still takes the partial file away.
    EXPECT_THROW((void)reader_.Extract(0, dest_,
                                       [&](const std::wstring&, uint64_t soFar, uint64_t) {
                                           if (soFar > 0) throw std::runtime_error("stop");
                                           return true;
                                       }),
                 std::runtime_error);
    EXPECT_TRUE(ListTree(dest_).empty());
    // A folder in the way of a file, and a file in the way of a folder.
    fs::create_directories(dest_ / "big.bin");
    EXPECT_EQ(reader_.Extract(0, dest_), ZipError::WriteFailed);
    fs::remove(dest_ / "big.bin");
    WriteBytes(dest_ / "big.bin", "file");
    EXPECT_EQ(reader_.Extract(1, dest_), ZipError::WriteFailed);
    EXPECT_EQ(ListTree(dest_), std::vector<std::string>{"big.bin"});
    EXPECT_THROW((void)reader_.Extract(2, dest_), std::out_of_range);

    // The wizard lets messages run from the callback: a second extraction is refused there, and a
    // window closing meanwhile closes the reader once the extraction has stopped.
    fs::remove(dest_ / "big.bin");
    EXPECT_EQ(reader_.Extract(0, dest_,
                              [&](const std::wstring&, uint64_t soFar, uint64_t) {
                                  EXPECT_EQ(reader_.Extract(1, dest_), ZipError::CannotOpen);
                                  if (soFar > 0) reader_.Close();
                                  return true;
                              }),
              ZipError::Cancelled);
    EXPECT_FALSE(reader_.IsOpen());
    EXPECT_EQ(reader_.EntryCount(), 0u);
    EXPECT_TRUE(ListTree(dest_).empty());
}

}  // namespace
}  // namespace ardmoor::zip::test
