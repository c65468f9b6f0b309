// The task pane's mouse, keyboard and tool-tip handling.
#include "controls/task_pane/task_pane.h"

#include <windowsx.h>
#include <commctrl.h>
#include <oleacc.h>

#include <algorithm>

namespace ardmoor {

namespace {
bool IsMouseMessage(UINT msg) { return msg >= WM_MOUSEFIRST && msg <= WM_MOUSELAST && msg != WM_MOUSEWHEEL; }
POINT PointFrom(LPARAM lp) { return POINT{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)}; }
}  // namespace

bool TaskPane::HandleInput(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    if (IsMouseMessage(msg) && msg != WM_MOUSEMOVE) RelayToToolTip(msg, wp, lp);
    switch (msg) {
    case WM_MOUSEMOVE:
        OnMouseMove(PointFrom(lp));
        RelayToToolTip(msg, wp, lp);  // after the tool's rectangle follows the pointer
        result = 0;
        return true;
    case WM_MOUSELEAVE:
        OnMouseLeave();
        result = 0;
        return true;
    case WM_SETCURSOR:
        if (reinterpret_cast<HWND>(wp) == hwnd() && LOWORD(lp) == HTCLIENT && OnSetCursor()) {
            result = TRUE;
            return true;
        }
        return false;
    case WM_LBUTTONDOWN:
        OnButtonDown(PointFrom(lp));
        result = 0;
        return true;
    case WM_LBUTTONDBLCLK:
        // The second press of a double-click is not a second click: one command, run once.
        result = 0;
        return true;
    case WM_LBUTTONUP:
        OnButtonUp(PointFrom(lp));
        result = 0;
        return true;
    case WM_CAPTURECHANGED:
        pressed_ = nullptr;
        return false;
    case WM_MOUSEWHEEL: {
        EnsureLayout();
        if (layout_.height <= VisibleHeight()) return false;  // the parent may scroll instead
        OnMouseWheel(GET_WHEEL_DELTA_WPARAM(wp));
        result = 0;
        return true;
    }
    case WM_VSCROLL:
        OnVScroll(LOWORD(wp));
        result = 0;
        return true;
    case WM_GETDLGCODE:
        result = OnGetDlgCode(reinterpret_cast<const MSG*>(lp));
        return true;
    case WM_KEYDOWN:
        if (!OnKeyDown(wp, lp)) return false;
        result = 0;
        return true;
    case WM_SETFOCUS:
        OnFocusChanged(true);
        return false;
    case WM_KILLFOCUS:
        OnFocusChanged(false);
        return false;
    case WM_NOTIFY:
        if (OnToolTipNotify(reinterpret_cast<NMHDR*>(lp))) {
            result = 0;
            return true;
        }
        return false;
    default:
        return false;
    }
}

// ---- mouse

void TaskPane::OnMouseMove(POINT client) {
    if (!trackingLeave_) {
        TRACKMOUSEEVENT tme{sizeof(tme), TME_LEAVE, hwnd(), 0};
        trackingLeave_ = ::TrackMouseEvent(&tme) != FALSE;
    }
    const TaskPaneHit hit = HitTestClient(client);
    SetHot(hit.kind == TaskPaneHit::Kind::Item && hit.target->IsLink() ? hit.target : nullptr);
}

void TaskPane::OnMouseLeave() {
    trackingLeave_ = false;
    SetHot(nullptr);
}

void TaskPane::SetHot(TaskPaneItem* item) {
    if (item == hot_) return;
    InvalidateItem(hot_);
    hot_ = item;
    InvalidateItem(hot_);
    if (toolTip_) ::SendMessageW(toolTip_.get(), TTM_POP, 0, 0);
    UpdateToolTipRect();
}

void TaskPane::UpdateHotFromCursor() {
    if (!hwnd()) return;
    POINT pt{};
    if (!::GetCursorPos(&pt) || ::WindowFromPoint(pt) != hwnd()) {
        SetHot(nullptr);
        return;
    }
    ::ScreenToClient(hwnd(), &pt);
    OnMouseMove(pt);
}

