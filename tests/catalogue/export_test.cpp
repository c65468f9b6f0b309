// The export model over test-owned registry keys, the formats' exact bytes, and the file that
// appears whole or not at all.
#include <gtest/gtest.h>

#include <filesystem>

#include "catalogue/export_formats.h"
#include "catalogue/export_model.h"
#include "catalogue/registry.h"
#include "catalogue_test_util.h"
#include "test_support.h"

using namespace ardmoor;

namespace {

class StringSink final : public ByteSink {
public:
    Status Write(std::string_view bytes) override {
        ++writes;
        if (failAfter >= 0 && static_cast<long long>(text.size() + bytes.size()) > failAfter) return Error{ERROR_DISK_FULL};
        text.append(bytes);
        return {};
    }
    std::string text;
    long long failAfter = -1;
    int writes = 0;
};

std::string Write(const std::vector<ExportRecord>& records, ExportFormat format, const ExportHeading& heading = {}) {
    StringSink sink;
    EXPECT_TRUE(WriteListing(records, format, sink, heading).ok());
    return sink.text;
}

// The files in a folder.
std::vector<std::wstring> FilesIn(const std::wstring& folder) {
    std::vector<std::wstring> names;
    for (const auto& e : std::filesystem::directory_iterator(folder)) names.push_back(e.path().filename().wstring());
    return names;
}

}  // namespace

// (Every field against the registry, for real and seeded entries, is checked end to end by
// check_export.py; here the rules for data that is not what it should be.)
TEST(ExportModel, ReadsEveryListedEntryInOrderWithTypedSizesAndFlagsFailsOnlyWithoutARootAndStopsWhenAsked) {
    test::TestRegistryKey key;
    key.SetString(L"A\\Full", L"DisplayName", L"Full App");
    key.SetDword(L"A\\Full", L"EstimatedSize", 0xFFFFFFFF);
    key.SetDword(L"A\\Full", L"SystemComponent", 1);
    const std::wstring product = L"{6F1C2A4B-9D3E-4B7A-8C21-5E0F3A9B7D10}";
    key.SetString(L"A\\" + product, L"EstimatedSize", L" 512 ");
    key.SetString(L"A\\" + product, L"SystemComponent", L"0");
    key.SetString(L"A\\{not-a-product-code}", L"EstimatedSize", L"12 MB");
    key.SetString(L"A\\{not-a-product-code}", L"SystemComponent", L"yes");
    key.SetString(L"B\\Zed", L"DisplayName", L"zed");

    ExportListing listing({key.fullPath() + L"\\A", key.fullPath() + L"\\Missing", key.fullPath() + L"\\B"});
    ASSERT_TRUE(listing.Read().ok());
    const auto& records = listing.Records();
    std::vector<std::wstring> names;
    for (const auto& r : records) names.push_back(r.name);
    // The list's order (the user's locale, case ignored). (Which keys are entries: listing_test.cpp.)
    ASSERT_EQ(names, (std::vector<std::wstring>{product, L"{not-a-product-code}", L"Full App", L"zed"}));
    EXPECT_EQ(records[2].estimated_size_kb, std::optional<uint64_t>(4294967295ull)) << "a DWORD is unsigned";
    EXPECT_TRUE(records[2].system_component);
    EXPECT_EQ(records[2].key, key.fullPath() + L"\\A\\Full");
    EXPECT_EQ(records[0].identifying_number, product) << "a product code key names the product";
    EXPECT_EQ(records[0].estimated_size_kb, std::optional<uint64_t>(512));
    EXPECT_FALSE(records[0].system_component);
    EXPECT_EQ(records[1].identifying_number, L"");
    EXPECT_EQ(records[1].estimated_size_kb, std::nullopt) << "a size that is not a number is left empty";
    EXPECT_FALSE(records[1].system_component);
    for (const wchar_t* code : {L"6F1C2A4B-9D3E-4B7A-8C21-5E0F3A9B7D10", L"{6F1C2A4B-9D3E-4B7A-8C21-5E0F3A9B7D1G}",
                                L"{6F1C2A4B99D3E-4B7A-8C21-5E0F3A9B7D10}", L"{6F1C2A4B-9D3E-4B7A-8C21-5E0F3A9B7D10}x"})
        EXPECT_FALSE(IsProductCode(code)) << testing::PrintToString(std::wstring(code));

    // Reading fails only when no root can be read, and stops when asked, keeping nothing.
    EXPECT_EQ(ExportListing({key.fullPath() + L"\\Missing", key.fullPath() + L"\\AlsoMissing"}).Read().error(),
              kRegKeyNotFound);
    key.CreateSubkey(L"Empty");
    ExportListing empty({key.fullPath() + L"\\Missing", key.fullPath() + L"\\Empty"});
    EXPECT_TRUE(empty.Read().ok()) << "an empty listing is a listing";
    EXPECT_TRUE(empty.Records().empty());
    const std::atomic<bool> stop{true};
    EXPECT_EQ(listing.Read(&stop).error(), kExportStopped);
    EXPECT_TRUE(listing.Records().empty());
}

