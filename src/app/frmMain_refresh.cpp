// The main window's listing refresh. Each entry is opened once: first the values its row shows,
// so that the rows are on screen early; then the rest of its values, its details tip and its icon
// (each distinct icon file looked up once), while the window stays responsive.
#include <chrono>

#include "app/frmMain.h"
#include "app/modOptions.h"
#include "catalogue/icon_files.h"
#include "platform/message_pump.h"

namespace ardmoor {

namespace {
using Clock = std::chrono::steady_clock;
double MsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}
constexpr unsigned kPumpIntervalMs = 80;     // the window answers within about this long
constexpr unsigned long long kIconBatchMs = 400;  // icons reach the list in a few batches: each repaints it
}  // namespace

void frmMain::pRefresh() {
    if (!Alive()) return;
    // A refresh started from inside this one (its message pump) supersedes it.
    const unsigned generation = ++refreshGeneration_;
    auto stale = [&] { return !Alive() || generation != refreshGeneration_; };
    const auto start = Clock::now();
    timings_ = {};

    busy_ = 1;
    ::SetCursor(::LoadCursorW(nullptr, IDC_WAIT));
    lvRemove.SetVisible(false);
    PumpPendingMessages();
    if (stale()) return;

    iconFolder_ = WriteEntryIconFiles();
    lvRemove.Clear();
    const bool grouping = IsGroupingSupported();
    if (grouping) {
        lvRemove.ClearGroups();
        LetterGroups.assign(kOtherGroup + 1, -1);
        LetterGroups[kOtherGroup] = lvRemove.AddGroup(LetterGroupCaption(kOtherGroup));
        for (int code = L'Z'; code >= L'A'; --code) LetterGroups[code - L'A'] = lvRemove.AddGroup(LetterGroupCaption(code - L'A'));
    }

    timings_.clearMs = MsSince(start);
    ListingReader reader(settings_.uninstallRoots, iconFolder_);
    PumpThrottle pump(kPumpIntervalMs);
    std::vector<ListingEntry> entries = reader.ReadRows([&pump] { pump.Tick(); }, 1);
    if (stale()) return;
    timings_.readMs = MsSince(start) - timings_.clearMs;

    // Rows first, with the generic icon; details and real icons follow.
    IconIndexCache icons([this](const std::wstring& file) { return largeIcons_.ItemIndex(file, true); });
    const int placeholder = iconFolder_.empty() ? largeIcons_.ItemIndex(std::wstring(L"program.exe"), false)
                                                : icons.IndexOf(iconFolder_ + kNoIconFile);
    FillRows(entries, placeholder);
    timings_.rowsShownMs = MsSince(start);
    timings_.rows = entries.size();

    busy_ = 2;
    CompleteRows(entries, icons, placeholder, generation);
    if (stale()) return;
    busy_ = 0;
    timings_.iconLookups = icons.Lookups();
    timings_.completeMs = MsSince(start);
}

void frmMain::FillRows(const std::vector<ListingEntry>& entries, int placeholderIcon) {
    lvRemove.SetRedraw(false);
    for (const ListingEntry& entry : entries) {
        const arItem& e = entry.item;
        auto row = lvRemove.Add(e.Fullname, e.ItemName, placeholderIcon);
        if (!row) continue;
        row->SetSubItem(1, UninstallColumnText(e));  // the details tip waits for the whole record
    }
    lvRemove.Column(L"DisplayName").SetSortOrder(list_view::kSortAscending);
    lvRemove.Sort();
    if (IsGroupingSupported() && LetterGroups.size() == kOtherGroup + 1) {
        const int count = lvRemove.Count();
        for (int i = 1; i <= count; ++i) {
            ListItem row = lvRemove.Item(i);
            row.SetGroup(LetterGroups[LetterGroupIndex(row.Text())]);
        }
    }
    if (SelectedIndex_ >= 1 && SelectedIndex_ <= lvRemove.Count()) {
        ListItem row = lvRemove.Item(SelectedIndex_);
        row.SetSelected(true);
        row.EnsureVisible();
        ShowDetails(SelectedIndex_);
    }
    SetItemCountText();
    if (IsGroupingSupported()) lvRemove.EnableGroups(modOptions::Current().ShowGroups);
    lvRemove.SetRedraw(true);
    lvRemove.SetVisible(true);
    if (::GetForegroundWindow() == hwnd()) ::SetFocus(lvRemove.hwnd());
    ::UpdateWindow(lvRemove.hwnd());
}

void frmMain::CompleteRows(std::vector<ListingEntry>& entries, IconIndexCache& icons, int placeholderIcon,
                           unsigned generation) {
    PumpThrottle pump(kPumpIntervalMs);
    FileProbeCache probes;
    // Icons wait for their batch: a change to the list between two looks at the message queue
    // costs a repaint of the whole list there.
    std::vector<std::pair<const std::wstring*, int>> pendingIcons;
    unsigned long long lastBatch = ::GetTickCount64();
    const auto applyIcons = [&] {
        for (const auto& [key, icon] : pendingIcons)
            if (ListItem row = lvRemove.Item(*key)) row.SetIcon(icon);  // by key: rows may have moved
        pendingIcons.clear();
        lastBatch = ::GetTickCount64();
    };
    const auto tick = [&] {
        const auto t = Clock::now();
        pump.Tick();
        timings_.pumpMs += MsSince(t);
        return Alive() && generation == refreshGeneration_;
    };
    // The registry first, in one run (it is quicker without file look-ups in between)...
    auto t0 = Clock::now();
    for (ListingEntry& entry : entries) {
        ListingReader::Complete(entry);
        // By key: the user may have sorted or removed rows meanwhile.
        if (ListItem row = lvRemove.Item(entry.item.Fullname)) row.SetToolTipText(DetailsText(entry.item));
        if (!tick()) return;
    }
    timings_.restMs = MsSince(t0) - timings_.pumpMs;
    // ...then the icons.
    const double pumpBefore = timings_.pumpMs;
    t0 = Clock::now();
    for (ListingEntry& entry : entries) {
        arItem& e = entry.item;
        e.ChooseIcon(&probes);
        const int icon = e.ItemIcon.empty() ? placeholderIcon : icons.IndexOf(e.ItemIcon);
        if (icon != placeholderIcon) pendingIcons.emplace_back(&e.Fullname, icon);
        if (::GetTickCount64() - lastBatch >= kIconBatchMs) applyIcons();
        if (!tick()) return;
    }
    applyIcons();
    timings_.iconChoiceMs = MsSince(t0) - (timings_.pumpMs - pumpBefore);
}

void frmMain::SetItemCountText() {
    try {
        sBar.PanelText(2, std::to_wstring(lvRemove.Count()) + L" items..." + std::wstring(10, L' '));
    } catch (const ComponentError&) {
        // The panel is missing only if set-up failed; the count is not worth stopping for.
    }
}

}  // namespace ardmoor
