#include "controls/status_bar/status_bar_panels.h"

#include "controls/status_bar/status_bar_special.h"

namespace ardmoor {

void ThrowStatusBarError(long number, std::wstring message) {
    throw ComponentError(number, ComponentSource(L"vbalStatusBar"), std::move(message));
}

std::wstring PanelRef::ToText() const { return isIndex() ? std::to_wstring(index()) : std::get<1>(v_); }

long StatusPanelList::IndexOf(const PanelRef& ref) const {
    if (ref.isIndex() && ref.index() >= 1 && ref.index() <= Count()) return ref.index();
    const std::wstring key = ref.ToText();
    if (!key.empty()) {
        for (size_t i = 0; i < panels_.size(); ++i)
            if (panels_[i].key == key) return static_cast<long>(i + 1);
    }
    ThrowStatusBarError(kErrInvalidPanelIndex, L"Invalid Panel Index: " + ref.ToText());
}

long StatusPanelList::Insert(StatusPanel panel, const std::optional<PanelRef>& before) {
    if (panels_.size() >= kMaxPanels) ThrowStatusBarError(kErrTooManyPanels, L"Too many panels.");
    const size_t at = before ? static_cast<size_t>(IndexOf(*before) - 1) : panels_.size();
    const bool spring = panel.spring;
    panels_.insert(panels_.begin() + static_cast<std::ptrdiff_t>(at), std::move(panel));
    if (spring) SetSpring(static_cast<long>(at + 1), true);
    return static_cast<long>(at + 1);
}

StatusPanel StatusPanelList::Remove(const PanelRef& ref) {
    const auto it = panels_.begin() + (IndexOf(ref) - 1);
    StatusPanel removed = std::move(*it);
    panels_.erase(it);
    return removed;
}

void StatusPanelList::SetSpring(const PanelRef& ref, bool spring) {
    const size_t index = static_cast<size_t>(IndexOf(ref) - 1);
    if (spring)
        for (StatusPanel& p : panels_) p.spring = false;
    panels_[index].spring = spring;
}

bool StatusPanelList::AnySpecial() const noexcept {
    for (const StatusPanel& p : panels_)
        if (IsSpecialStyle(p.style)) return true;
    return false;
}

}  // namespace ardmoor
