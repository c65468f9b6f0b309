#pragma once
// What screen readers see of the task pane (Active Accessibility): the pane, a grouping per bar
// and a link or a text per item.
#include <windows.h>

#include <memory>

#include "controls/task_pane/task_pane_layout.h"
#include "controls/task_pane/task_pane_model.h"

struct IAccessible;

namespace ardmoor {

// What the accessible objects need from the pane window. Rectangles are in screen coordinates.
class TaskPaneAccessHost {
public:
    [[nodiscard]] virtual HWND AccessibleWindow() const noexcept = 0;
    [[nodiscard]] virtual const TaskPaneModel& AccessibleModel() const noexcept = 0;
    virtual bool AccessibleItemRect(const TaskPaneItem& item, RECT& screen) = 0;
    virtual bool AccessibleBarRect(const TaskPaneBar& bar, RECT& screen) = 0;
    // False when the item lies outside the visible part of the pane.
    virtual bool AccessibleItemVisible(const TaskPaneItem& item) = 0;
    // The item with the keyboard focus, only while the pane has it.
    [[nodiscard]] virtual const TaskPaneItem* AccessibleFocus() const noexcept = 0;
    [[nodiscard]] virtual const TaskPaneItem* AccessibleHot() const noexcept = 0;
    // Clicks the item once the screen reader's call has returned.
    virtual void AccessibleClick(const TaskPaneItem& item) = 0;
    virtual void AccessibleFocusItem(const TaskPaneItem& item) = 0;
    virtual TaskPaneHit AccessibleHitTest(POINT screen) = 0;

protected:
    ~TaskPaneAccessHost() = default;
};

// Owned by the pane window. Objects that a screen reader still holds after the window is gone
// answer CO_E_OBJNOTCONNECTED.
class TaskPaneAccessibility {
public:
    explicit TaskPaneAccessibility(TaskPaneAccessHost& host);
    ~TaskPaneAccessibility();
    TaskPaneAccessibility(const TaskPaneAccessibility&) = delete;
    TaskPaneAccessibility& operator=(const TaskPaneAccessibility&) = delete;

    // Answers WM_GETOBJECT for OBJID_CLIENT; false for any other object id (the window's default
    // procedure answers those). Screen readers need COM initialised on the window's thread.
    bool HandleGetObject(WPARAM wp, LPARAM lp, LRESULT& result);

    // The child id that names an item in WinEvents (NotifyWinEvent) for the pane's client object.
    static LONG ChildIdOf(const TaskPaneItem& item) noexcept;
    static constexpr LONG kItemChildIdBase = 0x01000000;

    // Shared with every object handed out, so that they notice when the pane is gone.
    struct Connection;

private:
    std::shared_ptr<Connection> connection_;
    IAccessible* root_ = nullptr;
};

}  // namespace ardmoor
