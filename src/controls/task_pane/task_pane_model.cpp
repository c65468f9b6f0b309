#include "controls/task_pane/task_pane_model.h"

#include <algorithm>

#include "platform/strings.h"

namespace ardmoor {

namespace {
bool SameKey(std::wstring_view a, std::wstring_view b) { return !a.empty() && EqualsNoCase(a, b); }

// Removes from `owned` the element equal to `target`, after telling the model; the element is
// destroyed only once it is out of the vector, so nothing can reach it half-removed.
template <class T>
std::unique_ptr<T> TakeOut(std::vector<std::unique_ptr<T>>& owned, const T* target) {
    auto it = std::find_if(owned.begin(), owned.end(), [&](const auto& p) { return p.get() == target; });
    if (it == owned.end()) return nullptr;
    std::unique_ptr<T> taken = std::move(*it);
    owned.erase(it);
    return taken;
}
}  // namespace

// ---- model

TaskPaneModel::TaskPaneModel() = default;

TaskPaneModel::~TaskPaneModel() {
    observer_ = nullptr;
    bars_.clear();
}

Result<TaskPaneBar*> TaskPaneModel::AddBar(std::wstring key, std::wstring title) {
    if (FindBar(key)) return Error{kTaskPaneDuplicateKey};
    bars_.push_back(std::make_unique<TaskPaneBar>(*this, std::move(key), std::move(title)));
    Notify(TaskPaneChange::Layout);
    return bars_.back().get();
}

TaskPaneBar* TaskPaneModel::FindBar(std::wstring_view key) const noexcept {
    for (const auto& bar : bars_)
        if (SameKey(bar->Key(), key)) return bar.get();
    return nullptr;
}

TaskPaneItem* TaskPaneModel::FindItem(std::wstring_view key) const noexcept {
    for (const auto& bar : bars_)
        if (TaskPaneItem* item = bar->FindItem(key)) return item;
    return nullptr;
}

TaskPaneBar* TaskPaneModel::Bar(size_t index) const noexcept {
    return index < bars_.size() ? bars_[index].get() : nullptr;
}

Status TaskPaneModel::RemoveBar(std::wstring_view key) {
    TaskPaneBar* bar = FindBar(key);
    if (!bar) return Error{kTaskPaneNotFound};
    bar->ClearItems();
    RemovingBar(*bar);
    std::unique_ptr<TaskPaneBar> gone = TakeOut(bars_, bar);
    gone.reset();
    Notify(TaskPaneChange::Layout);
    return {};
}

void TaskPaneModel::Clear() {
    while (!bars_.empty()) {
        TaskPaneBar* bar = bars_.back().get();
        bar->ClearItems();
        RemovingBar(*bar);
        bars_.pop_back();
    }
    Notify(TaskPaneChange::Layout);
}

TaskPaneItem* TaskPaneModel::FindItemById(uint32_t id) const noexcept {
    for (const auto& bar : bars_)
        for (const auto& item : bar->items_)
            if (item->Id() == id) return item.get();
    return nullptr;
}

TaskPaneBar* TaskPaneModel::FindBarById(uint32_t id) const noexcept {
    for (const auto& bar : bars_)
        if (bar->Id() == id) return bar.get();
    return nullptr;
}

void TaskPaneModel::Notify(TaskPaneChange change) {
    if (observer_) observer_->OnTaskPaneChanged(change);
}

void TaskPaneModel::RemovingItem(const TaskPaneItem& item) {
    if (observer_) observer_->OnTaskPaneItemRemoving(item);
}

void TaskPaneModel::RemovingBar(const TaskPaneBar& bar) {
    if (observer_) observer_->OnTaskPaneBarRemoving(bar);
}

// ---- bar

TaskPaneBar::TaskPaneBar(TaskPaneModel& model, std::wstring key, std::wstring title)
    : model_(model), id_(model.NextId()), key_(std::move(key)), title_(std::move(title)) {}

TaskPaneBar::~TaskPaneBar() = default;

void TaskPaneBar::SetTitle(std::wstring title) {
    if (title == title_) return;
    title_ = std::move(title);
    model_.Notify(TaskPaneChange::Layout);
}

void TaskPaneBar::SetSpecial(bool special) {
    if (special == special_) return;
    special_ = special;
    model_.Notify(TaskPaneChange::Appearance);
}

Result<TaskPaneItem*> TaskPaneBar::AddItem(std::wstring key, std::wstring text) {
    if (FindItem(key)) return Error{kTaskPaneDuplicateKey};
    items_.push_back(std::make_unique<TaskPaneItem>(*this, std::move(key), std::move(text)));
    model_.Notify(TaskPaneChange::Layout);
    return items_.back().get();
}

TaskPaneItem* TaskPaneBar::FindItem(std::wstring_view key) const noexcept {
    for (const auto& item : items_)
        if (SameKey(item->Key(), key)) return item.get();
    return nullptr;
}

TaskPaneItem* TaskPaneBar::Item(size_t index) const noexcept {
    return index < items_.size() ? items_[index].get() : nullptr;
}

size_t TaskPaneBar::IndexOf(const TaskPaneItem& item) const noexcept {
    for (size_t i = 0; i < items_.size(); ++i)
        if (items_[i].get() == &item) return i;
    return items_.size();
}

Status TaskPaneBar::RemoveItem(std::wstring_view key) {
    TaskPaneItem* item = FindItem(key);
    if (!item) return Error{kTaskPaneNotFound};
    model_.RemovingItem(*item);
    std::unique_ptr<TaskPaneItem> gone = TakeOut(items_, item);
    gone.reset();
    model_.Notify(TaskPaneChange::Layout);
    return {};
}

void TaskPaneBar::ClearItems() {
    if (items_.empty()) return;
    while (!items_.empty()) {
        model_.RemovingItem(*items_.back());
        items_.pop_back();
    }
    model_.Notify(TaskPaneChange::Layout);
}

// ---- item

TaskPaneItem::TaskPaneItem(TaskPaneBar& bar, std::wstring key, std::wstring text)
    : bar_(bar), id_(bar.model_.NextId()), key_(std::move(key)), text_(std::move(text)) {}

void TaskPaneItem::SetText(std::wstring text) {
    if (text == text_) return;
    text_ = std::move(text);
    bar_.model_.Notify(TaskPaneChange::Layout);
}

void TaskPaneItem::SetToolTipText(std::wstring text) {
    if (text == toolTip_) return;
    toolTip_ = std::move(text);
    bar_.model_.Notify(TaskPaneChange::ToolTip);
}

void TaskPaneItem::SetLink(bool link) {
    if (link == link_) return;
    link_ = link;
    bar_.model_.Notify(TaskPaneChange::Layout);
}

void TaskPaneItem::SetHeading(bool heading) {
    if (heading == heading_) return;
    heading_ = heading;
    bar_.model_.Notify(TaskPaneChange::Layout);
}

void TaskPaneItem::SetExtraSpacing(int pixelsAt96) {
    const int clamped = std::clamp(pixelsAt96, 0, 200);
    if (clamped == extraSpacing_) return;
    extraSpacing_ = clamped;
    bar_.model_.Notify(TaskPaneChange::Layout);
}

}  // namespace ardmoor
