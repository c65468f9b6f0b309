// Each layout printed through the real spooler to the harness's cups-pdf printer, and the PDF read
// back: every line's text and place against the layout's twips (1 twip = 1/20 point), the page
// breaks, the cut names and the icons on the page image.
#include <gtest/gtest.h>

#include <cmath>

#include "catalogue/icon_files.h"
#include "pdf_check.h"
#include "platform/strings.h"
#include "print/gdi_print_surface.h"
#include "print/print_layouts.h"
#include "print/printers.h"
#include "test_support.h"

using namespace ardmoor;
using namespace ardmoor::test;

namespace {

constexpr double kTol = 0.6;  // points: a device pixel at 300 dpi and the font's own rounding

// A line printed with its top at `top` points: its glyphs' box starts a little lower, by up to a
// quarter of the font size (the font's internal leading, as the PDF's font metrics give it).
void ExpectTopAt(const PdfLine& line, double top, int points, const char* what) {
    EXPECT_GE(line.y, top - 0.1) << what;
    EXPECT_LE(line.y, top + points / 4.0) << what;
}

// 150 characters of narrow words: cut to 120 and "...".
std::wstring LongName() {
    std::wstring name;
    while (name.size() < 150) name += L"setup part " + std::to_wstring(name.size()) + L" ";
    return name.substr(0, 150);
}
// Too wide for the page less 4000 twips (about 480 points at 8 points), yet under 120 characters.
std::wstring WideName() {
    std::wstring name = L"WWWWW";
    for (int i = 0; i < 11; ++i) name += L" WWWWW";
    return name;
}
std::wstring Cut(const std::wstring& text) { return text.substr(0, 120) + L"..."; }

struct PdfPrinting : ::testing::Test {
    void SetUp() override {
        if (PromisedPrinter().empty())
            GTEST_SKIP() << "no test printer: tools/test.sh starts one when run as root";
        bool listed = false;
        for (const PrinterInfo& p : SystemPrinters()) listed = listed || p.deviceName == PromisedPrinter();
        ASSERT_TRUE(listed) << "the harness promised printer " << WideToUtf8(PromisedPrinter())
                            << " and the system does not list it";
    }

    // Prints one document with `layout` and returns the PDF the printer wrote.
    template <class Layout>
    std::wstring Print(Layout layout) {
        const std::wstring folder = PrinterOutputFolder(L"PDF");
        const auto before = PdfFiles(folder);
        {
            auto surface = GdiPrintSurface::Open(L"PDF");
            if (!surface) {
                ADD_FAILURE() << "cannot open printer PDF: " << surface.error();
                return {};
            }
            const Status printed = layout(**surface);
            EXPECT_TRUE(printed) << printed.error();
        }
        const std::wstring pdf = WaitForNewPdf(folder, before);
        EXPECT_FALSE(pdf.empty()) << "no PDF in " << WideToUtf8(folder);
        return pdf;
    }

    // The heading's three lines on page 1; returns where the first entry's glyphs belong (within
    // the little that a smaller font's glyphs sit nearer the top of their line).
    static double CheckHeading(const PdfPage& page, const std::wstring& count) {
        EXPECT_GE(page.lines.size(), 3u);
        if (page.lines.size() < 3) return 0;
        const PdfLine &title = page.lines[0], &date = page.lines[1], &counted = page.lines[2];
        EXPECT_EQ(title.text, L"Ardmoor Installed Software Listing");
        EXPECT_NEAR(title.x, 585 / 20.0, kTol);
        ExpectTopAt(title, 600 / 20.0, 11, "title");
        EXPECT_EQ(date.text, L"Monday, March 08, 2010");
        EXPECT_NEAR(date.x, 30.0, kTol);
        EXPECT_EQ(counted.text, count);
        EXPECT_NEAR(counted.x, 30.0, kTol);
        const double line9 = counted.y - date.y;  // one line of the size 9 font
        EXPECT_GT(line9, 9.0);
        EXPECT_LT(line9, 12.5);
        return counted.y + line9 + 300 / 20.0;
    }

