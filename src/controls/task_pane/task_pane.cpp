#include "controls/task_pane/task_pane.h"

#include <commctrl.h>
#include <oleacc.h>

#include <algorithm>

#include "controls/task_pane/task_pane_paint.h"

namespace ardmoor {

TaskPane::TaskPane() { model_.SetObserver(this); }

TaskPane::~TaskPane() {
    model_.SetObserver(nullptr);
    accessibility_.reset();
    Destroy();
}

bool TaskPane::Create(HWND parent, const RECT& bounds, int controlId, const wchar_t* name) {
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_BAR_CLASSES};
    ::InitCommonControlsEx(&icc);
    return Window::Create(kClassName, name, WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_CLIPSIBLINGS, 0,
                          bounds.left, bounds.top, bounds.right - bounds.left, bounds.bottom - bounds.top, parent,
                          reinterpret_cast<HMENU>(static_cast<INT_PTR>(controlId)), CS_DBLCLKS);
}

int TaskPane::Width() const noexcept {
    RECT r{};
    if (!hwnd() || !::GetWindowRect(hwnd(), &r)) return 0;
    return r.right - r.left;
}

void TaskPane::SetRedraw(bool redraw) {
    if (redraw == redraw_) return;
    redraw_ = redraw;
    if (!redraw_ || !hwnd()) return;
    EnsureLayout();
    UpdateHotFromCursor();
    ::InvalidateRect(hwnd(), nullptr, FALSE);
}

bool TaskPane::OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    switch (msg) {
    case WM_CREATE:
        accessibility_ = std::make_unique<TaskPaneAccessibility>(*static_cast<TaskPaneAccessHost*>(this));
        LoadStyle();
        CreateToolTip();
        result = 0;
        return true;
    case WM_DESTROY:
        // Screen readers may still hold objects; they must stop reaching this window now.
        accessibility_.reset();
        toolTip_.reset();
        return false;
    case WM_SIZE:
        if (!inLayout_) {
            MarkDirty();
            if (redraw_) ::InvalidateRect(hwnd(), nullptr, FALSE);
        }
        return false;
    case WM_ERASEBKGND:
        result = 1;
        return true;
    case WM_PAINT: {
        EnsureLayout();
        PaintDc paint(hwnd());
        if (paint.get()) Paint(paint.get(), paint.dirty());
        result = 0;
        return true;
    }
    case WM_PRINTCLIENT: {
        EnsureLayout();
        RECT client{};
        ::GetClientRect(hwnd(), &client);
        Paint(reinterpret_cast<HDC>(wp), client);
        result = 0;
        return true;
    }
    case kRelayoutMessage:
        relayoutPosted_ = false;
        if (redraw_) {
            EnsureLayout();
            UpdateHotFromCursor();
        }
        result = 0;
        return true;
    case kAccessibleClickMessage: {
        TaskPaneItem* item = model_.FindItemById(static_cast<uint32_t>(wp));
        if (item && item->IsLink() && !item->Text().empty()) Click(*item);
        result = 0;
        return true;
    }
    case WM_GETOBJECT:
        return accessibility_ && accessibility_->HandleGetObject(wp, lp, result);
    case WM_DPICHANGED_AFTERPARENT:
    case WM_SETTINGCHANGE:
    case WM_SYSCOLORCHANGE:
    case WM_THEMECHANGED:
        LoadStyle();
        MarkDirty();
        if (redraw_) ::InvalidateRect(hwnd(), nullptr, FALSE);
        return false;
    default:
        return HandleInput(msg, wp, lp, result);
    }
}

void TaskPane::OnDestroyed() {
    hot_ = focus_ = pressed_ = nullptr;
    layout_ = {};
    dirty_ = true;
    backBuffer_.reset();
}

// ---- model events

void TaskPane::OnTaskPaneChanged(TaskPaneChange change) {
    if (change == TaskPaneChange::ToolTip) {
        if (toolTip_) ::SendMessageW(toolTip_.get(), TTM_UPDATE, 0, 0);
        return;
    }
    if (change == TaskPaneChange::Layout) MarkDirty();
    if (!redraw_ || !hwnd()) return;
    ::InvalidateRect(hwnd(), nullptr, FALSE);
    // Many changes in a row are laid out once, when the queue gets to this.
    if (change == TaskPaneChange::Layout && !relayoutPosted_)
        relayoutPosted_ = ::PostMessageW(hwnd(), kRelayoutMessage, 0, 0) != FALSE;
}

