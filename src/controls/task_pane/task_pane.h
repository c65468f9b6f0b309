#pragma once
// The task pane: a child window down the side of a window with bars of link-style commands and
// details, in the look of the Windows task pane.
//
// Usage: create it as a child, add bars and items (with redraw off for many changes at once),
// and set the item-clicked callback. Display settings:
//   - TaskPaneBar::SetSpecial(true): the emphasised header of the Windows task pane's first bar.
//   - TaskPaneItem::SetHeading(true): a bold heading in the text colour (never a link).
//   - TaskPaneItem::SetExtraSpacing(px): extra room below the item, in pixels at 96 DPI.
//   - TaskPaneItem::SetLink(false): plain text that does not look or act clickable.
// Keyboard: the pane is a tab stop; Up/Down/Home/End move the focus between links, Enter or
// Space clicks the focused one, Page Up/Page Down scroll. A mouse click does not take the focus
// from another window (the host's list keeps it).
#include <functional>
#include <memory>
#include <string>

#include "controls/task_pane/task_pane_accessible.h"
#include "controls/task_pane/task_pane_fonts.h"
#include "controls/task_pane/task_pane_layout.h"
#include "controls/task_pane/task_pane_model.h"
#include "controls/task_pane/task_pane_palette.h"
#include "platform/unique_handle.h"
#include "platform/window.h"

namespace ardmoor {

class TaskPane final : public Window, private TaskPaneObserver, private TaskPaneAccessHost {
public:
    using ItemClickHandler = std::function<void(TaskPaneItem& item)>;

    TaskPane();
    ~TaskPane() override;

    // Creates the pane as a child of `parent` (WS_CHILD | WS_VISIBLE | WS_TABSTOP). The window's
    // text is the name screen readers give the pane.
    bool Create(HWND parent, const RECT& bounds, int controlId, const wchar_t* name = L"Tasks");

    // The bars and items. Changes show at once unless redraw is off.
    [[nodiscard]] TaskPaneModel& Model() noexcept { return model_; }
    [[nodiscard]] const TaskPaneModel& Model() const noexcept { return model_; }
    Result<TaskPaneBar*> AddBar(std::wstring key, std::wstring title) { return model_.AddBar(std::move(key), std::move(title)); }
    [[nodiscard]] TaskPaneBar* FindBar(std::wstring_view key) const noexcept { return model_.FindBar(key); }

    // While off, changes to the model do not repaint; turning it on lays out and repaints once.
    void SetRedraw(bool redraw);
    [[nodiscard]] bool Redraw() const noexcept { return redraw_; }

    // The window's width in pixels (0 before it exists).
    [[nodiscard]] int Width() const noexcept;
    // A width that suits the pane at the window's DPI.
    [[nodiscard]] int PreferredWidth() const noexcept { return Scale(kPreferredWidthAt96); }

    // Raised for a click (mouse, Enter/Space, or a screen reader's default action) on a link. The
    // handler may change or remove anything in the model, or destroy the pane.
    void SetOnItemClick(ItemClickHandler handler) { onItemClick_ = std::move(handler); }

    // The link under the mouse pointer, if any.
    [[nodiscard]] TaskPaneItem* HotItem() const noexcept { return hot_; }
    // The link that has (or, when the pane gets the focus, will have) the keyboard focus.
    [[nodiscard]] TaskPaneItem* FocusedItem() const noexcept { return focus_; }
    // Moves the focus to a link (null clears it) and scrolls it into view.
    void SetFocusedItem(TaskPaneItem* item);

    // Client rectangle of an item's text (or of a bar's header), laid out for the current state;
    // false when the item has no text or does not belong to the pane.
    bool ItemRect(const TaskPaneItem& item, RECT& client);
    bool HeaderRect(const TaskPaneBar& bar, RECT& client);
    // Current layout (laid out first if changes are pending).
    const TaskPaneLayout& Layout();
    [[nodiscard]] const TaskPaneMetrics& Metrics() const noexcept { return metrics_; }

