// The layouts on a surface that records every call (fixed metrics: a character is half its point
// size wide, a line 1.2 times it high), to the twip; and the printout's failure handling. The
// printed pages themselves are checked in print_pdf_test.cpp.
#include <gtest/gtest.h>

#include "print/gdi_print_surface.h"
#include "print/print_dialog_state.h"
#include "print/print_listing.h"
#include "recording_surface.h"
#include "scripted_prompter.h"
#include "test_support.h"

using namespace ardmoor;
using test::PrintCall;
using test::RecordingSurface;

namespace {

ListingPrintout Numbered(int count) {
    ListingPrintout listing{{}, L"Monday, March 08, 2010"};
    for (int i = 1; i <= count; ++i) {
        wchar_t name[32];
        swprintf(name, 32, L"Entry %03d", i);
        listing.rows.push_back({name, L"", L""});
    }
    return listing;
}

struct NoIcons : EntryIcons {
    std::vector<std::wstring> asked;
    UniqueIcon IconOf(const std::wstring& file) override {
        asked.push_back(file);
        return {};
    }
};

// With these metrics: title line 11 * 24, date and count lines 9 * 24, then the 300 twips gap.
constexpr int kFirstEntryY = 600 + 264 + 216 + 216 + 300;  // 1596

}  // namespace

TEST(PrintLayouts, DateCountAndCutTexts) {
    SYSTEMTIME day{2010, 3, 1, 8};  // a Monday
    EXPECT_EQ(ListingDateText(day), L"Monday, March 08, 2010");
    EXPECT_EQ(ListingCountText(1234567), L"1,234,567 items listed...") << "0 and 1,234: on the printed pages";

    RecordingSurface s;  // room for 11906 - 4000 twips: 98 characters of 80 twips at size 8
    s.SetFontSize(8);
    const std::wstring fits(98, L'a'), tooWide(99, L'b'), long150(150, L'c');
    EXPECT_EQ(FitToPage(s, fits), fits);
    EXPECT_EQ(FitToPage(s, tooWide), tooWide + L"...");
    EXPECT_EQ(FitToPage(s, long150), std::wstring(120, L'c') + L"...");
    // A character of two units at the cut is kept whole or not at all.
    const std::wstring emoji = std::wstring(119, L'd') + L"\U0001F600" + std::wstring(30, L'e');
    EXPECT_EQ(FitToPage(s, emoji), std::wstring(119, L'd') + L"...");
    s.SetFontSize(4);  // the rule measures in the current font
    EXPECT_EQ(FitToPage(s, long150), long150);
}

TEST(PrintLayouts, AdvancedDrawsEachIconInTheSquareBesideItsEntryOrLeavesItEmpty) {
    test::TestRegistryKey entries;
    entries.SetString(L"A", L"DisplayName", L"Alpha");
    entries.SetString(L"B", L"QuietUninstallString", L"C:\\b.exe /S");
    ListingPrintout listing{{{L"", L"", entries.fullPath() + L"\\A"}, {L"", L"", entries.fullPath() + L"\\B"}}, L"d"};
    test::TempDir folder;
    arItem entry(folder.path());
    NoIcons icons;
    RecordingSurface s;
    ASSERT_TRUE(pPrintFull(s, listing, entry, icons));
    const auto pictures = s.Of(PrintCall::kPicture);
    ASSERT_EQ(pictures.size(), 2u);
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(pictures[i].x, 600);
        EXPECT_EQ(pictures[i].y, kFirstEntryY + 3 * 192 * i) << "the square starts where its entry's name does";
        EXPECT_EQ(pictures[i].width, 480);
        EXPECT_EQ(pictures[i].height, 480);
        EXPECT_FALSE(pictures[i].hasIcon);
    }
    const auto texts = s.Of(PrintCall::kText);
    ASSERT_EQ(texts.size(), 3u + 3u) << "an entry without a command prints an empty line for it";
    EXPECT_EQ(texts[3].text, L"Alpha");
    EXPECT_EQ(texts[4].text, L"B") << "named by its key";
    EXPECT_EQ(texts[5].text, L"C:\\b.exe /S");
}

TEST(PrintLayouts, APrinterThatFailsEndsTheJobAndTheUserHearsNothingWasPrinted) {
    arItem entry;
    NoIcons icons;
    const ListingPrintout listing = Numbered(150);
    struct Case {
        const char* what;
        bool refuseStart;
        int refusePage;
        size_t textsPrinted;
    } cases[] = {{"printed whole", false, 0, 153}, {"the document refused", true, 0, 0},
                 {"the second page refused", false, 1, 3 + 77}};
    for (const Case& c : cases) {
        RecordingSurface s;
        s.refuseStart = c.refuseStart;
        s.refusePage = c.refusePage;
        test::ScriptedPrompter prompter;
        const bool ok = c.textsPrinted == 153;
        EXPECT_EQ(PrintListing(&s, L"PDF", 0, PrintDialogState::kMinimal, listing, entry, icons, prompter), ok)
            << c.what;
        EXPECT_EQ(s.Of(PrintCall::kText).size(), c.textsPrinted) << c.what;
        EXPECT_EQ(s.Of(PrintCall::kEnd).size(), ok ? 1u : 0u) << c.what;
        EXPECT_EQ(s.Of(PrintCall::kAbort).size(), ok ? 0u : 1u) << c.what;
        ASSERT_EQ(prompter.asked.size(), ok ? 0u : 1u) << c.what;
        if (ok) continue;
        EXPECT_EQ(prompter.asked[0].title, L"Ardmoor");
        EXPECT_NE(prompter.asked[0].text.find(L"was not printed: the printer \"PDF\""), std::wstring::npos);
    }

    // A printer that cannot be opened, asked of the real spooler; and no printer at all.
    const std::wstring name = L"Ardmoor No Such Printer";
    auto surface = GdiPrintSurface::Open(name);
    ASSERT_FALSE(surface);
    test::ScriptedPrompter prompter;
    EXPECT_FALSE(PrintListing(nullptr, name, surface.error(), PrintDialogState::kAdvanced, listing, entry, icons,
                              prompter));
    EXPECT_FALSE(PrintListing(nullptr, L"", 0, PrintDialogState::kMinimal, listing, entry, icons, prompter));
    ASSERT_EQ(prompter.asked.size(), 2u);
    EXPECT_NE(prompter.asked[0].text.find(name), std::wstring::npos);
    EXPECT_EQ(prompter.asked[1].text, L"The listing was not printed: there is no printer to print on.");
    EXPECT_TRUE(icons.asked.empty()) << "no entry is read for a printout that cannot start";
}
