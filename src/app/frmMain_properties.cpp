// The main window's properties command: the properties window for the selected entry, and the
// rebuild of that entry's row when the window is left with OK.
#include "app/frmMain.h"
#include "catalogue/icon_files.h"
#include "properties/frmProperties.h"

namespace ardmoor {

void frmMain::pProperties() {
    // Not while an uninstall runs or asks: it acts on the same rows.
    if (!Alive() || running_ || inCommand_) return;
    if (SelectedIndex_ < 1 || SelectedIndex_ > lvRemove.Count()) return;
    const std::wstring key = lvRemove.Item(SelectedIndex_).Key();
    frmProperties form(settings_.shell ? *settings_.shell : systemShell_, WriteEntryIconFiles());
    form.EntryKey = key;
    // Nor may one start while the window is open (a posted command still comes through).
    inCommand_ = true;
    const bool shown = form.ShowModal(hwnd());
    inCommand_ = false;
    if (shown && !form.Cancelled) RebuildRow(key);
}

void frmMain::RebuildRow(const std::wstring& key) {
    ListItem row = lvRemove.Item(key);
    if (!row) return;  // a refresh meanwhile no longer lists it
    // The entry icon files, where the refresh puts them.
    const std::wstring iconFolder = WriteEntryIconFiles();
    arItem entry(iconFolder);
    entry.GetItemInformation(key);
    row.SetText(entry.ItemName);
    const std::wstring iconFile = entry.ItemIcon.empty() && !iconFolder.empty() ? iconFolder + kNoIconFile
                                                                                : entry.ItemIcon;
    row.SetIcon(iconFile.empty() ? largeIcons_.ItemIndex(std::wstring_view(L"program.exe"), false)
                                 : largeIcons_.ItemIndex(iconFile, true));
    row.SetToolTipText(DetailsText(entry));
    row.SetSubItem(1, UninstallColumnText(entry));
    if (IsGroupingSupported() && LetterGroups.size() == kOtherGroup + 1)
        row.SetGroup(LetterGroups[LetterGroupIndex(entry.ItemName)]);
    // The new name takes its place in the order, grouped or not; the commands and the Details
    // bar stay with the row.
    lvRemove.Sort();
    SelectedIndex_ = row.Index();
    row.SetSelected(true);
    row.EnsureVisible();
    ShowDetails(SelectedIndex_);
}

}  // namespace ardmoor
