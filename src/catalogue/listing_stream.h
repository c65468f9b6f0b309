#pragma once
// The listing read on a thread of its own, handed to a window in batches: first every row (name,
// uninstall command), then the details tips, then the icons, whose file probing and lookup happen
// on that thread too. The window is told by a posted message that batches wait; it takes them
// when it likes. Nothing here blocks the window's thread.
#include <windows.h>

#include <atomic>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <future>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace ardmoor {

struct StreamedRow {
    std::wstring key;        // the entry's full registry path
    std::wstring name;       // ItemName
    std::wstring uninstall;  // the "Uninstall Path" column
};

struct StreamedDetail {
    std::wstring key;
    std::wstring tip;  // empty in an icon batch
    int icon = -1;     // -1 in a tip batch
};

struct ListingBatch {
    enum class Kind { Rows, RowsEnd, Tips, IconFolder, Icons, End };
    Kind kind = Kind::Rows;
    std::vector<StreamedRow> rows;
    std::vector<StreamedDetail> details;
    std::wstring iconFolder;  // with IconFolder: where the entry icon files were written
};

class ListingStream {
public:
    struct Options {
        std::vector<std::wstring> roots;
        // Run on the reading thread: writes the entry icon files and returns their folder, and
        // looks a file's icon up from the file itself.
        std::function<std::wstring()> writeIconFiles;
        std::function<int(const std::wstring& file)> iconIndex;
        // Ready once the reading thread may load libraries (the two above, COM): until then it
        // reads only the registry. Under Wine, this thread loading the shell's libraries while the
        // window's thread loads the display driver deadlocks on the loader lock. Empty: at once.
        std::shared_future<void> librariesReady;
    };
    // Starts reading at once.
    explicit ListingStream(Options options);
    // Stops the reading; waits for the thread only briefly (it may be stuck on an unreachable
    // network path, and the process must still be able to end).
    ~ListingStream();
    ListingStream(const ListingStream&) = delete;
    ListingStream& operator=(const ListingStream&) = delete;

    // Where to post `message` when batches wait (again after each time TakeBatch found none).
    void SetTarget(HWND window, UINT message);
    // The next waiting batch; false when none waits.
    bool TakeBatch(ListingBatch& out);
    void Cancel() noexcept;
    // True once the thread has handed over its last batch or stopped.
    [[nodiscard]] bool Finished() const noexcept;

private:
    struct Shared;
    static void Run(const std::shared_ptr<Shared>& shared, const Options& options);
    std::shared_ptr<Shared> shared_;
    std::thread thread_;
};

}  // namespace ardmoor
