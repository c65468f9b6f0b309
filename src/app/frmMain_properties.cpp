// The main window's properties command: the properties window for the selected entry, and the
// rebuild of that entry's row when the window is left with OK.
#include <windows.h>
#include <shellapi.h>

#include "app/frmMain.h"
#include "catalogue/icon_files.h"
#include "platform/shell.h"
#include "properties/frmProperties.h"

namespace ardmoor {

namespace {
// Opens links through ShellExecuteExW until the shell-open module with its error table is in;
// nothing is recycled from the properties window.
class LinkShell final : public Shell {
public:
    bool Open(const std::wstring& file, int showCommand, const std::wstring& parameters, const std::wstring& folder,
              const std::wstring& operation, HWND owner, ShellError* error) override {
        SHELLEXECUTEINFOW info{sizeof(info)};
        info.fMask = SEE_MASK_FLAG_NO_UI | SEE_MASK_NOASYNC;
        info.hwnd = owner;
        info.lpVerb = operation.c_str();
        info.lpFile = file.c_str();
        info.lpParameters = parameters.empty() ? nullptr : parameters.c_str();
        info.lpDirectory = folder.empty() ? nullptr : folder.c_str();
        info.nShow = showCommand;
        const bool opened = ::ShellExecuteExW(&info) != FALSE;
        if (!opened && error) *error = ShellError{static_cast<long>(::GetLastError()), L"", L""};
        return opened;
    }
    Status Recycle(const std::wstring&, HWND) override { return Error{ERROR_CALL_NOT_IMPLEMENTED}; }
};
}  // namespace

void frmMain::pProperties() {
    if (SelectedIndex_ < 1 || SelectedIndex_ > lvRemove.Count()) return;
    const std::wstring key = lvRemove.Item(SelectedIndex_).Key();
    LinkShell shell;
    frmProperties form(shell, WriteEntryIconFiles());
    form.EntryKey = key;
    if (!form.ShowModal(hwnd())) return;
    if (!form.Cancelled) RebuildRow(key);
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
