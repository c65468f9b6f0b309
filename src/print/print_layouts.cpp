#include "print/print_layouts.h"

#include <algorithm>

namespace ardmoor {

using namespace print_layout;

std::wstring ListingDateText(const SYSTEMTIME& day) {
    wchar_t text[128] = L"";
    if (!::GetDateFormatEx(LOCALE_NAME_USER_DEFAULT, 0, &day, L"dddd, MMMM dd, yyyy", text, 128, nullptr))
        return {};
    return text;
}

std::wstring ListingCountText(size_t count) {
    wchar_t separator[8] = L",";
    if (!::GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_STHOUSAND, separator, 8)) separator[0] = L',';
    const std::wstring digits = std::to_wstring(count);
    std::wstring grouped;
    for (size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) grouped += separator;
        grouped += digits[i];
    }
    return grouped + L" items listed...";
}

std::wstring FitToPage(PrintSurface& surface, const std::wstring& text) {
    if (surface.TextWidth(text) <= surface.PageWidth() - kTruncationReserve) return text;
    size_t keep = std::min(text.size(), kTruncatedLength);
    // A character outside the basic plane is two units: keep it whole or not at all.
    if (keep < text.size() && keep > 0 && IS_HIGH_SURROGATE(text[keep - 1])) --keep;
    return text.substr(0, keep) + L"...";
}

namespace {

// The steps of one printed document; after the printer fails every later step does nothing.
class Document {
public:
    explicit Document(PrintSurface& surface) : s_(surface) {}

    [[nodiscard]] bool ok() const noexcept { return status_.ok(); }

    void Start() { status_ = s_.StartDocument(kListingTitle); }

    void Line(int x, std::wstring_view text) {
        if (!ok()) return;
        s_.SetCurrentX(x);
        status_ = s_.PrintLine(text);
    }

    void EmptyLine() {
        if (ok()) status_ = s_.PrintLine({});
    }

    void Picture(HICON icon, int left, int top) {
        if (ok()) s_.DrawPicture(icon, left, top, kIconSize, kIconSize);
    }

    // Identical in every layout, on the first page only.
    void Heading(size_t rowCount, const std::wstring& dateText) {
        s_.SetCurrentY(kTopMargin);
        s_.SetBold(true);
        s_.SetFontSize(kTitleSize);
        Line(kTitleLeft, kListingTitle);
        s_.SetFontSize(kHeadingSize);
        Line(kTextLeft, dateText);
        s_.SetFontSize(kHeadingSize);
        Line(kTextLeft, ListingCountText(rowCount));
        s_.SetFontSize(kEntrySize);
        s_.SetBold(false);
        s_.SetCurrentY(s_.CurrentY() + kHeadingGap);
    }

    // After a whole entry: an entry may reach into the bottom reserve, the next one starts a page.
    void BreakPageIfFull() {
        if (!ok() || s_.CurrentY() <= s_.PageHeight() - kBottomReserve) return;
        status_ = s_.NewPage();
        s_.SetCurrentY(kTopMargin);
    }

    Status Finish() {
        if (ok()) status_ = s_.EndDocument();
        return status_;
    }

private:
    PrintSurface& s_;
    Status status_;
};

}  // namespace

Status pPrintMinimal(PrintSurface& surface, const ListingPrintout& listing) {
    Document doc(surface);
    doc.Start();
    doc.Heading(listing.rows.size(), listing.dateText);
    for (const ListingRow& row : listing.rows) {
        if (!doc.ok()) break;
        doc.Line(kTextLeft, FitToPage(surface, row.text));
        doc.BreakPageIfFull();
    }
    return doc.Finish();
}

Status pPrintNormal(PrintSurface& surface, const ListingPrintout& listing) {
    Document doc(surface);
    doc.Start();
    doc.Heading(listing.rows.size(), listing.dateText);
    for (const ListingRow& row : listing.rows) {
        if (!doc.ok()) break;
        const std::wstring name = FitToPage(surface, row.text);
        const std::wstring path = FitToPage(surface, row.uninstallPath);
        doc.Line(kTextLeft, name);
        doc.Line(kTextLeft, path);
        doc.EmptyLine();
        doc.BreakPageIfFull();
    }
    return doc.Finish();
}

Status pPrintFull(PrintSurface& surface, const ListingPrintout& listing, arItem& entry, EntryIcons& icons) {
    Document doc(surface);
    doc.Start();
    doc.Heading(listing.rows.size(), listing.dateText);
    for (const ListingRow& row : listing.rows) {
        if (!doc.ok()) break;
        entry.GetItemInformation(row.key);
        const std::wstring& command = entry.UninstallString.empty() ? entry.QuietUninstallString : entry.UninstallString;
        const int top = surface.CurrentY();
        doc.Line(kFullTextLeft, entry.ItemName);  // names are never shortened here
        doc.Line(kFullTextLeft, FitToPage(surface, command));
        const UniqueIcon icon = icons.IconOf(entry.ItemIcon);
        doc.Picture(icon.get(), kIconLeft, top);
        doc.EmptyLine();
        doc.BreakPageIfFull();
    }
    return doc.Finish();
}

}  // namespace ardmoor