TEST(ExportFormats, EscapeEveryValueByTheirOwnRules) {
    ExportRecord a;
    a.name = L"Quote \"this\", then\r\nbreak";
    a.version = L"1\t2";
    a.publisher = std::wstring(L"Lone \xD800 surrogate, NUL \0 end", 27) + L" \U0001F600";
    a.key = L"\\HKEY_LOCAL_MACHINE\\X\\A";
    a.scope = L"machine-64";
    a.estimated_size_kb = 1234;
    a.system_component = true;
    a.help_link = L"back\\slash \x01\x1f \x2028";
    ExportRecord b;
    b.name = L"\u65e5\u672c\u8a9e <script>alert(1)</script> & 'co'";
    b.key = L"\\HKEY_CURRENT_USER\\X\\B";
    b.scope = L"user";
    const std::vector<ExportRecord> records{a, b};

    // TSV: four columns, tabs and breaks inside values become blanks.
    EXPECT_EQ(Write(records, ExportFormat::Tsv),
              "Quote \"this\", then  break\t1 2\tLone \xEF\xBF\xBD surrogate, NUL \xEF\xBF\xBD end \xF0\x9F\x98\x80\t"
              "\\HKEY_LOCAL_MACHINE\\X\\A\r\n"
              "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E <script>alert(1)</script> & 'co'\t\t\t\\HKEY_CURRENT_USER\\X\\B\r\n");

    // CSV: BOM, header, quoting only where needed, quotes doubled, CR LF.
    const std::string csv = Write(records, ExportFormat::Csv);
    const std::string header =
        "\xEF\xBB\xBFname,version,publisher,install_location,install_source,install_date,uninstall_string,"
        "identifying_number,language,key,scope,quiet_uninstall_string,display_icon,estimated_size_kb,"
        "system_component,help_link,url_info_about,url_update_info,help_telephone,modify_path\r\n";
    EXPECT_EQ(csv, header +
                       "\"Quote \"\"this\"\", then\r\nbreak\",1\t2,\"Lone \xEF\xBF\xBD surrogate, NUL \xEF\xBF\xBD end "
                       "\xF0\x9F\x98\x80\",,,,,,,\\HKEY_LOCAL_MACHINE\\X\\A,machine-64,,,1234,true,"
                       "back\\slash \x01\x1f \xE2\x80\xA8,,,,\r\n"
                       "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E <script>alert(1)</script> & 'co',,,,,,,,,"
                       "\\HKEY_CURRENT_USER\\X\\B,user,,,,false,,,,,\r\n");

    // JSON: typed number, null and booleans; every control escaped; no BOM.
    const std::string json = Write(records, ExportFormat::Json);
    EXPECT_EQ(json.substr(0, 2), "[\n");
    EXPECT_NE(json.find("{\"name\":\"Quote \\\"this\\\", then\\r\\nbreak\",\"version\":\"1\\t2\",\"publisher\":\"Lone "
                        "\xEF\xBF\xBD surrogate, NUL \\u0000 end \xF0\x9F\x98\x80\",\"install_location\":\"\""),
              std::string::npos)
        << json;
    EXPECT_NE(json.find("\"estimated_size_kb\":1234,\"system_component\":true,\"help_link\":\"back\\\\slash \\u0001\\u001f "
                        "\\u2028\""),
              std::string::npos)
        << json;
    EXPECT_NE(json.find("\"estimated_size_kb\":null,\"system_component\":false,"), std::string::npos);
    EXPECT_EQ(json.substr(json.size() - 5), "\"}\n]\n") << "one object a line, the last without a comma";
    EXPECT_EQ(Write({}, ExportFormat::Json), "[\n]\n");

    // HTML: registry text never becomes markup; controls cannot appear in a page.
    const std::string html = Write(records, ExportFormat::Html, {L"HERON-PC", L"1 May 2026 <noon>"});
    EXPECT_EQ(html.rfind("<!DOCTYPE html>", 0), 0u);
    EXPECT_EQ(html.find("<script"), std::string::npos);
    EXPECT_NE(html.find("&lt;script&gt;alert(1)&lt;/script&gt; &amp; &#39;co&#39;"), std::string::npos);
    EXPECT_NE(html.find("Quote &quot;this&quot;, then\r\nbreak"), std::string::npos);
    EXPECT_NE(html.find("NUL \xEF\xBF\xBD end"), std::string::npos);
    EXPECT_NE(html.find("<td class=\"number\">1234</td>"), std::string::npos);
    EXPECT_NE(html.find("2 programs on HERON-PC, listed by Ardmoor on 1 May 2026 &lt;noon&gt;."), std::string::npos);
    EXPECT_NE(html.find("default-src 'none'"), std::string::npos) << "the page forbids scripts and outside files";
    EXPECT_EQ(html.find("src=\""), std::string::npos);
    EXPECT_EQ(html.find("href="), std::string::npos);
}

