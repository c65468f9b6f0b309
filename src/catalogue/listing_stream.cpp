#include "catalogue/listing_stream.h"
#include "platform/caught_exception.h"

#include <objbase.h>

#include <chrono>

#include "catalogue/icon_files.h"
#include "catalogue/listing.h"

namespace ardmoor {

struct ListingStream::Shared {
    std::mutex mutex;
    std::condition_variable finishedSignal;
    std::deque<ListingBatch> queue;
    HWND target = nullptr;
    UINT message = 0;
    bool notified = false;  // a message is on its way and not yet answered by an empty take
    bool finished = false;
    std::atomic<bool> cancelled{false};

    void Push(ListingBatch batch) {
        std::lock_guard lock(mutex);
        queue.push_back(std::move(batch));
        NotifyLocked();
    }
    void NotifyLocked() {
        if (notified || !target || queue.empty()) return;
        notified = ::PostMessageW(target, message, 0, 0) != FALSE;
    }
};

namespace {

using Clock = std::chrono::steady_clock;

// A batch the window takes in one go, a few milliseconds' work, so that it answers meanwhile.
constexpr size_t kMostPerBatch = 400;

// Batches grow with the listing: the first rows go at once so that the window fills early; later
// ones wait longer, since each batch costs the window a sort and a repaint.
class BatchTimer {
public:
    explicit BatchTimer(int firstMs, int laterMs) : firstMs_(firstMs), laterMs_(laterMs) {}
    bool Due(size_t pending) const {
        if (pending == 0) return false;
        if (pending >= kMostPerBatch) return true;
        const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - last_).count();
        return ms >= (sent_ ? laterMs_ : firstMs_);
    }
    void Sent() {
        sent_ = true;
        last_ = Clock::now();
    }

private:
    int firstMs_, laterMs_;
    bool sent_ = false;
    Clock::time_point last_ = Clock::now();
};

struct ComScope {
    // The shell's icon functions want COM on the calling thread.
    ComScope() : ok(SUCCEEDED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE))) {}
    ~ComScope() {
        if (ok) ::CoUninitialize();
    }
    bool ok;
};

}  // namespace

ListingStream::ListingStream(Options options) : shared_(std::make_shared<Shared>()) {
    // Returns once the thread runs: a new thread must take the loader lock first, and under Wine
    // a library loading right after this (as the program does at start) would hold it up.
    std::promise<void> running;
    std::future<void> ran = running.get_future();
    thread_ = std::thread([shared = shared_, options = std::move(options), running = std::move(running)]() mutable {
        running.set_value();
        try {
            Run(shared, options);
        } catch (...) {
            // Out of memory on the way: the window shows what arrived.
            ReportCaughtException(L"listing reader");
        }
        std::lock_guard lock(shared->mutex);
        shared->finished = true;
        shared->finishedSignal.notify_all();
    });
    ran.wait_for(std::chrono::seconds(1));
}

ListingStream::~ListingStream() {
    Cancel();
    {
        std::unique_lock lock(shared_->mutex);
        shared_->target = nullptr;
        shared_->finishedSignal.wait_for(lock, std::chrono::milliseconds(200), [&] { return shared_->finished; });
    }
    if (Finished()) thread_.join();
    else thread_.detach();  // blocked outside our control; it holds its own share of the state
}

void ListingStream::SetTarget(HWND window, UINT message) {
    std::lock_guard lock(shared_->mutex);
    shared_->target = window;
    shared_->message = message;
    shared_->notified = false;
    shared_->NotifyLocked();
}

bool ListingStream::TakeBatch(ListingBatch& out) {
    std::lock_guard lock(shared_->mutex);
    if (shared_->queue.empty()) {
        shared_->notified = false;
        return false;
    }
    out = std::move(shared_->queue.front());
    shared_->queue.pop_front();
    return true;
}

void ListingStream::Cancel() noexcept { shared_->cancelled = true; }

bool ListingStream::Finished() const noexcept {
    std::lock_guard lock(shared_->mutex);
    return shared_->finished;
}

void ListingStream::Run(const std::shared_ptr<Shared>& shared, const Options& options) {
    const auto cancelled = [&] { return shared->cancelled.load(); };
    IconIndexCache icons([&](const std::wstring& file) { return options.iconIndex ? options.iconIndex(file) : -1; });
    const auto iconOf = [&](const std::wstring& file) { return icons.IndexOf(file); };

    // Rows. (The entry icon files' folder is known only later.)
    ListingReader reader(options.roots, ProgramFolder());
    std::vector<ListingEntry> entries;
    size_t sent = 0;
    BatchTimer rowTimer(15, 150);
    const auto sendRows = [&] {
        ListingBatch batch;
        batch.kind = ListingBatch::Kind::Rows;
        batch.rows.reserve(entries.size() - sent);
        for (; sent < entries.size(); ++sent) {
            const arItem& e = entries[sent].item;
            batch.rows.push_back({e.Fullname, e.ItemName, UninstallColumnText(e)});
        }
        shared->Push(std::move(batch));
        rowTimer.Sent();
    };
    const bool read = reader.ReadRows(entries, [&] {
        if (cancelled()) return false;
        if (rowTimer.Due(entries.size() - sent)) sendRows();
        return true;
    });
    if (!read || cancelled()) return;
    if (sent < entries.size()) sendRows();
    shared->Push(ListingBatch{ListingBatch::Kind::RowsEnd});

    // Tips: the values they show and the icon's, of every entry first (quicker without file
    // look-ups in between).
    BatchTimer detailTimer(100, 100);
    std::vector<StreamedDetail> pending;
    const auto sendDetails = [&](ListingBatch::Kind kind) {
        ListingBatch batch;
        batch.kind = kind;
        batch.details = std::move(pending);
        pending.clear();
        shared->Push(std::move(batch));
        detailTimer.Sent();
    };
    for (ListingEntry& entry : entries) {
        if (cancelled()) return;
        ListingReader::CompleteForListing(entry);
        pending.push_back({entry.item.Fullname, DetailsText(entry.item), -1});
        if (detailTimer.Due(pending.size())) sendDetails(ListingBatch::Kind::Tips);
    }
    if (!pending.empty()) sendDetails(ListingBatch::Kind::Tips);

    // From here on libraries load: the shell's icon functions, COM, the known folders.
    if (options.librariesReady.valid()) {
        while (options.librariesReady.wait_for(std::chrono::milliseconds(20)) != std::future_status::ready)
            if (cancelled()) return;
    }
    ComScope com;
    const std::wstring iconFolder = options.writeIconFiles ? options.writeIconFiles() : std::wstring();
    if (cancelled()) return;
    ListingBatch folder{ListingBatch::Kind::IconFolder};
    folder.iconFolder = iconFolder;
    shared->Push(std::move(folder));

    // Icons: each change repaints the list, which under Wine is slow once real icons show, so
    // they come together at the end (in slices the window takes a few milliseconds each).
    FileProbeCache probes;
    for (ListingEntry& entry : entries) {
        if (cancelled()) return;
        arItem& e = entry.item;
        if (!iconFolder.empty()) e.SetIconFolder(iconFolder);
        e.ChooseIcon(&probes);
        if (e.ItemIcon.empty()) continue;  // the row keeps the generic icon
        pending.push_back({e.Fullname, {}, iconOf(e.ItemIcon)});
        if (pending.size() >= kMostPerBatch) sendDetails(ListingBatch::Kind::Icons);
    }
    if (!pending.empty()) sendDetails(ListingBatch::Kind::Icons);
    shared->Push(ListingBatch{ListingBatch::Kind::End});
}

}  // namespace ardmoor
