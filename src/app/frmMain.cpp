#include "app/frmMain.h"

#include <windowsx.h>

#include "app/app_info.h"
#include "app/main_commands.h"
#include "app/main_task_pane.h"
#include "app/modOptions.h"
#include "app/window_helpers.h"
#include "platform/message_pump.h"
#include "platform/strings.h"
#include "resource_ids.h"

namespace ardmoor {

namespace {
// Pixels at 96 DPI.
constexpr int kMinWidth = 480;
constexpr int kMinHeight = 360;
constexpr int kFirstWidth = 900;
constexpr int kFirstHeight = 620;
constexpr int kPanelMinWidths[] = {240, 120, 120};
const std::wstring kTenBlanks(10, L' ');
}  // namespace

frmMain::frmMain() : frmMain(Settings{}) {}
frmMain::frmMain(Settings settings) : settings_(std::move(settings)) {
    if (settings_.optionsRoot.empty()) settings_.optionsRoot = modOptions::kOptionsRoot;
}
frmMain::~frmMain() = default;

bool frmMain::Load(int showCommand) {
    HICON icon = ::LoadIconW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_ARDMOOR));
    if (!Create(kMainWindowClass, kAppTitle, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, WS_EX_CONTROLPARENT,
                CW_USEDEFAULT, CW_USEDEFAULT, kFirstWidth, kFirstHeight, nullptr, nullptr, CS_HREDRAW | CS_VREDRAW, icon,
                reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1))) {
        ReportLoadFailure();
        return false;
    }
    // Only now is the monitor's DPI known.
    ::SetWindowPos(hwnd(), nullptr, 0, 0, Scale(kFirstWidth), Scale(kFirstHeight),
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    // The window keeps to its minimum size through a subclass of its own minimum/maximum query.
    (void)AttachMessage(this, hwnd(), WM_GETMINMAXINFO);
    if (!Form_Load()) {
        // No half-built window: the user hears why the program does not open.
        ReportLoadFailure();
        Form_QueryUnload();
        unloaded_ = true;  // nothing was loaded, so nothing is saved
        Destroy();
        return false;
    }
    if (!Alive()) return true;  // closed while loading
    // The rows already read come with the window's first paint; the rest follow.
    pRefresh();
    OnListingBatches();
    // Under Wine a list's first paint costs several times a later one (its font and icons met for
    // the first time); paid into a memory bitmap here, it does not hold up the shown window. The
    // rows taken so far are laid out first, so that their layout does not wait for the shown
    // window's first turn either.
    lvRemove.SetRedraw(true);
    PaintOffScreen(lvRemove.hwnd());
    ::ShowWindow(hwnd(), showCommand);
    PaintPieceByPiece(hwnd());
    PumpPendingMessages();
    return true;
}

void frmMain::ReportLoadFailure() {
    MessageBoxPrompter fallback(nullptr);
    Prompter& prompter = settings_.prompter ? *settings_.prompter : fallback;
    prompter.Message(L"Ardmoor could not create its main window and will close.\r\n\r\n" +
                         SystemErrorText(::GetLastError()),
                     kAppTitle, MB_OK | MB_ICONERROR);
}

bool frmMain::Form_Load() {
    if (!picTitle.Create(hwnd(), kIdTitle)) return false;
    picTitle.OnLogoClick = [this] { pAbout(); };
    RECT none{0, 0, 0, 0};
    if (!eBar.Create(hwnd(), none, kIdTaskPane, L"Tasks")) return false;
    eBar.SetOnItemClick([this](TaskPaneItem& item) { OnTaskItemClick(item); });
    ListViewStyle listStyle;
    listStyle.view = list_view::kViewIcons;
    if (!lvRemove.Create(hwnd(), kIdList, listStyle)) return false;
    lvRemove.SetBorderStyle(1, 1);
    lvRemove.SetTakesReturn(true);  // Enter on a row uninstalls it
    lvRemove.OnItemClick = [this](ListItem item) { ShowDetails(item.Index()); };
    lvRemove.OnItemDblClick = [this](ListItem) { pUninstall(); };
    lvRemove.OnKeyUp = [this](int key, int shift) { OnListKeyUp(key, shift); };
    lvRemove.OnMouseUp = [this](int button, int shift, int x, int y) { OnListMouseUp(button, shift, x, y); };
    lvRemove.OnColumnClick = [this](int column) { OnColumnClick(column); };
    if (!sBar.Create(hwnd(), kIdStatus)) return false;
    BuildMenus();
    GetFormOptions();
    pSetup();
    CenterForm(hwnd());
    Form_Resize();
    return true;
}