    // Entry lines in print order (page 1 without its heading), and checks of every page break:
    // continuation pages start at the top margin with an entry; a page ends with the entry that
    // first reached below the page height less 600 twips.
    static std::vector<PdfLine> EntryLines(const std::vector<PdfPage>& pages, int linesPerEntry) {
        std::vector<PdfLine> entries;
        for (size_t p = 0; p < pages.size(); ++p) {
            const auto& lines = pages[p].lines;
            entries.insert(entries.end(), lines.begin() + (p == 0 ? 3 : 0), lines.end());
            if (p == 0 || lines.empty()) continue;
            ExpectTopAt(lines[0], 600 / 20.0, 8, "a continuation page");
            // Where the last entry of the page before began and how far a whole entry reaches.
            const auto& prev = pages[p - 1].lines;
            const double glyphOffset = lines[0].y - 30.0;  // from the line's top to its glyphs
            const double lineHeight = lines[1].y - lines[0].y;
            const double lastTop = prev[prev.size() - linesPerEntry].y - glyphOffset;
            const double bottomLimit = pages[p - 1].height - 30.0;
            EXPECT_GT(lastTop + lineHeight * (linesPerEntry == 1 ? 1 : 3), bottomLimit - 0.3) << "page " << p;
            EXPECT_LE(lastTop, bottomLimit + 0.3) << "page " << p << " went on past its bottom reserve";
        }
        return entries;
    }
};

}  // namespace

TEST_F(PdfPrinting, Minimal1234EntriesAcrossPagesWithCutNames) {
    ListingPrintout listing;
    listing.dateText = L"Monday, March 08, 2010";
    for (int i = 1; i <= 1234; ++i) {
        wchar_t name[32];
        swprintf(name, 32, L"Program %04d", i);
        listing.rows.push_back({name, L"", L""});
    }
    listing.rows[4].text = LongName();
    listing.rows[5].text = WideName();
    const std::wstring pdf = Print([&](PrintSurface& s) { return pPrintMinimal(s, listing); });
    ASSERT_FALSE(pdf.empty());
    const auto pages = ReadPdfText(pdf);
    ASSERT_GE(pages.size(), 13u);
    EXPECT_NEAR(pages[0].width, 11906 / 20.0, 1.0) << "the harness's printer prints on A4";

    const double firstTop = CheckHeading(pages[0], L"1,234 items listed...");
    ASSERT_GT(pages[0].lines.size(), 4u);
    EXPECT_NEAR(pages[0].lines[3].y, firstTop, kTol) << "300 twips after the heading";

    const auto entries = EntryLines(pages, 1);
    ASSERT_EQ(entries.size(), 1234u);
    for (size_t i = 0; i < entries.size(); ++i) {
        const std::wstring expected = i == 4 ? Cut(LongName()) : i == 5 ? WideName() + L"..." : listing.rows[i].text;
        ASSERT_EQ(entries[i].text, expected) << "entry " << i + 1;
        EXPECT_NEAR(entries[i].x, 30.0, kTol) << "entry " << i + 1;
    }
    EXPECT_GT(entries[5].right - entries[5].x, (11906 - 4000) / 20.0) << "the wide name is wider than the limit";
    // No blank line between entries.
    EXPECT_NEAR(entries[8].y - entries[7].y, entries[9].y - entries[8].y, 0.3);
    EXPECT_LT(entries[8].y - entries[7].y, 11.0);
}

TEST_F(PdfPrinting, NormalNameAndPathPerEntryAcrossPages) {
    ListingPrintout listing;
    listing.dateText = L"Monday, March 08, 2010";
    for (int i = 1; i <= 45; ++i) {
        const std::wstring n = std::to_wstring(i);
        listing.rows.push_back({L"Tool " + n, L"C:\\Tools\\" + n + L"\\unins.exe /x", L""});
    }
    listing.rows[2].uninstallPath = LongName();
    const std::wstring pdf = Print([&](PrintSurface& s) { return pPrintNormal(s, listing); });
    ASSERT_FALSE(pdf.empty());
    const auto pages = ReadPdfText(pdf);
    ASSERT_EQ(pages.size(), 2u);
    CheckHeading(pages[0], L"45 items listed...");
    const auto lines = EntryLines(pages, 2);
    ASSERT_EQ(lines.size(), 90u);
    for (size_t i = 0; i < 45; ++i) {
        const PdfLine &name = lines[2 * i], &path = lines[2 * i + 1];
        EXPECT_EQ(name.text, listing.rows[i].text);
        EXPECT_EQ(path.text, i == 2 ? Cut(LongName()) : listing.rows[i].uninstallPath);
        EXPECT_NEAR(name.x, 30.0, kTol);
        EXPECT_NEAR(path.x, 30.0, kTol);
    }
    // Name, path and a blank line: the next name is three lines down.
    const double line = lines[1].y - lines[0].y;
    EXPECT_NEAR(lines[2].y - lines[0].y, 3 * line, 0.3);
}