    [[nodiscard]] int ScrollPos() const noexcept { return scrollY_; }
    void ScrollTo(int y);
    [[nodiscard]] HWND ToolTipWindow() const noexcept { return toolTip_.get(); }

    static constexpr int kPreferredWidthAt96 = 210;

    static constexpr const wchar_t* kClassName = L"ArdmoorTaskPane";

protected:
    bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;
    void OnDestroyed() override;

private:
    static constexpr UINT kRelayoutMessage = WM_USER + 1;
    static constexpr UINT kAccessibleClickMessage = WM_USER + 2;  // wParam: the item's id

    // Model events.
    void OnTaskPaneChanged(TaskPaneChange change) override;
    void OnTaskPaneItemRemoving(const TaskPaneItem& item) override;
    void OnTaskPaneBarRemoving(const TaskPaneBar& bar) override;

    // Screen reader support.
    [[nodiscard]] HWND AccessibleWindow() const noexcept override { return hwnd(); }
    [[nodiscard]] const TaskPaneModel& AccessibleModel() const noexcept override { return model_; }
    bool AccessibleItemRect(const TaskPaneItem& item, RECT& screen) override;
    bool AccessibleBarRect(const TaskPaneBar& bar, RECT& screen) override;
    bool AccessibleItemVisible(const TaskPaneItem& item) override;
    [[nodiscard]] const TaskPaneItem* AccessibleFocus() const noexcept override;
    [[nodiscard]] const TaskPaneItem* AccessibleHot() const noexcept override { return hot_; }
    void AccessibleClick(const TaskPaneItem& item) override;
    void AccessibleFocusItem(const TaskPaneItem& item) override;
    TaskPaneHit AccessibleHitTest(POINT screen) override;

    // Layout, scrolling and painting (task_pane.cpp).
    void LoadStyle();
    void MarkDirty();
    void EnsureLayout();
    void UpdateScrollBar();
    void ScrollBy(int dy);
    void EnsureVisible(const TaskPaneItem& item);
    void InvalidateItem(const TaskPaneItem* item);
    void Paint(HDC target, const RECT& clip);
    [[nodiscard]] int VisibleHeight() const noexcept;
    [[nodiscard]] TaskPaneHit HitTestClient(POINT client);

    // Input (task_pane_input.cpp).
    bool HandleInput(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result);
    void OnMouseMove(POINT client);
    void OnMouseLeave();
    bool OnSetCursor();
    void OnButtonDown(POINT client);
    void OnButtonUp(POINT client);
    void OnMouseWheel(int delta);
    void OnVScroll(int code);
    bool OnKeyDown(WPARAM key, LPARAM flags);
    LRESULT OnGetDlgCode(const MSG* msg) const;
    void OnFocusChanged(bool focused);
    void MoveFocus(int direction, bool toEnd);
    void SetHot(TaskPaneItem* item);
    void UpdateHotFromCursor();
    void NotifyFocus();
    void Click(TaskPaneItem& item);

    // Tool-tips (task_pane_input.cpp).
    void CreateToolTip();
    void RelayToToolTip(UINT msg, WPARAM wp, LPARAM lp);
    void UpdateToolTipRect();
    bool OnToolTipNotify(NMHDR* header);

    TaskPaneModel model_;
    TaskPaneLayout layout_;
    TaskPaneMetrics metrics_;
    TaskPaneFonts fonts_;
    TaskPanePalette palette_;
    bool dirty_ = true;
    bool inLayout_ = false;
    bool relayoutPosted_ = false;
    bool redraw_ = true;
    int scrollY_ = 0;
    int lineHeight_ = 16;
    TaskPaneItem* hot_ = nullptr;
    TaskPaneItem* focus_ = nullptr;
    TaskPaneItem* pressed_ = nullptr;
    bool trackingLeave_ = false;
    ItemClickHandler onItemClick_;
    UniqueWindow toolTip_;
    std::wstring toolTipText_;
    UniqueBitmap backBuffer_;
    SIZE backBufferSize_{};
    std::unique_ptr<TaskPaneAccessibility> accessibility_;
};

}  // namespace ardmoor