void frmMain::BuildMenus() {
    mnuMain.reset(::CreateMenu());
    mnuMaina = ::CreatePopupMenu();
    mnuView = ::CreatePopupMenu();
    ::AppendMenuW(mnuView, MF_STRING, kIdViewIcons, L"&Icons");
    ::AppendMenuW(mnuView, MF_STRING, kIdViewList, L"&List");
    ::AppendMenuW(mnuView, MF_STRING, kIdViewDetails, L"&Details");
    ::AppendMenuW(mnuView, MF_SEPARATOR, 0, nullptr);
    ::AppendMenuW(mnuView, MF_STRING, kIdViewGroups, L"&Show in Groups");
    ::AppendMenuW(mnuMaina, MF_STRING, kIdMenuUninstall, L"&Uninstall selected entry");
    ::AppendMenuW(mnuMaina, MF_STRING, kIdMenuRemove, L"&Remove selected entry");
    ::AppendMenuW(mnuMaina, MF_SEPARATOR, 0, nullptr);
    ::AppendMenuW(mnuMaina, MF_STRING, kIdMenuRefresh, L"Re&fresh listing");
    ::AppendMenuW(mnuMaina, MF_STRING, kIdMenuExport, L"&Export listing...");
    ::AppendMenuW(mnuMaina, MF_SEPARATOR, 0, nullptr);
    ::AppendMenuW(mnuMaina, MF_POPUP, reinterpret_cast<UINT_PTR>(mnuView), L"&View");
    ::AppendMenuW(mnuMain.get(), MF_POPUP, reinterpret_cast<UINT_PTR>(mnuMaina), L"Menu");
}

bool frmMain::IsGroupingSupported() const { return lvRemove.GroupsSupported(); }

void frmMain::GetFormOptions() {
    modOptions::LoadOptions(settings_.optionsRoot);
    ApplyViewOptions();
}

void frmMain::ApplyViewOptions() {
    Options& o = modOptions::Current();
    if (o.ViewMode != 0 && o.ViewMode != 1 && o.ViewMode != 3) o.ViewMode = 0;  // a stored value we do not know
    ::CheckMenuItem(mnuView, kIdViewIcons, MF_BYCOMMAND | (o.ViewMode == 0 ? MF_CHECKED : MF_UNCHECKED));
    ::CheckMenuItem(mnuView, kIdViewList, MF_BYCOMMAND | (o.ViewMode == 3 ? MF_CHECKED : MF_UNCHECKED));
    ::CheckMenuItem(mnuView, kIdViewDetails, MF_BYCOMMAND | (o.ViewMode == 1 ? MF_CHECKED : MF_UNCHECKED));
    ::EnableMenuItem(mnuView, kIdViewGroups,
                     MF_BYCOMMAND | (o.ViewMode == 0 || o.ViewMode == 1 ? MF_ENABLED : MF_GRAYED));
    ::CheckMenuItem(mnuView, kIdViewGroups, MF_BYCOMMAND | (o.ShowGroups ? MF_CHECKED : MF_UNCHECKED));
    lvRemove.SetView(o.ViewMode);
    if (IsGroupingSupported()) lvRemove.EnableGroups(o.ShowGroups);
    ::InvalidateRect(lvRemove.hwnd(), nullptr, TRUE);
}

void frmMain::pSetup() {
    if (!IsGroupingSupported()) {
        // Without list groups the View menu offers no grouping (the separator goes too).
        ::DeleteMenu(mnuView, kIdViewGroups, MF_BYCOMMAND);
        ::DeleteMenu(mnuView, 3, MF_BYPOSITION);
    }
    SelectedIndex_ = 1;
    largeIcons_.SetIconSizeX(32);
    largeIcons_.SetIconSizeY(32);
    smallIcons_.SetIconSizeX(16);
    smallIcons_.SetIconSizeY(16);
    if (largeIcons_.Create()) lvRemove.SetImageList(largeIcons_.hIml(), 0);
    // Rows show a program's generic icon until their own arrives (known without touching a disk).
    placeholderIcon_ = largeIcons_.ItemIndex(std::wstring(L"program.exe"), false);
    if (smallIcons_.Create()) lvRemove.SetImageList(smallIcons_.hIml(), 1);
    (void)lvRemove.AddColumn(L"DisplayName", L"Name", 3000);
    (void)lvRemove.AddColumn(L"UninstallString", L"Uninstall Path", 7200);
    lvRemove.Column(L"DisplayName").SetSortOrder(list_view::kSortNone);
    lvRemove.Column(L"DisplayName").SetSortType(list_view::kSortText);
    BuildMainTaskPane(eBar);

    const std::wstring caption = WindowTextOf(hwnd()) + kTenBlanks;
    const std::wstring texts[] = {caption, caption, CurrentDateTimeText() + kTenBlanks};
    for (int i = 0; i < 3; ++i) {
        PanelOptions panel;
        panel.text = texts[i];
        panel.minWidth = Scale(kPanelMinWidths[i]);
        sBar.AddPanel(panel);
    }
}

