#pragma once
// The status bar's panels as plain data: records in display order, lookup by index or key,
// insertion, removal and the one-spring rule. The window sends them to the status window.
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "controls/component_error.h"
#include "platform/unique_handle.h"

namespace ardmoor {

// Error numbers the status bar raises, with the texts its callers know.
inline constexpr long kErrImageListType = static_cast<long>(0x80040419u);    // "ImageList property expects..."
inline constexpr long kErrInvalidPanelIndex = static_cast<long>(0x8004041Au);  // "Invalid Panel Index: "
inline constexpr long kErrTooManyPanels = static_cast<long>(0x8004041Bu);      // "Too many panels."

// Raises a status bar error with its source, "<exe name>.vbalStatusBar".
[[noreturn]] void ThrowStatusBarError(long number, std::wstring message);

// A panel addressed by its 1-based index or by its key.
class PanelRef {
public:
    PanelRef(int index) noexcept : v_(static_cast<long>(index)) {}
    PanelRef(long index) noexcept : v_(index) {}
    PanelRef(const wchar_t* key) : v_(std::wstring(key ? key : L"")) {}
    PanelRef(std::wstring key) : v_(std::move(key)) {}
    PanelRef(std::wstring_view key) : v_(std::wstring(key)) {}

    [[nodiscard]] bool isIndex() const noexcept { return v_.index() == 0; }
    [[nodiscard]] long index() const noexcept { return isIndex() ? std::get<0>(v_) : 0; }
    [[nodiscard]] std::wstring key() const { return isIndex() ? std::wstring() : std::get<1>(v_); }
    // The index in decimal, or the key as given.
    [[nodiscard]] std::wstring ToText() const;

private:
    std::variant<long, std::wstring> v_;
};

struct StatusPanel {
    std::wstring key;
    long itemData = 0;
    long imageIndex = -1;
    UniqueIcon icon;
    std::wstring text;  // for special panels, the text last drawn
    std::wstring toolTipText;
    long minWidth = 0;
    long idealWidth = 0;
    long width = 0;
    bool spring = false;
    bool fitToContents = false;
    long style = 0;
    bool lastState = false;  // for key-state panels, the state last drawn
};

class StatusPanelList {
public:
    static constexpr size_t kMaxPanels = 255;

    [[nodiscard]] long Count() const noexcept { return static_cast<long>(panels_.size()); }

    // 1-based index of the panel. A number between 1 and the count is the index; anything else is
    // compared, as text, with each panel's key and the first match wins. An empty key matches
    // nothing. Raises "Invalid Panel Index: <ref>" when no panel matches.
    [[nodiscard]] long IndexOf(const PanelRef& ref) const;

    StatusPanel& operator[](const PanelRef& ref) { return panels_[static_cast<size_t>(IndexOf(ref) - 1)]; }
    const StatusPanel& operator[](const PanelRef& ref) const {
        return panels_[static_cast<size_t>(IndexOf(ref) - 1)];
    }

    // Adds at the end or before the given panel; returns the new panel's index. A springing panel
    // takes the flag from every other. Raises "Too many panels." when full, or an invalid index
    // for `before`; nothing changes then.
    long Insert(StatusPanel panel, const std::optional<PanelRef>& before);

    // Takes the panel out and hands it back (its icon goes with it).
    StatusPanel Remove(const PanelRef& ref);

    // Sets or clears the spring flag of one panel; setting clears it on every other.
    void SetSpring(const PanelRef& ref, bool spring);

    [[nodiscard]] bool AnySpecial() const noexcept;

    [[nodiscard]] std::vector<StatusPanel>& items() noexcept { return panels_; }
    [[nodiscard]] const std::vector<StatusPanel>& items() const noexcept { return panels_; }

private:
    std::vector<StatusPanel> panels_;
};

}  // namespace ardmoor
