// The ListView's windows: the container that takes the control's notifications, the control's
// subclass for key and mouse releases, drawing batches and placement.
#include <windows.h>
#include <windowsx.h>

#include <algorithm>
#include <utility>

#include "controls/list_view/list_view.h"
#include "platform/caught_exception.h"
#include "platform/window.h"

namespace ardmoor {

namespace {

constexpr wchar_t kContainerClass[] = L"ArdmoorListView";

DWORD ViewStyle(int view) {
    switch (view) {
        case list_view::kViewIcons: return LVS_ICON;
        case list_view::kViewSmallIcons: return LVS_SMALLICON;
        case list_view::kViewList: return LVS_LIST;
        default: return LVS_REPORT;
    }
}

void ChangeStyle(HWND hwnd, DWORD clear, DWORD set) {
    const LONG_PTR old = ::GetWindowLongPtrW(hwnd, GWL_STYLE);
    const LONG_PTR now = (old & ~static_cast<LONG_PTR>(clear)) | static_cast<LONG_PTR>(set);
    if (now != old) ::SetWindowLongPtrW(hwnd, GWL_STYLE, now);
}

int ShiftState() {
    int shift = 0;
    if (::GetKeyState(VK_SHIFT) < 0) shift |= list_view::kShift;
    if (::GetKeyState(VK_CONTROL) < 0) shift |= list_view::kCtrl;
    if (::GetKeyState(VK_MENU) < 0) shift |= list_view::kAlt;
    return shift;
}

bool IsMenuKey(WPARAM key) { return key == VK_APPS || (key == VK_F10 && ::GetKeyState(VK_SHIFT) < 0); }

int ButtonVirtualKey(int button) {
    switch (button) {
        case list_view::kLeftButton: return VK_LBUTTON;
        case list_view::kRightButton: return VK_RBUTTON;
        default: return VK_MBUTTON;
    }
}

}  // namespace

class ListView::Host final : public Window {
public:
    explicit Host(ListView* owner) : owner_(owner) {}
    void Detach() noexcept { owner_ = nullptr; }

protected:
    bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override {
        if (!owner_) return false;
        bool handled = false;
        result = owner_->OnHostMessage(msg, wp, lp, handled);
        return handled;
    }

private:
    ListView* owner_;
};

ListView::ListView() : alive_(std::make_shared<bool>(true)) {}

ListView::~ListView() {
    alive_.reset();
    // From here on the control's messages go straight to its own procedure.
    if (list_) ::SetWindowLongPtrW(list_, GWLP_USERDATA, 0);
    if (host_) host_->Detach();
    host_.reset();
}

HWND ListView::container() const noexcept { return host_ ? host_->hwnd() : nullptr; }

Status ListView::Create(HWND parent, int controlId, const ListViewStyle& style) {
    if (host_) return Error{ERROR_ALREADY_EXISTS};
    if (!parent || !::IsWindow(parent)) return Error{ERROR_INVALID_WINDOW_HANDLE};
    if (::GetWindowThreadProcessId(parent, nullptr) != ::GetCurrentThreadId()) return Error{ERROR_ACCESS_DENIED};

    auto* id = reinterpret_cast<HMENU>(static_cast<INT_PTR>(controlId));
    auto host = std::make_unique<Host>(this);
    const DWORD hostStyle = WS_CHILD | WS_CLIPCHILDREN | WS_CLIPSIBLINGS | (style.visible ? WS_VISIBLE : 0);
    if (!host->Create(kContainerClass, L"", hostStyle, WS_EX_CONTROLPARENT, 0, 0, 100, 100, parent, id, 0))
        return Error{static_cast<long>(::GetLastError())};

    DWORD ws = WS_CHILD | WS_VISIBLE | WS_TABSTOP | LVS_SHAREIMAGELISTS | LVS_SHOWSELALWAYS | LVS_AUTOARRANGE |
               ViewStyle(style.view);
    if (style.singleSelect) ws |= LVS_SINGLESEL;
    if (!style.columnHeaders) ws |= LVS_NOCOLUMNHEADER;
    HWND list = ::CreateWindowExW(0, WC_LISTVIEWW, L"", ws, 0, 0, 100, 100, host->hwnd(), id,
                                  ::GetModuleHandleW(nullptr), nullptr);
    if (!list) return Error{static_cast<long>(::GetLastError())};

    const DWORD ex = LVS_EX_INFOTIP | (style.fullRowSelect ? LVS_EX_FULLROWSELECT : 0);
    ::SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_INFOTIP | LVS_EX_FULLROWSELECT, ex);
    groupsSupported_ = ListViewSupportsGroups(list);

