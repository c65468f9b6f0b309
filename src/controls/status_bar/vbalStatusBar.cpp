// The status bar's properties and methods. Its window side (creation, messages, drawing, the
// timer) is in status_bar_window.cpp.
#include "controls/status_bar/vbalStatusBar.h"

#include <utility>

#include "controls/status_bar/status_bar_layout.h"

namespace ardmoor {

vbalStatusBar::vbalStatusBar() {
    logFont_ = StatusFontAt(::GetDpiForSystem());
    font_.reset(::CreateFontIndirectW(&logFont_));
}

vbalStatusBar::~vbalStatusBar() {
    // The window must go while this object is still whole: its messages reach our members.
    Destroy();
}

// --- panels ----------------------------------------------------------------------------------

long vbalStatusBar::AddPanel(const PanelOptions& options) {
    StatusPanel panel;
    panel.key = options.key;
    panel.itemData = options.itemData;
    panel.imageIndex = options.imageIndex;
    panel.text = options.text;
    panel.toolTipText = options.toolTipText;
    panel.minWidth = options.minWidth;
    panel.spring = options.spring;
    panel.fitToContents = options.fitToContents;
    panel.style = options.style;
    if (IsSpecialStyle(panel.style)) {
        const SpecialPanelState state = ComputeSpecialPanel(panel.style, CurrentLocalTime(), CurrentKeyStates());
        panel.text = state.text;
        panel.lastState = state.on;
        panel.fitToContents = true;
        panel.minWidth = MeasureText(panel.text) + 8;
    }
    if (imageList_ && panel.imageIndex >= 0)
        panel.icon.reset(::ImageList_GetIcon(imageList_, panel.imageIndex, ILD_NORMAL));

    const long index = panels_.Insert(std::move(panel), options.keyBefore);
    Refresh();
    return index;
}

void vbalStatusBar::RemovePanel(const PanelRef& panel) {
    StatusPanel removed = panels_.Remove(panel);
    Refresh();
    // `removed` and its icon go here, after the status window has stopped using the icon.
}

std::wstring vbalStatusBar::PanelKey(const PanelRef& panel) const { return panels_[panel].key; }

void vbalStatusBar::PanelKey(const PanelRef& panel, std::wstring key) { panels_[panel].key = std::move(key); }

std::wstring vbalStatusBar::PanelText(const PanelRef& panel) const { return panels_[panel].text; }

void vbalStatusBar::PanelText(const PanelRef& panel, std::wstring text) {
    const long index = panels_.IndexOf(panel);
    StatusPanel& p = panels_.items()[static_cast<size_t>(index - 1)];
    p.text = std::move(text);
    const long ideal = IdealPanelWidth(MeasureText(p.text), p.minWidth);
    const bool relayout = p.fitToContents && ideal != p.idealWidth;
    p.idealWidth = ideal;
    if (relayout) Layout();
    SendPanel(static_cast<size_t>(index - 1));
}

std::wstring vbalStatusBar::PanelToolTipText(const PanelRef& panel) const { return panels_[panel].toolTipText; }

void vbalStatusBar::PanelToolTipText(const PanelRef& panel, std::wstring text) {
    const long index = panels_.IndexOf(panel);
    panels_.items()[static_cast<size_t>(index - 1)].toolTipText = std::move(text);
    SendPanel(static_cast<size_t>(index - 1));
}

long vbalStatusBar::PanelStyle(const PanelRef& panel) const { return panels_[panel].style; }

void vbalStatusBar::PanelStyle(const PanelRef& panel, long style) {
    StatusPanel& p = panels_[panel];
    p.style = style;
    if (IsSpecialStyle(style)) {
        // Sized by the text it is about to draw, not by what it showed before.
        const SpecialPanelState state = ComputeSpecialPanel(style, CurrentLocalTime(), CurrentKeyStates());
        p.text = state.text;
        p.lastState = state.on;
    }
    Refresh();
}

long vbalStatusBar::PanelIcon(const PanelRef& panel) const { return panels_[panel].imageIndex; }

void vbalStatusBar::PanelIcon(const PanelRef& panel, long imageIndex) {
    const long index = panels_.IndexOf(panel);
    UniqueIcon icon;
    if (imageList_ && imageIndex >= 0) icon.reset(::ImageList_GetIcon(imageList_, imageIndex, ILD_NORMAL));
    StatusPanel& p = panels_.items()[static_cast<size_t>(index - 1)];
    p.imageIndex = imageIndex;
    // The status window gets the new icon before the old one is destroyed.
    UniqueIcon old = std::exchange(p.icon, std::move(icon));
    Layout();
    SendPanel(static_cast<size_t>(index - 1));
}

HICON vbalStatusBar::PanelhIcon(const PanelRef& panel) const { return panels_[panel].icon.get(); }

void vbalStatusBar::PanelhIcon(const PanelRef& panel, UniqueIcon icon) {
    const long index = panels_.IndexOf(panel);
    StatusPanel& p = panels_.items()[static_cast<size_t>(index - 1)];
    if (icon.get() == p.icon.get()) {
        // The same handle handed over again: it must not end up owned twice.
        static_cast<void>(icon.release());
        return;
    }
    // The status window gets the new icon before the old one is destroyed.
    UniqueIcon old = std::exchange(p.icon, std::move(icon));
    Layout();
    SendPanel(static_cast<size_t>(index - 1));
}

bool vbalStatusBar::PanelSpring(const PanelRef& panel) const { return panels_[panel].spring; }

void vbalStatusBar::PanelSpring(const PanelRef& panel, bool spring) {
    panels_.SetSpring(panel, spring);
    Layout();
}

bool vbalStatusBar::PanelFitToContents(const PanelRef& panel) const { return panels_[panel].fitToContents; }

void vbalStatusBar::PanelFitToContents(const PanelRef& panel, bool fit) {
    panels_[panel].fitToContents = fit;
    Layout();
}

long vbalStatusBar::PanelMinWidth(const PanelRef& panel) const { return panels_[panel].minWidth; }

void vbalStatusBar::PanelMinWidth(const PanelRef& panel, long width) {
    StatusPanel& p = panels_[panel];
    p.minWidth = width;
    p.idealWidth = IdealPanelWidth(MeasureText(p.text), p.minWidth);
    Layout();
}

long vbalStatusBar::PanelIdealWidth(const PanelRef& panel) const { return panels_[panel].idealWidth; }

void vbalStatusBar::PanelIdealWidth(const PanelRef& panel, long width) {
    panels_[panel].idealWidth = width;
    Layout();
}

RECT vbalStatusBar::GetPanelRect(const PanelRef& panel) const {
    const long index = panels_.IndexOf(panel);
    RECT rect{};
    if (status_) {
        ::SendMessageW(status_, SB_GETRECT, static_cast<WPARAM>(index - 1), reinterpret_cast<LPARAM>(&rect));
    } else if (static_cast<size_t>(index) <= edges_.size()) {
        rect.left = index > 1 ? edges_[static_cast<size_t>(index - 2)] : 0;
        rect.right = edges_[static_cast<size_t>(index - 1)];
    }
    return rect;
}

void vbalStatusBar::RedrawPanel(const PanelRef& panel) {
    const RECT rect = GetPanelRect(panel);
    if (!status_) return;
    ::InvalidateRect(status_, &rect, TRUE);
    ::UpdateWindow(status_);
}

// --- control-wide properties -----------------------------------------------------------------

void vbalStatusBar::SimpleMode(bool simple) {
    simpleMode_ = simple;
    if (!status_) return;
    ::SendMessageW(status_, SB_SIMPLE, simple ? TRUE : FALSE, 0);
    SendSimpleText();
}

void vbalStatusBar::SimpleText(std::wstring text) {
    simpleText_ = std::move(text);
    SendSimpleText();
}

void vbalStatusBar::SimpleStyle(long style) {
    simpleStyle_ = style;
    SendSimpleText();
}

void vbalStatusBar::SizeGrip(bool grip) {
    sizeGrip_ = grip;
    if (!status_) return;
    LONG_PTR style = ::GetWindowLongPtrW(status_, GWL_STYLE);
    style = grip ? (style | SBARS_SIZEGRIP) : (style & ~static_cast<LONG_PTR>(SBARS_SIZEGRIP));
    ::SetWindowLongPtrW(status_, GWL_STYLE, style);
    ::SetWindowPos(status_, nullptr, 0, 0, 0, 0,
                   SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    ::InvalidateRect(status_, nullptr, TRUE);
}

void vbalStatusBar::Enabled(bool enabled) {
    enabled_ = enabled;
    if (hwnd()) ::EnableWindow(hwnd(), enabled ? TRUE : FALSE);
    if (status_) ::EnableWindow(status_, enabled ? TRUE : FALSE);
}

void vbalStatusBar::BackColor(DWORD color) {
    backColor_ = color;
    ApplyBackColor();
}

void vbalStatusBar::Font(const LOGFONTW& font) {
    UniqueFont created(::CreateFontIndirectW(&font));
    if (!created) return;  // an unusable description leaves the current font in place
    logFont_ = font;
    defaultFont_ = false;
    UseFont(std::move(created));
}

void vbalStatusBar::ImageList(HIMAGELIST imageList) {
    int cx = 0;
    int cy = 0;
    if (imageList && !::ImageList_GetIconSize(imageList, &cx, &cy))
        ThrowStatusBarError(kErrImageListType, L"ImageList property expects ImageList object or long hImageList handle.");
    imageList_ = imageList;
    imageListIconWidth_ = imageList ? cx : 0;
    Layout();
}

// --- helpers ---------------------------------------------------------------------------------

long vbalStatusBar::MeasureText(const std::wstring& text) const {
    if (text.empty()) return 0;
    WindowDc dc(status_);  // the screen's DC before the window exists
    if (!dc.get()) return 0;
    SelectGuard select(dc.get(), font_.get());
    RECT rect{0, 0, 0, 0};
    ::DrawTextW(dc.get(), text.c_str(), static_cast<int>(text.size()), &rect,
                DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
    return rect.right - rect.left;
}

int vbalStatusBar::IconWidth() const {
    if (imageList_) return imageListIconWidth_;
    // Icons given directly, with no image list to say their width, are small icons.
    return ::GetSystemMetricsForDpi(SM_CXSMICON, Dpi());
}

void vbalStatusBar::RecomputeIdealWidths() {
    for (StatusPanel& p : panels_.items()) p.idealWidth = IdealPanelWidth(MeasureText(p.text), p.minWidth);
}

void vbalStatusBar::Layout() {
    if (!status_) return;
    std::vector<PanelLayoutInput> inputs;
    inputs.reserve(panels_.items().size());
    for (const StatusPanel& p : panels_.items())
        inputs.push_back({p.minWidth, p.idealWidth, p.fitToContents, p.spring, static_cast<bool>(p.icon)});
    RECT client{};
    ::GetClientRect(status_, &client);
    RECT window{};
    ::GetWindowRect(status_, &window);
    edges_ = LayoutPanels(inputs, client.right, window.bottom - window.top, Dpi(), IconWidth());

    int previous = 0;
    for (size_t i = 0; i < edges_.size(); ++i) {
        panels_.items()[i].width = edges_[i] - previous;
        previous = edges_[i];
    }
    if (edges_.empty()) {
        int whole = -1;
        ::SendMessageW(status_, SB_SETPARTS, 1, reinterpret_cast<LPARAM>(&whole));
        // The one part left over must not keep the last panel's text or its icon.
        ::SendMessageW(status_, SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(L""));
        ::SendMessageW(status_, SB_SETTIPTEXTW, 0, reinterpret_cast<LPARAM>(L""));
        ::SendMessageW(status_, SB_SETICON, 0, 0);
    } else {
        ::SendMessageW(status_, SB_SETPARTS, edges_.size(), reinterpret_cast<LPARAM>(edges_.data()));
    }
    RaiseResize();
}

void vbalStatusBar::SendPanel(size_t index) {
    if (!status_ || index >= panels_.items().size()) return;
    const StatusPanel& p = panels_.items()[index];
    const WPARAM part = index & 0xFF;
    // Special panels are drawn by the control; other styles are the status window's own flags,
    // kept out of the byte that carries the part index.
    const WPARAM drawing = IsSpecialStyle(p.style) ? SBT_OWNERDRAW : (static_cast<WPARAM>(p.style) & 0xFF00);
    if (drawing & SBT_OWNERDRAW) {
        ::SendMessageW(status_, SB_SETTEXTW, part | drawing, static_cast<LPARAM>(p.itemData));
    } else {
        const std::wstring shown = p.text.empty() ? std::wstring() : L" " + p.text;
        ::SendMessageW(status_, SB_SETTEXTW, part | drawing, reinterpret_cast<LPARAM>(shown.c_str()));
    }
    ::SendMessageW(status_, SB_SETTIPTEXTW, part, reinterpret_cast<LPARAM>(p.toolTipText.c_str()));
    ::SendMessageW(status_, SB_SETICON, part, reinterpret_cast<LPARAM>(p.icon.get()));
}

void vbalStatusBar::SendSimpleText() {
    if (!status_) return;
    const WPARAM drawing = static_cast<WPARAM>(simpleStyle_) & 0xFF00;
    const std::wstring shown = simpleText_.empty() ? std::wstring() : L" " + simpleText_;
    const LPARAM data = (drawing & SBT_OWNERDRAW) ? 0 : reinterpret_cast<LPARAM>(shown.c_str());
    ::SendMessageW(status_, SB_SETTEXTW, SB_SIMPLEID | drawing, data);
}

void vbalStatusBar::Refresh() {
    RecomputeIdealWidths();
    Layout();
    for (size_t i = 0; i < panels_.items().size(); ++i) SendPanel(i);
    UpdateTimer();
}

long vbalStatusBar::PanelAtX(int x) const {
    if (x < 0) return 0;
    for (size_t i = 0; i < edges_.size(); ++i)
        if (x < edges_[i]) return static_cast<long>(i + 1);
    return 0;
}

void vbalStatusBar::RaiseResize() {
    const auto handler = Resize;  // the handler may replace itself
    if (handler) handler();
}

}  // namespace ardmoor
