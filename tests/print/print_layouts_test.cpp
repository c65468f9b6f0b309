// The three layouts on a surface that records every call (fixed metrics: a character is half its
// point size wide, a line 1.2 times it high), and the printout's failure handling.
#include <gtest/gtest.h>

#include "catalogue/icon_files.h"
#include "print/gdi_print_surface.h"
#include "print/print_dialog_state.h"
#include "print/print_listing.h"
#include "recording_surface.h"
#include "test_support.h"

using namespace ardmoor;
using test::PrintCall;
using test::RecordingSurface;

namespace {

ListingPrintout Numbered(int count) {
    ListingPrintout listing;
    listing.dateText = L"Monday, March 08, 2010";
    for (int i = 1; i <= count; ++i) {
        wchar_t name[32];
        swprintf(name, 32, L"Entry %03d", i);
        listing.rows.push_back({name, std::wstring(L"C:\\") + name + L"\\unins.exe", L""});
    }
    return listing;
}

struct ScriptedPrompter : Prompter {
    struct Shown {
        std::wstring text, title;
        UINT type;
    };
    std::vector<Shown> shown;
    int Message(const std::wstring& text, const std::wstring& title, UINT type) override {
        shown.push_back({text, title, type});
        return IDOK;
    }
};

struct NoIcons : EntryIcons {
    std::vector<std::wstring> asked;
    UniqueIcon IconOf(const std::wstring& file) override {
        asked.push_back(file);
        return {};
    }
};

// Heading with these metrics: title line 11 * 24 = 264, date and count lines 9 * 24 = 216.
constexpr int kDateY = 600 + 264;
constexpr int kCountY = kDateY + 216;
constexpr int kFirstEntryY = kCountY + 216 + 300;  // 1596

}  // namespace

TEST(PrintLayouts, DateCountAndCutTexts) {
    SYSTEMTIME day{2010, 3, 1, 8};  // a Monday
    EXPECT_EQ(ListingDateText(day), L"Monday, March 08, 2010");
    EXPECT_EQ(ListingCountText(0), L"0 items listed...");
    EXPECT_EQ(ListingCountText(7), L"7 items listed...");
    EXPECT_EQ(ListingCountText(1234), L"1,234 items listed...");
    EXPECT_EQ(ListingCountText(123456), L"123,456 items listed...");
    EXPECT_EQ(ListingCountText(1234567), L"1,234,567 items listed...");

    // Texts too wide keep at most 120 characters and gain an ellipsis.
    RecordingSurface s;  // room for 7906 twips: 98 characters of 80 twips at size 8
    s.SetFontSize(8);
    const std::wstring fits(98, L'a'), tooWide(99, L'b'), long150(150, L'c');
    EXPECT_EQ(FitToPage(s, fits), fits);
    EXPECT_EQ(FitToPage(s, tooWide), tooWide + L"...");
    EXPECT_EQ(FitToPage(s, long150), std::wstring(120, L'c') + L"...");
    // A character of two units at the cut is kept whole or not at all.
    const std::wstring emoji = std::wstring(119, L'd') + L"\U0001F600" + std::wstring(30, L'e');
    EXPECT_EQ(FitToPage(s, emoji), std::wstring(119, L'd') + L"...");
    // The rule reads the current font: the same text fits in a smaller one.
    s.SetFontSize(4);
    EXPECT_EQ(FitToPage(s, long150), long150);
}