    ::SetWindowLongPtrW(list, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    listProc_ = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrW(list, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ListView::ControlProc)));
    if (!listProc_) return Error{static_cast<long>(::GetLastError())};
    list_ = list;
    host_ = std::move(host);
    dpi_ = std::max<UINT>(::GetDpiForWindow(list_), 1);
    ApplyFont();
    return {};
}

void ListView::ApplyFont() {
    LOGFONTW lf{};
    if (!::SystemParametersInfoForDpi(SPI_GETICONTITLELOGFONT, sizeof(lf), &lf, 0, dpi_)) return;
    UniqueFont font(::CreateFontIndirectW(&lf));
    if (!font) return;
    ::SendMessageW(list_, WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), TRUE);
    font_ = std::move(font);  // the old one only after the control let go of it
}

void ListView::SetDpi(UINT dpi) {
    if (!list_ || dpi == 0 || dpi == dpi_) return;
    for (int i = 0; i < ColumnCount(); ++i) {
        const int px = static_cast<int>(::SendMessageW(list_, LVM_GETCOLUMNWIDTH, i, 0));
        ::SendMessageW(list_, LVM_SETCOLUMNWIDTH, i, MAKELPARAM(::MulDiv(px, static_cast<int>(dpi), static_cast<int>(dpi_)), 0));
    }
    dpi_ = dpi;
    ApplyFont();
}

// ---- drawing batches ----

UINT ListView::EndBatchMessage() {
    static const UINT msg = ::RegisterWindowMessageW(L"Ardmoor.ListView.EndBatch");
    return msg;
}

// Turning drawing off for a burst of changes takes Wine's control from quadratic to linear time.
void ListView::BeginBatch() {
    if (batching_ || !userRedraw_ || !list_) return;
    batching_ = true;
    ::SendMessageW(list_, WM_SETREDRAW, FALSE, 0);
    ::PostMessageW(container(), EndBatchMessage(), 0, 0);
}

void ListView::EndBatch() {
    if (!batching_) return;
    batching_ = false;
    if (userRedraw_) RedrawOn();
}