void frmMain::OnDpiChanged(UINT dpi, const RECT& suggested) {
    ::SetWindowPos(hwnd(), nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                   suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
    for (long i = 0; i < 3 && i < sBar.PanelCount(); ++i)
        sBar.PanelMinWidth(i + 1, ::MulDiv(kPanelMinWidths[i], static_cast<int>(dpi), 96));
    lvRemove.SetDpi(dpi);
    Form_Resize();
}

void frmMain::OnContextMenu(HWND from, LPARAM lp) {
    // Only the keyboard's menu key and Shift+F10 come here; the mouse's right button has its own event.
    // Passed up from the list, through its container (which some systems name instead).
    if (GET_X_LPARAM(lp) != -1 || GET_Y_LPARAM(lp) != -1) return;
    if (from != lvRemove.hwnd() && from != lvRemove.container()) return;
    POINT pt{0, 0};
    if (const ListItem row = lvRemove.SelectedItem()) {
        RECT r{};
        r.left = LVIR_ICON;
        ::SendMessageW(lvRemove.hwnd(), LVM_GETITEMRECT, static_cast<WPARAM>(row.Index() - 1), reinterpret_cast<LPARAM>(&r));
        pt = {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    }
    ::ClientToScreen(lvRemove.hwnd(), &pt);
    ::TrackPopupMenuEx(mnuMaina, TPM_RIGHTBUTTON, pt.x, pt.y, hwnd(), nullptr);
}

void frmMain::Form_Resize() {
    if (!hwnd()) return;
    RECT client{};
    ::GetClientRect(hwnd(), &client);
    const int w = client.right, h = client.bottom;
    sBar.AlignToParent();
    RECT status{};
    ::GetWindowRect(sBar.hwnd(), &status);
    const int statusHeight = status.bottom - status.top;
    const int titleHeight = picTitle.PreferredHeight();
    const int paneWidth = eBar.PreferredWidth();
    ::MoveWindow(picTitle.hwnd(), 0, 0, w, titleHeight, TRUE);
    const int bodyHeight = h - (titleHeight + statusHeight);
    if (bodyHeight <= 0 || w - paneWidth <= 0) return;  // too small: controls stay where they were
    eBar.SetRedraw(false);
    ::MoveWindow(eBar.hwnd(), 0, titleHeight, paneWidth, bodyHeight, TRUE);
    lvRemove.Move(paneWidth, titleHeight, w - paneWidth, bodyHeight);
    eBar.SetRedraw(true);
}

LRESULT frmMain::ISubclass_WindowProc(HWND, UINT msg, WPARAM, LPARAM lp) {
    if (msg == WM_GETMINMAXINFO) {
        auto* info = reinterpret_cast<MINMAXINFO*>(lp);
        info->ptMinTrackSize.x = Scale(kMinWidth);
        info->ptMinTrackSize.y = Scale(kMinHeight);
    }
    return 0;
}

UINT RefreshStateMessage() {
    static const UINT msg = ::RegisterWindowMessageW(L"Ardmoor.RefreshState");
    return msg;
}

bool frmMain::OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    if (msg == RefreshStateMessage()) {
        result = refreshState_;
        return true;
    }
    if (msg == kListingMessage) {
        OnListingBatches();
        return true;
    }
    if (msg == WM_TIMER && wp == kRepaintTimer) {
        ReleaseListDrawing();
        return true;
    }
    switch (msg) {
    case WM_SIZE:
        Form_Resize();
        return true;
    case WM_SETFOCUS:
        if (lvRemove.hwnd()) ::SetFocus(lvRemove.hwnd());
        return true;
    case WM_COMMAND:
        if (HIWORD(wp) == 0 || HIWORD(wp) == 1) OnMenuCommand(LOWORD(wp));
        return true;
    case WM_DPICHANGED:
        OnDpiChanged(HIWORD(wp), *reinterpret_cast<const RECT*>(lp));
        return true;
    case WM_CONTEXTMENU:
        OnContextMenu(reinterpret_cast<HWND>(wp), lp);
        return true;
    case WM_SETCURSOR:
        if (busy_ || exporting_) {
            // The window stays usable while the listing arrives: the background-work pointer. An
            // export takes it out of use: the wait pointer.
            ::SetCursor(::LoadCursorW(nullptr, exporting_ ? IDC_WAIT : IDC_APPSTARTING));
            result = TRUE;
            return true;
        }
        return false;
    case WM_CLOSE:
        // Closing is never refused.
        Form_QueryUnload();
        ::DestroyWindow(hwnd());
        return true;
    case WM_QUERYENDSESSION:
        result = TRUE;
        return true;
    case WM_ENDSESSION:
        // The process may end without WM_DESTROY: save now.
        if (wp) Form_Unload();
        return true;
    case WM_DESTROY:
        Form_Unload();
        ::PostQuitMessage(0);
        return true;
    default:
        return false;
    }
}

void frmMain::Form_QueryUnload() {
    closing_ = true;
    stream_.reset();  // the reading stops at once
    DetachMessage(this, hwnd(), WM_GETMINMAXINFO);
}

void frmMain::Form_Unload() {
    if (unloaded_) return;
    unloaded_ = true;
    closing_ = true;
    largeIcons_.Destroy();
    smallIcons_.Destroy();
    modOptions::SaveOptions(settings_.optionsRoot);
}

}  // namespace ardmoor