TEST(PrintLayouts, HeadingOnceThenOneLinePerEntryAcrossPages) {
    RecordingSurface s;
    const ListingPrintout listing = Numbered(150);
    ASSERT_TRUE(pPrintMinimal(s, listing));

    const auto texts = s.Of(PrintCall::kText);
    ASSERT_EQ(texts.size(), 3u + 150u);
    EXPECT_EQ(texts[0].text, L"Ardmoor Installed Software Listing");
    EXPECT_EQ(texts[0].x, 585);
    EXPECT_EQ(texts[0].y, 600);
    EXPECT_EQ(texts[0].size, 11);
    EXPECT_TRUE(texts[0].bold);
    EXPECT_EQ(texts[1].text, L"Monday, March 08, 2010");
    EXPECT_EQ(texts[1].x, 600);
    EXPECT_EQ(texts[1].y, kDateY);
    EXPECT_EQ(texts[1].size, 9);
    EXPECT_TRUE(texts[1].bold);
    EXPECT_EQ(texts[2].text, L"150 items listed...");
    EXPECT_EQ(texts[2].y, kCountY);
    EXPECT_EQ(texts[2].x, 600);
    EXPECT_EQ(texts[3].text, L"Entry 001");
    EXPECT_EQ(texts[3].x, 600);
    EXPECT_EQ(texts[3].y, kFirstEntryY);
    EXPECT_EQ(texts[3].size, 8);
    EXPECT_FALSE(texts[3].bold);
    EXPECT_EQ(texts[4].y, kFirstEntryY + 192) << "no blank line between entries";

    // Page 1 breaks once an entry ends below 16838 - 600: entry 77 starts at 1596 + 76 * 192 =
    // 16188 and ends at 16380, inside the reserve. Entry 78 opens page 2 at the top margin.
    ASSERT_EQ(s.Of(PrintCall::kNewPage).size(), 1u);
    size_t breakAt = 0;
    while (s.calls[breakAt].kind != PrintCall::kNewPage) ++breakAt;
    EXPECT_EQ(s.calls[breakAt - 1].text, L"Entry 077");
    EXPECT_EQ(s.calls[breakAt - 1].y, 16188);
    EXPECT_EQ(s.calls[breakAt + 1].text, L"Entry 078");
    EXPECT_EQ(s.calls[breakAt + 1].y, 600);
    EXPECT_EQ(s.calls[breakAt + 1].size, 8);
    EXPECT_EQ(texts.back().text, L"Entry 150");
    EXPECT_EQ(texts.back().y, 600 + 72 * 192);
    EXPECT_EQ(s.calls.front().kind, PrintCall::kStart);
    EXPECT_EQ(s.calls.front().text, L"Ardmoor Installed Software Listing");
    EXPECT_EQ(s.calls.back().kind, PrintCall::kEnd);
    EXPECT_TRUE(s.Of(PrintCall::kAbort).empty());

    // An empty listing prints the heading alone, on one page.
    ListingPrintout empty;
    empty.dateText = L"Monday, March 08, 2010";
    for (auto* layout : {&pPrintMinimal, &pPrintNormal}) {
        s.calls.clear();
        ASSERT_TRUE((*layout)(s, empty));
        const auto texts = s.Of(PrintCall::kText);
        ASSERT_EQ(texts.size(), 3u);
        EXPECT_EQ(texts[2].text, L"0 items listed...");
        EXPECT_TRUE(s.Of(PrintCall::kNewPage).empty());
        EXPECT_EQ(s.Of(PrintCall::kEnd).size(), 1u);
    }
}

TEST(PrintLayouts, NormalPrintsNameAndPathThenABlankLine) {
    RecordingSurface s;
    ListingPrintout listing = Numbered(3);
    listing.rows[1].uninstallPath = std::wstring(150, L'p');
    listing.rows[1].text = std::wstring(99, L'n');
    listing.rows[2].uninstallPath.clear();
    ASSERT_TRUE(pPrintNormal(s, listing));
    const auto texts = s.Of(PrintCall::kText);
    ASSERT_EQ(texts.size(), 3u + 5u) << "an empty path prints nothing but still takes its line";
    EXPECT_EQ(texts[3].text, L"Entry 001");
    EXPECT_EQ(texts[3].y, kFirstEntryY);
    EXPECT_EQ(texts[4].text, L"C:\\Entry 001\\unins.exe");
    EXPECT_EQ(texts[4].x, 600);
    EXPECT_EQ(texts[4].y, kFirstEntryY + 192);
    EXPECT_EQ(texts[5].text, std::wstring(99, L'n') + L"...");
    EXPECT_EQ(texts[5].y, kFirstEntryY + 3 * 192);
    EXPECT_EQ(texts[6].text, std::wstring(120, L'p') + L"...");
    EXPECT_EQ(texts[7].text, L"Entry 003");
    EXPECT_EQ(texts[7].y, kFirstEntryY + 6 * 192);
}

