#include "print/print_listing.h"

#include "app/app_info.h"
#include "controls/list_view/list_view.h"
#include "platform/strings.h"
#include "print/print_dialog_state.h"

namespace ardmoor {

ListingPrintout ReadListing(const ListView& list) {
    ListingPrintout listing;
    const int count = list.Count();
    listing.rows.reserve(static_cast<size_t>(count));
    for (int i = 1; i <= count; ++i) {
        const ListItem row = list.Item(i);
        listing.rows.push_back({row.Text(), row.SubItem(1), row.Key()});
    }
    SYSTEMTIME today;
    ::GetLocalTime(&today);
    listing.dateText = ListingDateText(today);
    return listing;
}

std::wstring NotPrintedText(const std::wstring& printerName, long error) {
    if (printerName.empty()) return L"The listing was not printed: there is no printer to print on.";
    std::wstring text = L"The listing was not printed: the printer \"" + printerName + L"\" did not accept it.";
    const std::wstring reason = error > 0 ? SystemErrorText(static_cast<unsigned long>(error)) : std::wstring();
    if (!reason.empty()) text += L"\r\n\r\n" + reason;
    return text;
}

bool PrintListing(PrintSurface* surface, const std::wstring& printerName, long openError, int level,
                  const ListingPrintout& listing, arItem& entry, EntryIcons& icons, Prompter& prompter) {
    Status printed = Error{openError};
    if (surface) {
        switch (level) {
        case PrintDialogState::kMinimal:
            printed = pPrintMinimal(*surface, listing);
            break;
        case PrintDialogState::kNormal:
            printed = pPrintNormal(*surface, listing);
            break;
        default:
            printed = pPrintFull(*surface, listing, entry, icons);
            break;
        }
    }
    if (printed) return true;
    // Whatever the printer took of it is thrown away: a listing is printed whole or not at all.
    if (surface) surface->AbortDocument();
    prompter.Message(NotPrintedText(printerName, printed.error()), kAppTitle, MB_OK | MB_ICONEXCLAMATION);
    return false;
}

}  // namespace ardmoor
