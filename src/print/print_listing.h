#pragma once
// Printing the main list at a chosen level of detail, and telling the user when it did not print.
#include <string>

#include "catalogue/arItem.h"
#include "platform/prompter.h"
#include "print/print_layouts.h"

namespace ardmoor {

class ListView;

// The rows as the list shows them now (text, "Uninstall Path" column, key, in list order), with
// today's date.
ListingPrintout ReadListing(const ListView& list);

// Prints the listing at `level` (PrintDialogState's levels) on `surface`, which is null when the
// printer `printerName` could not be opened (`openError`). When the printer fails at any step,
// the document is aborted so that no part of it is printed, and a message box with the
// program's title says so. True when the whole document went to the printer.
bool PrintListing(PrintSurface* surface, const std::wstring& printerName, long openError, int level,
                  const ListingPrintout& listing, arItem& entry, EntryIcons& icons, Prompter& prompter);

// The message of a printout that did not print.
std::wstring NotPrintedText(const std::wstring& printerName, long error);

}  // namespace ardmoor