TEST(PrintLayouts, FullReadsEachEntryAndDrawsItsIconBesideIt) {
    test::TestRegistryKey entries;
    test::TempDir iconFolder;
    ASSERT_FALSE(WriteEntryIconFiles(iconFolder.path(), iconFolder.path()).empty());
    const std::wstring wideName(110, L'W'), longCommand(150, L'u');
    entries.SetString(L"Wide", L"DisplayName", wideName);
    entries.SetString(L"Wide", L"UninstallString", longCommand);
    entries.SetString(L"Quiet", L"DisplayName", L"Quiet One");
    entries.SetString(L"Quiet", L"QuietUninstallString", L"C:\\q\\q.exe /S");
    ListingPrintout listing;
    listing.dateText = L"Monday, March 08, 2010";
    // The row's own text is not what this layout prints: the entry's record is read afresh.
    listing.rows = {{L"old row text", L"", entries.fullPath() + L"\\Wide"},
                    {L"Quiet One", L"C:\\q\\q.exe /S", entries.fullPath() + L"\\Quiet"}};

    cVBALSysImageList large;
    large.SetIconSizeX(32);
    ASSERT_TRUE(large.Create());
    SystemImageListIcons icons(large);
    arItem entry(iconFolder.path());
    RecordingSurface s;
    ASSERT_TRUE(pPrintFull(s, listing, entry, icons));

    const auto texts = s.Of(PrintCall::kText);
    ASSERT_EQ(texts.size(), 3u + 4u);
    EXPECT_EQ(texts[3].text, wideName) << "names are never shortened in this layout";
    EXPECT_EQ(texts[3].x, 1200);
    EXPECT_EQ(texts[3].y, kFirstEntryY);
    EXPECT_EQ(texts[4].text, std::wstring(120, L'u') + L"...");
    EXPECT_EQ(texts[4].x, 1200);
    EXPECT_EQ(texts[4].y, kFirstEntryY + 192);
    EXPECT_EQ(texts[6].text, L"C:\\q\\q.exe /S") << "the quiet command stands in for a missing one";
    EXPECT_EQ(texts[6].y, kFirstEntryY + 4 * 192);

    const auto pictures = s.Of(PrintCall::kPicture);
    ASSERT_EQ(pictures.size(), 2u);
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(pictures[i].x, 600);
        EXPECT_EQ(pictures[i].y, kFirstEntryY + 3 * 192 * i);
        EXPECT_EQ(pictures[i].width, 480);
        EXPECT_EQ(pictures[i].height, 480);
        EXPECT_TRUE(pictures[i].hasIcon) << "the system image list gives the entry icon file's picture";
    }

    // An icon the image list cannot give leaves the square empty; the entry still prints.
    NoIcons none;
    RecordingSurface s2;
    ASSERT_TRUE(pPrintFull(s2, listing, entry, none));
    ASSERT_EQ(none.asked.size(), 2u);
    EXPECT_EQ(none.asked[1], iconFolder.path() + L"\\noicon.ico");
    EXPECT_FALSE(s2.Of(PrintCall::kPicture)[0].hasIcon);
    EXPECT_EQ(s2.Of(PrintCall::kText).size(), 7u);
}

TEST(PrintLayouts, APrinterThatFailsEndsTheJobAndTheUserHearsNothingWasPrinted) {
    arItem entry;
    NoIcons icons;
    const ListingPrintout listing = Numbered(150);

    {  // Printed whole: no message.
        RecordingSurface s;
        ScriptedPrompter prompter;
        EXPECT_TRUE(PrintListing(&s, L"PDF", 0, PrintDialogState::kNormal, listing, entry, icons, prompter));
        EXPECT_TRUE(prompter.shown.empty());
        EXPECT_TRUE(s.Of(PrintCall::kAbort).empty());
    }
    {  // The document refused at the start.
        RecordingSurface s;
        s.refuseStart = true;
        ScriptedPrompter prompter;
        EXPECT_FALSE(PrintListing(&s, L"PDF", 0, PrintDialogState::kMinimal, listing, entry, icons, prompter));
        EXPECT_TRUE(s.Of(PrintCall::kText).empty());
        EXPECT_EQ(s.Of(PrintCall::kAbort).size(), 1u);
        EXPECT_TRUE(s.Of(PrintCall::kEnd).empty());
        ASSERT_EQ(prompter.shown.size(), 1u);
        EXPECT_EQ(prompter.shown[0].title, L"Ardmoor");
        EXPECT_NE(prompter.shown[0].text.find(L"not printed"), std::wstring::npos);
        EXPECT_NE(prompter.shown[0].text.find(L"\"PDF\""), std::wstring::npos);
    }
    {  // The second page refused: the job stops there and is thrown away.
        RecordingSurface s;
        s.refusePage = 1;
        ScriptedPrompter prompter;
        EXPECT_FALSE(PrintListing(&s, L"PDF", 0, PrintDialogState::kMinimal, listing, entry, icons, prompter));
        EXPECT_EQ(s.Of(PrintCall::kText).size(), 3u + 77u);
        EXPECT_EQ(s.calls.back().kind, PrintCall::kAbort);
        EXPECT_TRUE(s.Of(PrintCall::kEnd).empty());
        EXPECT_EQ(prompter.shown.size(), 1u);
    }
    {  // A printer that cannot be opened at all, asked of the real spooler.
        const std::wstring name = L"Ardmoor No Such Printer";
        auto surface = GdiPrintSurface::Open(name);
        ASSERT_FALSE(surface);
        ScriptedPrompter prompter;
        EXPECT_FALSE(PrintListing(nullptr, name, surface.error(), PrintDialogState::kAdvanced, listing, entry, icons,
                                  prompter));
        ASSERT_EQ(prompter.shown.size(), 1u);
        EXPECT_NE(prompter.shown[0].text.find(name), std::wstring::npos);
        EXPECT_TRUE(icons.asked.empty()) << "no entry is read for a printout that cannot start";
    }
    {  // No printer at all.
        ScriptedPrompter prompter;
        EXPECT_FALSE(PrintListing(nullptr, L"", ERROR_INVALID_PRINTER_NAME, PrintDialogState::kMinimal, listing,
                                  entry, icons, prompter));
        ASSERT_EQ(prompter.shown.size(), 1u);
        EXPECT_EQ(prompter.shown[0].text, L"The listing was not printed: there is no printer to print on.");
    }
}