bool TaskPane::OnSetCursor() {
    POINT pt{};
    if (!::GetCursorPos(&pt)) return false;
    ::ScreenToClient(hwnd(), &pt);
    const TaskPaneHit hit = HitTestClient(pt);
    if (hit.kind != TaskPaneHit::Kind::Item || !hit.target->IsLink()) return false;
    ::SetCursor(::LoadCursorW(nullptr, IDC_HAND));
    return true;
}

void TaskPane::OnButtonDown(POINT client) {
    const TaskPaneHit hit = HitTestClient(client);
    pressed_ = hit.kind == TaskPaneHit::Kind::Item && hit.target->IsLink() ? hit.target : nullptr;
    if (!pressed_) return;
    ::SetCapture(hwnd());
    if (::GetFocus() == hwnd()) SetFocusedItem(pressed_);
}

void TaskPane::OnButtonUp(POINT client) {
    TaskPaneItem* pressed = pressed_;
    pressed_ = nullptr;
    if (::GetCapture() == hwnd()) ::ReleaseCapture();
    if (!pressed) return;
    // Like a link: the click counts only when the button comes up over the item it went down on.
    const TaskPaneHit hit = HitTestClient(client);
    if (hit.kind == TaskPaneHit::Kind::Item && hit.target == pressed) Click(*pressed);
}