void TaskPane::OnTaskPaneItemRemoving(const TaskPaneItem& item) {
    if (hot_ == &item) {
        hot_ = nullptr;
        if (toolTip_) ::SendMessageW(toolTip_.get(), TTM_POP, 0, 0);
        UpdateToolTipRect();
    }
    if (focus_ == &item) focus_ = nullptr;
    if (pressed_ == &item) pressed_ = nullptr;
    MarkDirty();
}

void TaskPane::OnTaskPaneBarRemoving(const TaskPaneBar&) { MarkDirty(); }

// ---- layout and scrolling

void TaskPane::LoadStyle() {
    const UINT dpi = Dpi();
    fonts_ = TaskPaneFonts::ForDpi(dpi);
    palette_ = TaskPanePalette::FromSystem();
    GdiTextMeasurer measurer(fonts_);
    metrics_ = TaskPaneMetrics::ForDpi(dpi, measurer.LineHeight(TaskPaneFontKind::Bold));
    lineHeight_ = measurer.LineHeight(TaskPaneFontKind::Normal);
    if (toolTip_) ::SendMessageW(toolTip_.get(), TTM_SETMAXTIPWIDTH, 0, Scale(360));
}

void TaskPane::MarkDirty() { dirty_ = true; }

int TaskPane::VisibleHeight() const noexcept {
    RECT r{};
    if (hwnd()) ::GetClientRect(hwnd(), &r);
    return std::max<int>(0, r.bottom - r.top);
}

void TaskPane::EnsureLayout() {
    if (!dirty_ || !hwnd() || inLayout_) return;
    dirty_ = false;
    RECT client{};
    ::GetClientRect(hwnd(), &client);
    const int scrollBarWidth = ::GetSystemMetricsForDpi(SM_CXVSCROLL, Dpi());
    const bool hasBar = (::GetWindowLongPtrW(hwnd(), GWL_STYLE) & WS_VSCROLL) != 0;
    const int fullWidth = client.right + (hasBar ? scrollBarWidth : 0);
    const int height = client.bottom;
    GdiTextMeasurer measurer(fonts_);
    layout_ = ComputeTaskPaneLayout(model_, metrics_, fullWidth, measurer);
    if (layout_.height > height) layout_ = ComputeTaskPaneLayout(model_, metrics_, fullWidth - scrollBarWidth, measurer);
    UpdateScrollBar();
}

void TaskPane::UpdateScrollBar() {
    const int height = VisibleHeight();
    scrollY_ = std::clamp(scrollY_, 0, std::max(0, layout_.height - height));
    SCROLLINFO si{sizeof(si)};
    si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    si.nMin = 0;
    si.nMax = layout_.height > height ? layout_.height - 1 : 0;
    si.nPage = layout_.height > height ? static_cast<UINT>(height) : 0;
    si.nPos = scrollY_;
    // Showing or hiding the bar resizes the client area; this layout already allowed for that.
    inLayout_ = true;
    ::SetScrollInfo(hwnd(), SB_VERT, &si, TRUE);
    inLayout_ = false;
}

void TaskPane::ScrollTo(int y) {
    EnsureLayout();
    const int clamped = std::clamp(y, 0, std::max(0, layout_.height - VisibleHeight()));
    if (clamped == scrollY_) return;
    scrollY_ = clamped;
    inLayout_ = true;
    ::SetScrollPos(hwnd(), SB_VERT, scrollY_, TRUE);
    inLayout_ = false;
    ::InvalidateRect(hwnd(), nullptr, FALSE);
    UpdateHotFromCursor();
}

void TaskPane::ScrollBy(int dy) { ScrollTo(scrollY_ + dy); }

void TaskPane::EnsureVisible(const TaskPaneItem& item) {
    EnsureLayout();
    const TaskPaneItemBox* box = layout_.Find(&item);
    if (!box || box->lines.empty()) return;
    const int pad = metrics_.focusPadding + metrics_.Scale(2);
    int top = box->bounds.top - pad;
    int bottom = box->bounds.bottom + pad;
    // The first and last items of a bar bring its header and its bottom edge along.
    if (const TaskPaneBarBox* bar = layout_.Find(&item.Bar()); bar && !bar->items.empty()) {
        if (&bar->items.front() == box) top = bar->header.top - metrics_.margin;
        if (&bar->items.back() == box) bottom = bar->body.bottom + metrics_.margin;
    }
    const int height = VisibleHeight();
    if (top < scrollY_)
        ScrollTo(top);
    else if (bottom > scrollY_ + height)
        ScrollTo(std::min(top, bottom - height));
}

