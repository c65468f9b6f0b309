// The main window's commands: task-pane clicks, the popup and View menus, the list's events, and
// the Details bar that follows the selected row.
#include <windows.h>

#include "app/frmAbout.h"
#include "app/frmMain.h"
#include "app/main_commands.h"
#include "app/modOptions.h"
#include "catalogue/file_helpers.h"

namespace ardmoor {

TaskPaneItem* frmMain::TaskItem(const wchar_t* barKey, const wchar_t* itemKey) {
    TaskPaneBar* bar = eBar.FindBar(barKey);
    return bar ? bar->FindItem(itemKey) : nullptr;
}

void frmMain::ShowDetails(int index) {
    if (index < 1 || index > lvRemove.Count()) return;
    eBar.SetRedraw(false);
    const ListItem row = lvRemove.Item(index);
    const std::wstring name = row.Text();
    arItem entry;
    entry.LoadValues(row.Key());  // the Details bar needs no icon

    if (auto* item = TaskItem(L"Advanced", L"UNINSTALL"))
        item->SetText(name + L"\r\ncan be uninstalled by double-clicking the item or clicking here...");
    if (auto* item = TaskItem(L"Tasks", L"REMOVE")) item->SetText(L"Remove " + name + L" from your uninstall listing...");
    if (auto* item = TaskItem(L"Properties", L"PROPERTIES"))
        item->SetText(L"View or edit the properties for " + name + L"...");
    ::ModifyMenuW(mnuMaina, kIdMenuUninstall, MF_BYCOMMAND | MF_STRING, kIdMenuUninstall,
                  EscapeMenuText(L"Uninstall " + name).c_str());
    ::ModifyMenuW(mnuMaina, kIdMenuRemove, MF_BYCOMMAND | MF_STRING, kIdMenuRemove,
                  EscapeMenuText(L"Remove " + name + L" from your uninstall listing...").c_str());
    if (auto* item = TaskItem(L"Properties", L"ITEMNAME")) item->SetText(name);
    if (auto* item = TaskItem(L"Properties", L"PUBLISHER")) item->SetText(L"Publsher: " + entry.Publisher);
    if (auto* item = TaskItem(L"Properties", L"PHONE")) item->SetText(L"Telephone: " + entry.HelpTelephone);
    if (auto* item = TaskItem(L"Properties", L"SUPPORT")) {
        item->SetTag(entry.URLInfoAbout);
        item->SetToolTipText(entry.URLInfoAbout);
    }
    SelectedIndex_ = index;
    currentRow_ = row;
    eBar.SetRedraw(true);
}

void frmMain::OnTaskItemClick(TaskPaneItem& item) {
    if (running_) return;  // no command while an uninstaller runs
    // Copies: a command may change or rebuild the pane.
    const std::wstring key = item.Key();
    const std::wstring tag = item.Tag();
    if (key == L"UNINSTALL") {
        pUninstall();
    } else if (key == L"INSTALL") {
        pInstall();
    } else if (key == L"REMOVE") {
        if (SelectedIndex_ >= 1 && SelectedIndex_ <= lvRemove.Count())
            pRemoveItem(lvRemove.Item(SelectedIndex_).Text(), lvRemove.Item(SelectedIndex_).Key(), true);
    } else if (key == L"REFRESH") {
        pRefresh();
    } else if (key == L"PRINT") {
        pPrint();
    } else if (key == L"EXPORT") {
        pExport();
    } else if (key == L"HELP") {
        ShellOpen(AddBackslash(ProgramFolder()) + L"ardmor.chm", SW_SHOW);
    } else if (key == L"ABOUT") {
        pAbout();
    } else if (key == L"EXIT") {
        ::PostMessageW(hwnd(), WM_CLOSE, 0, 0);
    } else if (key == L"SUPPORT") {
        if (!tag.empty()) ShellOpen(tag, SW_SHOWDEFAULT);
    } else if (key == L"PROPERTIES") {
        pProperties();
    }
}

void frmMain::OnMenuCommand(int id) {
    if (running_) return;  // no command while an uninstaller runs
    Options& o = modOptions::Current();
    switch (id) {
    case kIdMenuUninstall:
        pUninstall();
        return;
    case kIdMenuRemove:
        if (SelectedIndex_ >= 1 && SelectedIndex_ <= lvRemove.Count())
            pRemoveItem(lvRemove.Item(SelectedIndex_).Text(), lvRemove.Item(SelectedIndex_).Key(), true);
        return;
    case kIdMenuRefresh:
        pRefresh();
        return;
    case kIdMenuExport:
        pExport();
        return;
    case kIdViewIcons:
        o.ViewMode = 0;
        break;
    case kIdViewList:
        o.ViewMode = 3;
        break;
    case kIdViewDetails:
        o.ViewMode = 1;
        break;
    case kIdViewGroups:
        o.ShowGroups = !o.ShowGroups;
        break;
    default:
        return;
    }
    ApplyViewOptions();
}

void frmMain::OnListKeyUp(int keyCode, int) {
    switch (keyCode) {
    case VK_RETURN:
        pUninstall();
        return;
    case VK_LEFT:
    case VK_UP:
    case VK_RIGHT:
    case VK_DOWN:
    case VK_PRIOR:
    case VK_NEXT:
    case VK_END:
    case VK_HOME: {
        // The Details bar follows the selection however the keyboard moved it.
        const int selected = lvRemove.SelectedItem().Index();
        if (selected >= 1) {
            SelectedIndex_ = selected;
            ShowDetails(SelectedIndex_);
        }
        return;
    }
    default:
        return;
    }
}

void frmMain::OnListMouseUp(int button, int, int, int) {
    if (button != 2) return;
    POINT pt;
    ::GetCursorPos(&pt);
    ::TrackPopupMenuEx(mnuMaina, TPM_RIGHTBUTTON, pt.x, pt.y, hwnd(), nullptr);
}

void frmMain::OnColumnClick(int column) {
    ListColumn header = lvRemove.Column(column);
    if (!header) return;
    header.SetSortOrder(header.SortOrder() == list_view::kSortAscending ? list_view::kSortDescending
                                                                        : list_view::kSortAscending);
    lvRemove.Sort();
    // Keep the commands on the row the Details bar shows, wherever sorting moved it.
    if (currentRow_) {
        SelectedIndex_ = currentRow_.Index();
    } else if (const int selected = lvRemove.SelectedItem().Index(); selected >= 1) {
        SelectedIndex_ = selected;
    }
}

void frmMain::ShellOpen(const std::wstring& target, int showCommand) {
    // A missing file or an unknown link opens nothing and shows no message of ours.
    if (target.empty()) return;
    Shell& shell = settings_.shell ? *settings_.shell : systemShell_;
    (void)shell.Open(target, showCommand, L"", L"", L"open", nullptr);
}

// The About box; its link opens through the same shell as every other link.
void frmMain::pAbout() {
    frmAbout about(settings_.shell ? *settings_.shell : systemShell_);
    (void)about.ShowModal(hwnd());
}

}  // namespace ardmoor