void ListView::RedrawOn() {
    ::SendMessageW(list_, WM_SETREDRAW, TRUE, 0);
    ::RedrawWindow(list_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
}

void ListView::SetRedraw(bool redraw) {
    if (!list_) return;
    const bool wasOff = batching_ || !userRedraw_;
    batching_ = false;
    userRedraw_ = redraw;
    if (redraw) {
        if (wasOff) RedrawOn();
    } else if (!wasOff) {
        ::SendMessageW(list_, WM_SETREDRAW, FALSE, 0);
    }
}

// ---- placement ----

void ListView::SetVisible(bool visible) {
    if (host_) ::ShowWindow(container(), visible ? SW_SHOWNA : SW_HIDE);
}

bool ListView::Visible() const {
    return host_ && (::GetWindowLongPtrW(container(), GWL_STYLE) & WS_VISIBLE) != 0;
}

void ListView::Move(int left, int top, int width, int height) {
    if (!host_ || width < 0 || height < 0) return;
    ::MoveWindow(container(), left, top, width, height, TRUE);
}

void ListView::MoveTwips(int left, int top, int width, int height) {
    if (!list_) return;
    const UINT dpi = std::max<UINT>(::GetDpiForWindow(list_), 1);
    Move(TwipsToPixels(left, dpi), TwipsToPixels(top, dpi), TwipsToPixels(width, dpi), TwipsToPixels(height, dpi));
}

void ListView::SetFocus() {
    if (list_) ::SetFocus(list_);
}

void ListView::SetBorderStyle(int borderStyle, int appearance) {
    if (!list_) return;
    const bool sunken = borderStyle == 1 && appearance == 1;
    const bool flat = borderStyle == 1 && appearance != 1;
    ChangeStyle(list_, WS_BORDER, flat ? WS_BORDER : 0);
    const LONG_PTR ex = ::GetWindowLongPtrW(list_, GWL_EXSTYLE);
    ::SetWindowLongPtrW(list_, GWL_EXSTYLE,
                        sunken ? (ex | WS_EX_CLIENTEDGE) : (ex & ~static_cast<LONG_PTR>(WS_EX_CLIENTEDGE)));
    ::SetWindowPos(list_, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

void ListView::SetFullRowSelect(bool on) {
    if (list_) ::SendMessageW(list_, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, on ? LVS_EX_FULLROWSELECT : 0);
}

void ListView::SetColumnHeaders(bool on) {
    if (list_) ChangeStyle(list_, LVS_NOCOLUMNHEADER, on ? 0 : LVS_NOCOLUMNHEADER);
}

int ListView::View() const {
    if (!list_) return list_view::kViewDetails;
    switch (::GetWindowLongPtrW(list_, GWL_STYLE) & LVS_TYPEMASK) {
        case LVS_ICON: return list_view::kViewIcons;
        case LVS_SMALLICON: return list_view::kViewSmallIcons;
        case LVS_LIST: return list_view::kViewList;
        default: return list_view::kViewDetails;
    }
}

void ListView::SetView(int view) {
    if (!list_ || view < list_view::kViewIcons || view > list_view::kViewList) return;
    ChangeStyle(list_, LVS_TYPEMASK, ViewStyle(view));
    ::InvalidateRect(list_, nullptr, TRUE);
}

// ---- events ----

// Runs one event handler; a handler's exception ends there. False when the handler destroyed
// the ListView, so that the caller touches nothing of it any more.
template <class F>
bool ListView::Fire(F&& call) {
    std::weak_ptr<bool> alive = alive_;
    try {
        call();
    } catch (...) {
        ReportCaughtException(L"list view event");
    }
    return !alive.expired();
}

int ListView::IconOf(ItemRecord& rec) {
    if (rec.icon != list_view::kIconOnDemand) return rec.icon;
    int icon = -1;
    const uint64_t id = rec.id;
    if (OnItemIcon && !Fire([&] { icon = OnItemIcon(ListItem(this, id)); })) return -1;
    // Asked once: a handler that failed leaves the row without an icon.
    if (ItemRecord* still = Find(id)) still->icon = icon < 0 ? -1 : icon;
    return icon < 0 ? -1 : icon;
}

LRESULT ListView::OnHostMessage(UINT msg, WPARAM wp, LPARAM lp, bool& handled) {
    handled = true;
    if (msg == EndBatchMessage()) {
        EndBatch();
        return 0;
    }
    switch (msg) {
        case WM_NOTIFY: {
            const auto* hdr = reinterpret_cast<const NMHDR*>(lp);
            if (hdr && hdr->hwndFrom == list_) OnNotify(*hdr);
            return 0;
        }
        case WM_SIZE:
            if (list_) ::MoveWindow(list_, 0, 0, LOWORD(lp), HIWORD(lp), TRUE);
            return 0;
        case WM_SETFOCUS:
            if (list_) ::SetFocus(list_);
            return 0;
        case WM_ERASEBKGND: return 1;  // the control covers all of it
        default: handled = false; return 0;
    }
}

// A paint of many rows costs Wine tens of milliseconds (icons above all), so a large repaint is
// drawn a band at a time: the rest stays invalid and comes back as the next WM_PAINT, after the
// messages that arrived meanwhile.
bool ListView::PaintBand(HWND hwnd) {
    RECT update{}, client{};
    if (!::GetUpdateRect(hwnd, &update, FALSE) || !::GetClientRect(hwnd, &client)) return false;
    const LONG band = std::max<LONG>((client.bottom + kPaintBands - 1) / kPaintBands, 1);
    if (batching_ || !userRedraw_ || update.bottom - update.top <= band) {
        // The control's own paint, frame and all, for the last band too: erased as the others.
        if (std::exchange(paintingBands_, false)) ::InvalidateRect(hwnd, &update, TRUE);
        return false;
    }
    const UniqueRegion pending(::CreateRectRgn(0, 0, 0, 0));
    const UniqueRegion part(::CreateRectRgn(update.left, update.top, update.right, update.top + band));
    if (!pending || !part || ::GetUpdateRgn(hwnd, pending.get(), FALSE) == ERROR ||
        ::CombineRgn(part.get(), part.get(), pending.get(), RGN_AND) == ERROR)
        return false;
    const WindowDc dc(hwnd, DCX_CACHE | DCX_CLIPCHILDREN | DCX_CLIPSIBLINGS);
    if (!dc.get()) return false;
    // The rest stays due without its erasing, or Wine would blank it now, well before its rows
    // are drawn; each band erases its own background.
    ::ValidateRect(hwnd, nullptr);
    paintingBands_ = ::CombineRgn(pending.get(), pending.get(), part.get(), RGN_DIFF) > NULLREGION;
    if (paintingBands_) ::InvalidateRgn(hwnd, pending.get(), FALSE);
    ::SelectClipRgn(dc.get(), part.get());
    CallListProc(hwnd, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc.get()), PRF_CLIENT | PRF_ERASEBKGND);
    return true;
}

LRESULT ListView::CallListProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) const {
    return ::CallWindowProcW(listProc_, hwnd, msg, wp, lp);
}

LRESULT CALLBACK ListView::ControlProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) noexcept {
    auto* self = reinterpret_cast<ListView*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!self) {
        // Our object is gone; the class's procedure is the one we stood in front of.
        auto proc = reinterpret_cast<WNDPROC>(::GetClassLongPtrW(hwnd, GCLP_WNDPROC));
        return proc ? ::CallWindowProcW(proc, hwnd, msg, wp, lp) : ::DefWindowProcW(hwnd, msg, wp, lp);
    }
    switch (msg) {
        case WM_GETDLGCODE: {
            LRESULT code = self->CallListProc(hwnd, msg, wp, lp);
            const auto* m = reinterpret_cast<const MSG*>(lp);
            if (self->takesReturn_ && m && m->message == WM_KEYDOWN && m->wParam == VK_RETURN) code |= DLGC_WANTMESSAGE;
            return code;
        }
        // The menu key and Shift+F10 ask for the list's context menu, at the selection (-1), for
        // keyboard users; both presses and releases stay here so that it comes once.
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN:
            if (IsMenuKey(wp)) {
                ::SendMessageW(::GetParent(hwnd), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(hwnd), -1);
                return 0;
            }
            if (msg == WM_KEYDOWN && wp == VK_RETURN) self->returnPressed_ = true;
            break;
        case WM_KILLFOCUS: self->returnPressed_ = false; break;
        case WM_PAINT:
            if (!wp && self->PaintBand(hwnd)) return 0;
            break;
        case WM_KEYUP:
        case WM_SYSKEYUP: {
            if (IsMenuKey(wp)) return 0;
            const LRESULT result = self->CallListProc(hwnd, msg, wp, lp);
            if (wp == VK_RETURN && self->takesReturn_ && !std::exchange(self->returnPressed_, false)) return result;
            if (self->OnKeyUp) {
                const int key = static_cast<int>(wp);
                const int shift = ShiftState();
                self->Fire([&] { self->OnKeyUp(key, shift); });
            }
            return result;
        }
        // The control may swallow a button's release while it watches for a drag; the press
        // is noted so that the click notification can report the release instead.
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK: self->pendingButtons_ |= list_view::kLeftButton; break;
        case WM_RBUTTONDOWN:
        case WM_RBUTTONDBLCLK: self->pendingButtons_ |= list_view::kRightButton; break;
        case WM_MBUTTONDOWN:
        case WM_MBUTTONDBLCLK: self->pendingButtons_ |= list_view::kMiddleButton; break;
        case WM_LBUTTONUP: return self->OnButtonUp(hwnd, msg, wp, lp, list_view::kLeftButton);
        case WM_RBUTTONUP: return self->OnButtonUp(hwnd, msg, wp, lp, list_view::kRightButton);
        case WM_MBUTTONUP: return self->OnButtonUp(hwnd, msg, wp, lp, list_view::kMiddleButton);
        case WM_NCDESTROY: {
            const WNDPROC proc = self->listProc_;
            ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
            self->list_ = nullptr;
            return ::CallWindowProcW(proc, hwnd, msg, wp, lp);
        }
        default: break;
    }
    return self->CallListProc(hwnd, msg, wp, lp);
}