void TaskPane::InvalidateItem(const TaskPaneItem* item) {
    if (!item || !hwnd() || !redraw_) return;
    RECT r{};
    if (!ItemRect(*item, r)) return;
    const int pad = metrics_.focusPadding + 1;
    ::InflateRect(&r, pad, pad);
    ::InvalidateRect(hwnd(), &r, FALSE);
}

const TaskPaneLayout& TaskPane::Layout() {
    EnsureLayout();
    return layout_;
}

bool TaskPane::ItemRect(const TaskPaneItem& item, RECT& client) {
    EnsureLayout();
    const TaskPaneItemBox* box = layout_.Find(&item);
    if (!box || box->lines.empty()) return false;
    client = box->bounds;
    ::OffsetRect(&client, 0, -scrollY_);
    return true;
}

bool TaskPane::HeaderRect(const TaskPaneBar& bar, RECT& client) {
    EnsureLayout();
    const TaskPaneBarBox* box = layout_.Find(&bar);
    if (!box) return false;
    client = box->header;
    ::OffsetRect(&client, 0, -scrollY_);
    return true;
}

TaskPaneHit TaskPane::HitTestClient(POINT client) {
    EnsureLayout();
    RECT r{};
    ::GetClientRect(hwnd(), &r);
    if (!::PtInRect(&r, client)) return {};
    return layout_.HitTest(POINT{client.x, client.y + scrollY_});
}

void TaskPane::Paint(HDC target, const RECT& clip) {
    RECT client{};
    ::GetClientRect(hwnd(), &client);
    if (client.right <= 0 || client.bottom <= 0) return;
    // Everything goes to an off-screen bitmap first, so nothing flickers.
    if (!backBuffer_ || backBufferSize_.cx < client.right || backBufferSize_.cy < client.bottom) {
        backBuffer_.reset(::CreateCompatibleBitmap(target, client.right, client.bottom));
        backBufferSize_ = {client.right, client.bottom};
    }
    UniqueDc memory(::CreateCompatibleDC(target));
    if (!backBuffer_ || !memory) {
        PaintTaskPane(target, client, clip, layout_, metrics_, palette_, fonts_,
                      {scrollY_, hot_, focus_, ::GetFocus() == hwnd()});
        return;
    }
    SelectGuard select(memory.get(), backBuffer_.get());
    PaintTaskPane(memory.get(), client, clip, layout_, metrics_, palette_, fonts_,
                  {scrollY_, hot_, focus_, ::GetFocus() == hwnd()});
    ::BitBlt(target, clip.left, clip.top, clip.right - clip.left, clip.bottom - clip.top, memory.get(), clip.left,
             clip.top, SRCCOPY);
}

// ---- screen reader support

bool TaskPane::AccessibleItemRect(const TaskPaneItem& item, RECT& screen) {
    if (!ItemRect(item, screen)) return false;
    ::MapWindowPoints(hwnd(), nullptr, reinterpret_cast<POINT*>(&screen), 2);
    return true;
}

bool TaskPane::AccessibleBarRect(const TaskPaneBar& bar, RECT& screen) {
    EnsureLayout();
    const TaskPaneBarBox* box = layout_.Find(&bar);
    if (!box) return false;
    screen = {box->header.left, box->header.top - scrollY_, box->body.right, box->body.bottom - scrollY_};
    ::MapWindowPoints(hwnd(), nullptr, reinterpret_cast<POINT*>(&screen), 2);
    return true;
}

bool TaskPane::AccessibleItemVisible(const TaskPaneItem& item) {
    RECT r{};
    if (!ItemRect(item, r)) return false;
    return r.bottom > 0 && r.top < VisibleHeight();
}

const TaskPaneItem* TaskPane::AccessibleFocus() const noexcept {
    return hwnd() && ::GetFocus() == hwnd() ? focus_ : nullptr;
}

void TaskPane::AccessibleClick(const TaskPaneItem& item) {
    // The reader's call returns first: the click may open modal windows.
    ::PostMessageW(hwnd(), kAccessibleClickMessage, item.Id(), 0);
}

void TaskPane::AccessibleFocusItem(const TaskPaneItem& item) {
    TaskPaneItem* target = model_.FindItemById(item.Id());
    if (!target) return;
    ::SetFocus(hwnd());
    SetFocusedItem(target);
}

TaskPaneHit TaskPane::AccessibleHitTest(POINT screen) {
    ::ScreenToClient(hwnd(), &screen);
    return HitTestClient(screen);
}

}  // namespace ardmoor
