// The main window's listing refresh. The entries are read on a thread of their own (see
// ListingStream), which may start before the window exists; the window takes the rows as they
// arrive, keeps them sorted and grouped, and then takes their tips and icons. Its own thread only
// shows what arrives, a slice at a time, so it answers messages all along.
#include <chrono>

#include "app/frmMain.h"
#include "app/modOptions.h"
#include "catalogue/icon_files.h"

namespace ardmoor {

namespace {
using Clock = std::chrono::steady_clock;
double MsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}
// The window takes batches for at most this long before it looks at its other messages again.
constexpr double kSliceMs = 20;
// Under Wine one repaint of the list costs tens of milliseconds, so while icons stream in it comes
// at most this often (and at once at the end).
constexpr UINT kRepaintEveryMs = 400;
}  // namespace

std::unique_ptr<ListingStream> StartListing(std::vector<std::wstring> roots,
                                            std::function<int(const std::wstring&)> iconLookup,
                                            std::shared_future<void> librariesReady) {
    ListingStream::Options options;
    options.roots = std::move(roots);
    options.librariesReady = std::move(librariesReady);
    options.writeIconFiles = [] { return WriteEntryIconFiles(); };
    if (iconLookup) {
        options.iconIndex = std::move(iconLookup);
    } else {
        // The system image list is one per process; the reading thread asks for indexes of its own.
        auto lookup = std::make_shared<cVBALSysImageList>();
        lookup->SetIconSizeX(32);
        lookup->SetIconSizeY(32);
        options.iconIndex = [lookup](const std::wstring& file) { return lookup->ItemIndex(file, true); };
    }
    return std::make_unique<ListingStream>(std::move(options));
}

void frmMain::AdoptListing(std::unique_ptr<ListingStream> started) { adopted_ = std::move(started); }

void frmMain::pRefresh() {
    if (!Alive()) return;
    // A refresh started during another one replaces it; the old reader stops.
    stream_.reset();
    refreshStart_ = Clock::now();
    timings_ = {};
    busy_ = 1;
    refreshState_ = 1;
    rowsDone_ = false;
    finishRowsDue_ = 0;
    currentRow_ = {};
    ::SetCursor(::LoadCursorW(nullptr, IDC_APPSTARTING));

    lvRemove.Clear();
    const bool grouping = IsGroupingSupported();
    if (grouping) {
        lvRemove.ClearGroups();
        LetterGroups.assign(kOtherGroup + 1, -1);
        LetterGroups[kOtherGroup] = lvRemove.AddGroup(LetterGroupCaption(kOtherGroup));
        for (int code = L'Z'; code >= L'A'; --code)
            LetterGroups[code - L'A'] = lvRemove.AddGroup(LetterGroupCaption(code - L'A'));
    }
    // Rows arrive sorted by name, as the list ends up after a refresh.
    lvRemove.Column(L"DisplayName").SetSortOrder(list_view::kSortAscending);
    SetItemCountText();

    stream_ = adopted_ ? std::move(adopted_) : StartListing(settings_.uninstallRoots, settings_.iconLookup);
    stream_->SetTarget(hwnd(), kListingMessage);
}

bool frmMain::RefreshInFlight() const noexcept { return stream_ != nullptr; }

void frmMain::CancelRefresh() {
    if (!stream_) return;
    stream_.reset();
    SortArrivedRows();
    // The rows that arrived stay, as a finished listing would show them.
    finishRowsDue_ = 0;
    if (!rowsDone_) FinishRows();
    FinishRefresh();
}