LRESULT ListView::OnButtonUp(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, int button) {
    std::weak_ptr<bool> alive = alive_;
    releasingButtons_ |= button;
    const LRESULT result = CallListProc(hwnd, msg, wp, lp);
    if (alive.expired()) return result;
    releasingButtons_ &= ~button;
    if (pendingButtons_ & button) {
        pendingButtons_ &= ~button;
        FireMouseUp(button, ShiftState(), GET_X_LPARAM(lp), GET_Y_LPARAM(lp));
    }
    return result;
}

void ListView::FireMouseUp(int button, int shift, int x, int y) {
    if (OnMouseUp) Fire([&] { OnMouseUp(button, shift, x, y); });
}

void ListView::OnNotify(const NMHDR& hdr) {
    switch (hdr.code) {
        case LVN_GETDISPINFOW: OnDispInfo(*reinterpret_cast<NMLVDISPINFOW*>(const_cast<NMHDR*>(&hdr))); break;
        case LVN_GETINFOTIPW: OnInfoTip(*reinterpret_cast<NMLVGETINFOTIPW*>(const_cast<NMHDR*>(&hdr))); break;
        case LVN_COLUMNCLICK: {
            const int column = reinterpret_cast<const NMLISTVIEW&>(hdr).iSubItem + 1;
            if (OnColumnClick && column >= 1 && column <= ColumnCount()) Fire([&] { OnColumnClick(column); });
            break;
        }
        case NM_CLICK: OnClickNotify(reinterpret_cast<const NMITEMACTIVATE&>(hdr), list_view::kLeftButton); break;
        case NM_RCLICK: OnClickNotify(reinterpret_cast<const NMITEMACTIVATE&>(hdr), list_view::kRightButton); break;
        case NM_DBLCLK: {
            ListItem item = Item(reinterpret_cast<const NMITEMACTIVATE&>(hdr).iItem + 1);
            if (item && OnItemDblClick) Fire([&] { OnItemDblClick(item); });
            break;
        }
        default: break;
    }
}

