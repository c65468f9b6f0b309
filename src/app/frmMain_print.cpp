// The main window's print command: the print dialog, then the chosen layout on the current printer.
#include "app/frmMain.h"
#include "print/frmPrint.h"
#include "print/gdi_print_surface.h"
#include "print/print_listing.h"

namespace ardmoor {

void frmMain::pPrint() {
    if (!Alive()) return;
    if (currentPrinter_.deviceName.empty()) currentPrinter_ = SystemDefaultPrinter();
    frmPrint dialog(SystemPrinters(), currentPrinter_);
    if (!dialog.ShowModal(hwnd()) || dialog.Cancelled() || !Alive()) return;

    // The rows as they stand now; a refresh that changes them later does not touch this printout.
    const ListingPrintout listing = ReadListing(lvRemove);
    HCURSOR previous = ::SetCursor(::LoadCursorW(nullptr, IDC_WAIT));
    auto surface = GdiPrintSurface::Open(currentPrinter_.deviceName);
    arItem entry(iconFolder_);
    SystemImageListIcons icons(largeIcons_);
    MessageBoxPrompter prompter(hwnd());
    (void)PrintListing(surface ? surface->get() : nullptr, currentPrinter_.deviceName, surface.error(),
                       dialog.PrintLevel(), listing, entry, icons, prompter);
    ::SetCursor(previous);
}

}  // namespace ardmoor
