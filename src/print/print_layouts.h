#pragma once
// The three printed layouts of the listing: names only, names and uninstall commands, and names,
// commands and icons. All share one heading (first page only) and one page-break rule, and print
// the rows in the order the list shows them.
#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

#include "catalogue/arItem.h"
#include "controls/cVBALSysImageList.h"
#include "platform/unique_handle.h"
#include "print/print_surface.h"

namespace ardmoor {

// One row of the main list as the printout reads it.
struct ListingRow {
    std::wstring text;           // the entry's display name
    std::wstring uninstallPath;  // the "Uninstall Path" column
    std::wstring key;            // the entry's registry path
};

struct ListingPrintout {
    std::vector<ListingRow> rows;
    std::wstring dateText;  // ListingDateText of the day it is printed
};

// Layout constants, in twips.
namespace print_layout {
inline constexpr int kTopMargin = 600;
inline constexpr int kTitleLeft = 585;
inline constexpr int kTextLeft = 600;
inline constexpr int kFullTextLeft = 1200;
inline constexpr int kIconLeft = 600;
inline constexpr int kIconSize = 480;
inline constexpr int kHeadingGap = 300;
inline constexpr int kTruncationReserve = 4000;
inline constexpr size_t kTruncatedLength = 120;
inline constexpr int kBottomReserve = 600;
inline constexpr int kTitleSize = 11;
inline constexpr int kHeadingSize = 9;
inline constexpr int kEntrySize = 8;
}  // namespace print_layout

inline constexpr const wchar_t* kListingTitle = L"Ardmoor Installed Software Listing";

// "Monday, March 08, 2010": weekday and month in full in the user's language, two-digit day.
std::wstring ListingDateText(const SYSTEMTIME& day);
// "1,234 items listed..." with the user's thousands separator; "0 items listed..." when empty.
std::wstring ListingCountText(size_t count);
// A text wider than the page less 4000 twips (in the surface's current font) becomes its first
// 120 characters and "..."; a shorter one that is still too wide keeps them all and gains "...".
std::wstring FitToPage(PrintSurface& surface, const std::wstring& text);

// Where the advanced layout finds an entry's icon: the picture for an icon file, or none.
class EntryIcons {
public:
    virtual ~EntryIcons() = default;
    virtual UniqueIcon IconOf(const std::wstring& iconFile) = 0;
};

// The main window's system image list: the file's own icon (loaded from disk).
class SystemImageListIcons : public EntryIcons {
public:
    explicit SystemImageListIcons(cVBALSysImageList& list) noexcept : list_(list) {}
    UniqueIcon IconOf(const std::wstring& iconFile) override {
        return list_.ItemPicture(list_.ItemIndex(std::wstring_view(iconFile), true));
    }

private:
    cVBALSysImageList& list_;
};

// Each prints one document. A failure of the printer stops the layout at once and is returned;
// the caller aborts the document.
[[nodiscard]] Status pPrintMinimal(PrintSurface& surface, const ListingPrintout& listing);
[[nodiscard]] Status pPrintNormal(PrintSurface& surface, const ListingPrintout& listing);
// `entry` is loaded again for each row (its icon folder decides where the entry icon files are).
[[nodiscard]] Status pPrintFull(PrintSurface& surface, const ListingPrintout& listing, arItem& entry,
                                EntryIcons& icons);

}  // namespace ardmoor