TEST_F(PdfPrinting, AdvancedShowsIconsAndNeverCutsNames) {
    TestRegistryKey entries;
    TempDir iconFolder;
    ASSERT_FALSE(WriteEntryIconFiles(iconFolder.path(), iconFolder.path()).empty());
    ListingPrintout listing;
    listing.dateText = L"Monday, March 08, 2010";
    for (int i = 1; i <= 40; ++i) {
        const std::wstring key = L"Tool" + std::to_wstring(i);
        entries.SetString(key, L"DisplayName", L"Tool " + std::to_wstring(i));
        entries.SetString(key, L"UninstallString", L"C:\\Tools\\" + std::to_wstring(i) + L"\\unins.exe /x");
        listing.rows.push_back({L"row text", L"", entries.fullPath() + L"\\" + key});
    }
    entries.SetString(L"Tool2", L"DisplayName", WideName());
    entries.SetString(L"Tool3", L"UninstallString", LongName());
    entries.SetString(L"Tool4", L"UninstallString", L"");
    entries.SetString(L"Tool4", L"QuietUninstallString", L"C:\\Quiet\\q.exe /S");
    entries.SetString(L"Tool5", L"DisplayIcon", L"C:\\windows\\system32\\notepad.exe");

    cVBALSysImageList large;
    large.SetIconSizeX(32);
    ASSERT_TRUE(large.Create());
    SystemImageListIcons icons(large);
    arItem entry(iconFolder.path());
    const std::wstring pdf = Print([&](PrintSurface& s) { return pPrintFull(s, listing, entry, icons); });
    ASSERT_FALSE(pdf.empty());
    const auto pages = ReadPdfText(pdf);
    ASSERT_EQ(pages.size(), 2u);
    CheckHeading(pages[0], L"40 items listed...");
    const auto lines = EntryLines(pages, 2);
    ASSERT_EQ(lines.size(), 80u);
    for (size_t i = 0; i < 40; ++i) {
        const std::wstring n = std::to_wstring(i + 1);
        const std::wstring name = i == 1 ? WideName() : L"Tool " + n;
        const std::wstring command = i == 2   ? Cut(LongName())
                                     : i == 3 ? L"C:\\Quiet\\q.exe /S"
                                              : L"C:\\Tools\\" + n + L"\\unins.exe /x";
        EXPECT_EQ(lines[2 * i].text, name);
        EXPECT_EQ(lines[2 * i + 1].text, command);
        EXPECT_NEAR(lines[2 * i].x, 1200 / 20.0, kTol);
        EXPECT_NEAR(lines[2 * i + 1].x, 1200 / 20.0, kTol);
    }
    EXPECT_GT(lines[2].right - lines[2].x, (11906 - 4000) / 20.0) << "the wide name is wider than the limit";

    // Each entry's icon fills the 480-twip square at 600 twips beside its name; nothing to its left.
    for (int p = 1; p <= 2; ++p) {
        const PagePixels page = RenderPdfPage(pdf, p, 72);  // one pixel a point
        ASSERT_GT(page.width, 0);
        const auto& text = pages[p - 1].lines;
        const double glyphOffset = pages[1].lines[0].y - 30.0;
        int checked = 0;
        for (size_t i = (p == 1 ? 3 : 0); i < text.size(); i += 2, ++checked) {
            const int top = static_cast<int>(std::lround(text[i].y - glyphOffset));
            EXPECT_GT(page.InkIn(31, top + 1, 53, top + 23), 40) << "no icon beside " << WideToUtf8(text[i].text);
            EXPECT_EQ(page.InkIn(0, top, 28, top + 24), 0);
        }
        EXPECT_GT(checked, 5);
    }
}