void frmMain::OnListingBatches() {
    const auto start = Clock::now();
    ListingBatch batch;
    bool unsorted = false;
    const auto sortNow = [&] {
        if (!unsorted) return;
        unsorted = false;
        SortArrivedRows();
    };
    if (finishRowsDue_ > 0 && stream_) {
        // The rows' layout first (the list's held drawing may still await its own message),
        // then the selection, scrolling and details that finish them.
        if (--finishRowsDue_ == 1) lvRemove.SetRedraw(true);
        else FinishRows();
        ::PostMessageW(hwnd(), kListingMessage, 0, 0);
        return;
    }
    bool tookRows = false;
    while (stream_ && stream_->TakeBatch(batch)) {
        if (batch.kind != ListingBatch::Kind::Rows) sortNow();
        switch (batch.kind) {
        case ListingBatch::Kind::Rows:
            tookRows = true;
            AddRows(batch);
            unsorted = true;  // once for all the rows this turn takes
            break;
        case ListingBatch::Kind::RowsEnd:
            if (tookRows) {
                // The list's layout after this turn's rows and the selection, scrolling and
                // details that finish them each cost the window a turn of their own.
                finishRowsDue_ = 2;
                ::PostMessageW(hwnd(), kListingMessage, 0, 0);
                return;
            }
            FinishRows();
            break;
        case ListingBatch::Kind::IconFolder:
            iconFolder_ = batch.iconFolder;
            break;
        case ListingBatch::Kind::Tips:
            for (const StreamedDetail& d : batch.details)
                if (ListItem row = lvRemove.Item(d.key)) row.SetToolTipText(d.tip);
            break;
        case ListingBatch::Kind::Icons:
            HoldListDrawing();
            for (const StreamedDetail& d : batch.details)
                if (ListItem row = lvRemove.Item(d.key)) row.SetIcon(d.icon);
            timings_.iconLookups += batch.details.size();
            break;
        case ListingBatch::Kind::End:
            stream_.reset();
            FinishRefresh();
            return;
        }
        if (MsSince(start) >= kSliceMs) {
            // The rest waits for the next turn, after the messages that came meanwhile.
            sortNow();
            ::PostMessageW(hwnd(), kListingMessage, 0, 0);
            return;
        }
    }
    sortNow();
}

void frmMain::AddRows(const ListingBatch& batch) {
    const bool grouping = IsGroupingSupported() && LetterGroups.size() == kOtherGroup + 1;
    for (const StreamedRow& r : batch.rows) {
        auto row = lvRemove.Add(r.key, r.name, placeholderIcon_);
        if (!row) continue;
        row->SetSubItem(1, r.uninstall);
        if (grouping) row->SetGroup(LetterGroups[LetterGroupIndex(r.name)]);
    }
}

void frmMain::SortArrivedRows() {
    lvRemove.Sort();
    // The row the user is on keeps its place in the commands, wherever the new rows put it.
    if (currentRow_) SelectedIndex_ = currentRow_.Index();
    SetItemCountText();
    timings_.rows = static_cast<size_t>(lvRemove.Count());
}

void frmMain::HoldListDrawing() {
    if (drawingHeld_) return;
    drawingHeld_ = true;
    lvRemove.SetRedraw(false);
    ::SetTimer(hwnd(), kRepaintTimer, kRepaintEveryMs, nullptr);
}

void frmMain::ReleaseListDrawing() {
    if (!drawingHeld_) return;
    drawingHeld_ = false;
    ::KillTimer(hwnd(), kRepaintTimer);
    lvRemove.SetRedraw(true);
}

void frmMain::FinishRows() {
    ReleaseListDrawing();
    rowsDone_ = true;
    if (SelectedIndex_ >= 1 && SelectedIndex_ <= lvRemove.Count()) {
        ListItem row = lvRemove.Item(SelectedIndex_);
        row.SetSelected(true);
        row.EnsureVisible();
        ShowDetails(SelectedIndex_);
    }
    SetItemCountText();
    if (IsGroupingSupported()) lvRemove.EnableGroups(modOptions::Current().ShowGroups);
    if (::GetForegroundWindow() == hwnd()) ::SetFocus(lvRemove.hwnd());
    busy_ = 2;
    refreshState_ = 2;
    timings_.rowsShownMs = MsSince(refreshStart_);
}

void frmMain::FinishRefresh() {
    ReleaseListDrawing();
    busy_ = 0;
    refreshState_ = 3;
    timings_.completeMs = MsSince(refreshStart_);
}

void frmMain::SetItemCountText() {
    try {
        sBar.PanelText(2, std::to_wstring(lvRemove.Count()) + L" items..." + std::wstring(10, L' '));
    } catch (const ComponentError&) {
        // The panel is missing only if set-up failed; the count is not worth stopping for.
    }
}

}  // namespace ardmoor