void ListView::OnClickNotify(const NMITEMACTIVATE& act, int button) {
    if (button == list_view::kLeftButton && OnItemClick) {
        ListItem item = Item(act.iItem + 1);
        if (item && !Fire([&] { OnItemClick(item); })) return;
    }
    // Sent from inside the press, after the control already took the release: report it now.
    // Sent while the release is being handled, or while the button is still down: the release
    // itself will be reported.
    const bool stillDown = ::GetKeyState(ButtonVirtualKey(button)) < 0;
    if ((pendingButtons_ & button) && !(releasingButtons_ & button) && !stillDown) {
        pendingButtons_ &= ~button;
        FireMouseUp(button, ShiftState(), act.ptAction.x, act.ptAction.y);
    }
}

void ListView::OnInfoTip(NMLVGETINFOTIPW& tip) {
    if (tip.iItem < 0 || tip.iItem >= Count() || !tip.pszText || tip.cchTextMax <= 0) return;
    const std::wstring& text = order_[static_cast<size_t>(tip.iItem)]->tip;
    if (text.empty()) return;
    const size_t n = std::min(text.size(), static_cast<size_t>(tip.cchTextMax) - 1);
    text.copy(tip.pszText, n);
    tip.pszText[n] = L'\0';
}

}  // namespace ardmoor