void TaskPane::OnMouseWheel(int delta) {
    UINT lines = 3;
    ::SystemParametersInfoW(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
    int step = 0;
    if (lines == WHEEL_PAGESCROLL)
        step = ::MulDiv(delta, std::max(lineHeight_, VisibleHeight() - lineHeight_), WHEEL_DELTA);
    else
        step = ::MulDiv(delta, static_cast<int>(lines) * lineHeight_, WHEEL_DELTA);
    ScrollBy(-step);
}

void TaskPane::OnVScroll(int code) {
    const int page = std::max(lineHeight_, VisibleHeight() - lineHeight_);
    switch (code) {
    case SB_LINEUP: ScrollBy(-lineHeight_); break;
    case SB_LINEDOWN: ScrollBy(lineHeight_); break;
    case SB_PAGEUP: ScrollBy(-page); break;
    case SB_PAGEDOWN: ScrollBy(page); break;
    case SB_TOP: ScrollTo(0); break;
    case SB_BOTTOM: ScrollTo(layout_.height); break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: {
        SCROLLINFO si{sizeof(si), SIF_TRACKPOS};
        if (::GetScrollInfo(hwnd(), SB_VERT, &si)) ScrollTo(si.nTrackPos);
        break;
    }
    default: break;
    }
}

// ---- keyboard

LRESULT TaskPane::OnGetDlgCode(const MSG* msg) const {
    LRESULT code = DLGC_WANTARROWS | DLGC_WANTCHARS;
    // Enter clicks the focused link instead of pressing the window's default button.
    if (msg && msg->message == WM_KEYDOWN && msg->wParam == VK_RETURN && focus_) code |= DLGC_WANTMESSAGE;
    return code;
}

bool TaskPane::OnKeyDown(WPARAM key, LPARAM flags) {
    const bool repeat = (flags & (1 << 30)) != 0;
    switch (key) {
    case VK_DOWN: MoveFocus(+1, false); return true;
    case VK_UP: MoveFocus(-1, false); return true;
    case VK_HOME: MoveFocus(-1, true); return true;
    case VK_END: MoveFocus(+1, true); return true;
    case VK_PRIOR: ScrollBy(-std::max(lineHeight_, VisibleHeight() - lineHeight_)); return true;
    case VK_NEXT: ScrollBy(std::max(lineHeight_, VisibleHeight() - lineHeight_)); return true;
    case VK_RETURN:
    case VK_SPACE:
        // A held key would otherwise run the command over and over.
        if (focus_ && !repeat) Click(*focus_);
        return true;
    default:
        return false;
    }
}

void TaskPane::MoveFocus(int direction, bool toEnd) {
    EnsureLayout();
    const std::vector<TaskPaneItem*> links = layout_.FocusableItems();
    if (links.empty()) return;
    auto at = std::find(links.begin(), links.end(), focus_);
    TaskPaneItem* target = nullptr;
    if (toEnd)
        target = direction > 0 ? links.back() : links.front();
    else if (at == links.end())
        target = direction > 0 ? links.front() : links.back();
    else if (direction > 0)
        target = at + 1 == links.end() ? *at : *(at + 1);
    else
        target = at == links.begin() ? *at : *(at - 1);
    SetFocusedItem(target);
}

void TaskPane::SetFocusedItem(TaskPaneItem* item) {
    if (item && (!item->IsLink() || item->Text().empty())) return;
    if (item != focus_) {
        InvalidateItem(focus_);
        focus_ = item;
        InvalidateItem(focus_);
        if (hwnd() && ::GetFocus() == hwnd()) NotifyFocus();
    }
    if (focus_) EnsureVisible(*focus_);
}

void TaskPane::OnFocusChanged(bool focused) {
    if (focused) {
        if (!focus_) {
            EnsureLayout();
            const std::vector<TaskPaneItem*> links = layout_.FocusableItems();
            if (!links.empty()) focus_ = links.front();
        }
        if (focus_) EnsureVisible(*focus_);
        NotifyFocus();
    }
    InvalidateItem(focus_);
}

void TaskPane::NotifyFocus() {
    ::NotifyWinEvent(EVENT_OBJECT_FOCUS, hwnd(), OBJID_CLIENT,
                     focus_ ? TaskPaneAccessibility::ChildIdOf(*focus_) : CHILDID_SELF);
}

void TaskPane::Click(TaskPaneItem& item) {
    if (!onItemClick_) return;
    // The handler may replace itself, change the model or destroy the pane: it runs on copies,
    // and nothing of this object is touched once it returns.
    ItemClickHandler handler = onItemClick_;
    handler(item);
}

// ---- tool-tips

void TaskPane::CreateToolTip() {
    toolTip_.reset(::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP,
                                     CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd(), nullptr,
                                     ::GetModuleHandleW(nullptr), nullptr));
    if (!toolTip_) return;
    // One tool follows the item under the pointer; its text is asked for when it shows.
    TOOLINFOW ti{};
    ti.cbSize = TTTOOLINFOW_V2_SIZE;
    ti.hwnd = hwnd();
    ti.uId = 1;
    ti.lpszText = LPSTR_TEXTCALLBACKW;
    ::SendMessageW(toolTip_.get(), TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
    ::SendMessageW(toolTip_.get(), TTM_SETMAXTIPWIDTH, 0, Scale(360));
}

void TaskPane::RelayToToolTip(UINT msg, WPARAM wp, LPARAM lp) {
    if (!toolTip_) return;
    MSG m{hwnd(), msg, wp, lp, static_cast<DWORD>(::GetMessageTime()), {}};
    ::GetCursorPos(&m.pt);
    ::SendMessageW(toolTip_.get(), TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&m));
}

void TaskPane::UpdateToolTipRect() {
    if (!toolTip_ || !hwnd()) return;
    TOOLINFOW ti{};
    ti.cbSize = TTTOOLINFOW_V2_SIZE;
    ti.hwnd = hwnd();
    ti.uId = 1;
    if (hot_ && !ItemRect(*hot_, ti.rect)) ti.rect = {};
    ::SendMessageW(toolTip_.get(), TTM_NEWTOOLRECTW, 0, reinterpret_cast<LPARAM>(&ti));
}

bool TaskPane::OnToolTipNotify(NMHDR* header) {
    if (!header || !toolTip_ || header->hwndFrom != toolTip_.get() || header->code != TTN_GETDISPINFOW) return false;
    auto* info = reinterpret_cast<NMTTDISPINFOW*>(header);
    toolTipText_ = hot_ ? hot_->ToolTipText() : std::wstring();
    info->lpszText = toolTipText_.data();
    info->szText[0] = L'\0';
    info->hinst = nullptr;
    return true;
}

}  // namespace ardmoor
