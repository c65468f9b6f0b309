#pragma once
// What the task pane shows: bars with a title, each holding items with a text. Plain C++ so that
// the host's logic and the layout can be checked without a window.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/result.h"

namespace ardmoor {

class TaskPaneBar;
class TaskPaneItem;

// What a change means for the window showing the model.
enum class TaskPaneChange {
    Layout,      // sizes or positions may move (texts, items added or removed, item looks)
    Appearance,  // only colours change (a bar's special look)
    ToolTip,     // an item's tool-tip text
};

// The window showing a model listens to it; removals come before the object goes away.
class TaskPaneObserver {
public:
    virtual void OnTaskPaneChanged(TaskPaneChange change) = 0;
    virtual void OnTaskPaneItemRemoving(const TaskPaneItem& item) = 0;
    virtual void OnTaskPaneBarRemoving(const TaskPaneBar& bar) = 0;

protected:
    ~TaskPaneObserver() = default;
};

// Error codes of the model's operations (Win32 codes, as the rest of the program reports them).
inline constexpr long kTaskPaneDuplicateKey = 183;  // ERROR_ALREADY_EXISTS
inline constexpr long kTaskPaneNotFound = 1168;     // ERROR_NOT_FOUND

class TaskPaneModel {
public:
    TaskPaneModel();
    ~TaskPaneModel();
    TaskPaneModel(const TaskPaneModel&) = delete;
    TaskPaneModel& operator=(const TaskPaneModel&) = delete;

    // Adds a bar at the end. Keys compare without regard to case; a key already used by another
    // bar is refused (kTaskPaneDuplicateKey). An empty key is allowed any number of times but is
    // never found by FindBar.
    Result<TaskPaneBar*> AddBar(std::wstring key, std::wstring title);
    [[nodiscard]] TaskPaneBar* FindBar(std::wstring_view key) const noexcept;
    // The first item with this key in any bar, in bar order.
    [[nodiscard]] TaskPaneItem* FindItem(std::wstring_view key) const noexcept;
    [[nodiscard]] size_t BarCount() const noexcept { return bars_.size(); }
    // Null when index is out of range.
    [[nodiscard]] TaskPaneBar* Bar(size_t index) const noexcept;
    [[nodiscard]] Status RemoveBar(std::wstring_view key);
    void Clear();

    // Every bar and item gets an id that is never reused within the model, so that something
    // queued for later (a click from a screen reader) can tell whether its target still exists.
    [[nodiscard]] TaskPaneItem* FindItemById(uint32_t id) const noexcept;
    [[nodiscard]] TaskPaneBar* FindBarById(uint32_t id) const noexcept;

    void SetObserver(TaskPaneObserver* observer) noexcept { observer_ = observer; }

private:
    friend class TaskPaneBar;
    friend class TaskPaneItem;
    void Notify(TaskPaneChange change);
    void RemovingItem(const TaskPaneItem& item);
    void RemovingBar(const TaskPaneBar& bar);
    uint32_t NextId() noexcept { return ++lastId_; }

    std::vector<std::unique_ptr<TaskPaneBar>> bars_;
    TaskPaneObserver* observer_ = nullptr;
    uint32_t lastId_ = 0;
};

class TaskPaneBar {
public:
    TaskPaneBar(TaskPaneModel& model, std::wstring key, std::wstring title);
    ~TaskPaneBar();
    TaskPaneBar(const TaskPaneBar&) = delete;
    TaskPaneBar& operator=(const TaskPaneBar&) = delete;

    [[nodiscard]] const std::wstring& Key() const noexcept { return key_; }
    [[nodiscard]] uint32_t Id() const noexcept { return id_; }
    [[nodiscard]] const std::wstring& Title() const noexcept { return title_; }
    void SetTitle(std::wstring title);

    // The emphasised look of the first bar of the Windows task pane: the header in the caption
    // colours with the title in the caption text colour. Off by default.
    [[nodiscard]] bool IsSpecial() const noexcept { return special_; }
    void SetSpecial(bool special);

    // Adds an item at the end of the bar. Keys are unique within the bar, compared without regard
    // to case; a duplicate is refused (kTaskPaneDuplicateKey). Empty keys are never found.
    Result<TaskPaneItem*> AddItem(std::wstring key, std::wstring text);
    [[nodiscard]] TaskPaneItem* FindItem(std::wstring_view key) const noexcept;
    [[nodiscard]] size_t ItemCount() const noexcept { return items_.size(); }
    [[nodiscard]] TaskPaneItem* Item(size_t index) const noexcept;
    // Position of the item in this bar, or ItemCount() when it is not here.
    [[nodiscard]] size_t IndexOf(const TaskPaneItem& item) const noexcept;
    [[nodiscard]] Status RemoveItem(std::wstring_view key);
    void ClearItems();

private:
    friend class TaskPaneModel;
    friend class TaskPaneItem;
    TaskPaneModel& model_;
    uint32_t id_;
    std::wstring key_;
    std::wstring title_;
    bool special_ = false;
    std::vector<std::unique_ptr<TaskPaneItem>> items_;
};

class TaskPaneItem {
public:
    TaskPaneItem(TaskPaneBar& bar, std::wstring key, std::wstring text);
    TaskPaneItem(const TaskPaneItem&) = delete;
    TaskPaneItem& operator=(const TaskPaneItem&) = delete;

    [[nodiscard]] const std::wstring& Key() const noexcept { return key_; }
    [[nodiscard]] uint32_t Id() const noexcept { return id_; }
    [[nodiscard]] TaskPaneBar& Bar() const noexcept { return bar_; }

    // Wraps to the pane's width; CR LF (also a lone CR or LF) starts a new line. An item with an
    // empty text takes no room and cannot be clicked or focused.
    [[nodiscard]] const std::wstring& Text() const noexcept { return text_; }
    void SetText(std::wstring text);

    // Shown in a tool-tip while the pointer rests on the item; read as the item's description by
    // screen readers. Empty shows no tip.
    [[nodiscard]] const std::wstring& ToolTipText() const noexcept { return toolTip_; }
    void SetToolTipText(std::wstring text);

    // The host's own data; the pane never looks at it.
    [[nodiscard]] const std::wstring& Tag() const noexcept { return tag_; }
    void SetTag(std::wstring tag) { tag_ = std::move(tag); }

    // A link (the default) is drawn in the link colour, underlined under the pointer, shows the
    // hand cursor, takes the keyboard focus and raises the item-clicked event. An item that is not
    // a link is plain text: it only shows its text and raises nothing.
    [[nodiscard]] bool IsLink() const noexcept { return link_ && !heading_; }
    void SetLink(bool link);

    // A heading is drawn in bold in the text colour, as the name heading a details bar. A heading
    // is never a link, whatever SetLink said.
    [[nodiscard]] bool IsHeading() const noexcept { return heading_; }
    void SetHeading(bool heading);

    // Extra room below the item, in pixels at 96 DPI (scaled with the pane's DPI). Negative values
    // count as 0; values above 200 as 200.
    [[nodiscard]] int ExtraSpacing() const noexcept { return extraSpacing_; }
    void SetExtraSpacing(int pixelsAt96);

private:
    TaskPaneBar& bar_;
    uint32_t id_;
    std::wstring key_;
    std::wstring text_;
    std::wstring toolTip_;
    std::wstring tag_;
    bool link_ = true;
    bool heading_ = false;
    int extraSpacing_ = 0;
};

}  // namespace ardmoor