TEST(ExportFormats, FormatFromTheExtensionAndASinkFailureStopsTheWriting) {
    const std::pair<const wchar_t*, std::optional<ExportFormat>> files[] = {
        {L"C:\\x\\list.CSV", ExportFormat::Csv}, {L"list.json", ExportFormat::Json}, {L"list.Htm", ExportFormat::Html},
        {L"list.html", ExportFormat::Html},      {L"list.txt", std::nullopt},      {L"C:\\my.csv\\list", std::nullopt},
        {L"csv", std::nullopt}};
    for (const auto& [file, format] : files) EXPECT_EQ(FormatForFile(file), format) << testing::PrintToString(std::wstring(file));

    std::vector<ExportRecord> many(5000);
    for (size_t i = 0; i < many.size(); ++i) many[i].name = L"Program number " + std::to_wstring(i);
    StringSink sink;
    sink.failAfter = 100000;
    EXPECT_EQ(WriteListing(many, ExportFormat::Json, sink).error(), ERROR_DISK_FULL);
    EXPECT_LE(sink.writes, 2) << "nothing more is written after the first failure";
}

TEST(ExportFile, AppearsWholeOrNotAtAll) {
    test::TempDir dir;
    test::TestRegistryKey key;
    key.SetString(L"U\\One", L"DisplayName", L"One, the first");
    const std::vector<std::wstring> roots{key.fullPath() + L"\\U"};

    const std::wstring target = dir / L"list.csv";
    ASSERT_TRUE(test::WriteFileBytes(target, "old"));
    ExportFileResult done = ExportToFile(roots, target, ExportFormat::Csv);
    ASSERT_TRUE(done.ok()) << done.error;
    EXPECT_EQ(done.records, 1u);
    EXPECT_EQ(done.file, target);
    const std::string written = test::ReadFileBytes(target);
    EXPECT_NE(written.find("\r\n\"One, the first\","), std::string::npos) << written;
    EXPECT_EQ(FilesIn(dir.path()), std::vector<std::wstring>{L"list.csv"}) << "no temporary file is left";

    const ExportFileResult unread = ExportToFile({key.fullPath() + L"\\Missing"}, dir / L"never.json", ExportFormat::Json);
    EXPECT_EQ(unread.failure, ExportFileResult::Failure::Read);
    EXPECT_EQ(unread.error, kRegKeyNotFound);
    const ExportFileResult nowhere = ExportToFile(roots, dir / L"no such folder\\x.json", ExportFormat::Json);
    EXPECT_EQ(nowhere.failure, ExportFileResult::Failure::Write);
    EXPECT_NE(nowhere.error, 0);

    // An export abandoned half-way leaves neither the target nor a temporary file.
    {
        AtomicFile file;
        ASSERT_TRUE(file.Open(dir / L"half.json").ok());
        ASSERT_TRUE(file.Write("[\n{\"name\":").ok());
    }
    EXPECT_EQ(FilesIn(dir.path()), std::vector<std::wstring>{L"list.csv"});
}
