#pragma once
// The main window: the listing of installed programs with its title strip, task pane, list and
// status bar. The window turns messages into calls on the listing and the commands.
#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/title_strip.h"
#include "catalogue/listing.h"
#include "catalogue/listing_stream.h"
#include "controls/cVBALSysImageList.h"
#include "controls/status_bar/vbalStatusBar.h"
#include "controls/list_view/list_view.h"
#include "platform/prompter.h"
#include "platform/subclass.h"
#include "controls/task_pane/task_pane.h"
#include "platform/system_process_runner.h"
#include "platform/unique_handle.h"
#include "platform/window.h"
#include "print/printers.h"
#include "uninstall/system_shell.h"
#include "uninstall/uninstall_workflow.h"

namespace ardmoor {

// How long the last refresh took, for diagnostics and tests.
struct RefreshTimings {
    double rowsShownMs = 0;  // until every row was in the list
    double completeMs = 0;   // until every tip and icon was in place as well
    size_t rows = 0;
    size_t iconLookups = 0;  // rows that got an icon of their own
};

// Starts reading the listing of these Uninstall keys on a thread of its own; icons are looked up
// in the system image list unless `iconLookup` is given.
// `librariesReady`: see ListingStream::Options.
std::unique_ptr<ListingStream> StartListing(std::vector<std::wstring> roots,
                                            std::function<int(const std::wstring&)> iconLookup = {},
                                            std::shared_future<void> librariesReady = {});

// Answered by the main window with the state of its listing: 0 not started, 1 rows arriving,
// 2 details and icons arriving, 3 complete. For the benchmark and tests that watch from outside.
UINT RefreshStateMessage();

class frmMain : public Window, private ISubclass, private UninstallHost {
public:
    struct Settings {
        std::vector<std::wstring> uninstallRoots = DefaultUninstallRoots();
        std::wstring optionsRoot;  // empty: the program's own key
        Prompter* prompter = nullptr;  // null: message boxes
        // Looks an icon file up on the reading thread; empty: in the system image list.
        std::function<int(const std::wstring& file)> iconLookup;
        // The uninstall and removal commands' collaborators; null: the real ones (dialogs,
        // processes, the shell).
        UninstallPrompter* uninstallPrompter = nullptr;
        ProcessRunner* runner = nullptr;
        Shell* shell = nullptr;
    };
    frmMain();
    explicit frmMain(Settings settings);
    ~frmMain() override;

    // A listing already being read (started before the window, so that both overlap): the first
    // refresh takes it instead of starting its own.
    void AdoptListing(std::unique_ptr<ListingStream> started);
    // Creates and shows the window and runs the load steps. False when the window could not be made.
    bool Load(int showCommand);

    // Commands.
    // Starts reading the listing; the rows, then their tips and icons, arrive while the window
    // keeps answering. A refresh in flight is replaced.
    void pRefresh();
    // For commands that must not run beside a refresh: stops the reading; the rows that arrived
    // stay, selected, counted and grouped as at the end of a refresh.
    void CancelRefresh();
    [[nodiscard]] bool RefreshInFlight() const noexcept;
    void pUninstall();
    void pInstall();
    void pRemoveItem(const std::wstring& sName, const std::wstring& sKey, bool bPrompt);
    void pPrint();
    void pProperties();
    void pAbout();
    void pExport();

    // Reloads the row's entry and shows it in the Details bar and the popup menu (1-based index).
    void ShowDetails(int index);

    [[nodiscard]] const RefreshTimings& LastRefresh() const noexcept { return timings_; }
    // What RefreshStateMessage answers.
    [[nodiscard]] int RefreshState() const noexcept { return refreshState_; }
    // An uninstaller started from this window is running.
    [[nodiscard]] bool UninstallRunning() const noexcept { return running_; }
    [[nodiscard]] int SelectedIndex() const noexcept { return SelectedIndex_; }
    // For tests and diagnostics: the window's parts.
    [[nodiscard]] ListView& List() noexcept { return lvRemove; }
    [[nodiscard]] TaskPane& Tasks() noexcept { return eBar; }
    [[nodiscard]] vbalStatusBar& Status() noexcept { return sBar; }
    [[nodiscard]] HMENU PopupMenu() const noexcept { return mnuMaina; }
    [[nodiscard]] HMENU ViewMenu() const noexcept { return mnuView; }

    static constexpr UINT kListingMessage = WM_APP + 1;
    static constexpr UINT_PTR kRepaintTimer = 1;

protected:
    bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;

private:
    LRESULT ISubclass_WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) override;

    [[nodiscard]] bool Form_Load();
    void ReportLoadFailure();
    void OnDpiChanged(UINT dpi, const RECT& suggested);
    void OnContextMenu(HWND from, LPARAM lp);
    void Form_QueryUnload();
    void Form_Unload();
    void Form_Resize();
    void GetFormOptions();
    void ApplyViewOptions();
    void pSetup();
    void BuildMenus();
    void OnTaskItemClick(TaskPaneItem& item);
    void OnMenuCommand(int id);
    void OnListKeyUp(int keyCode, int shift);
    void OnListMouseUp(int button, int shift, int x, int y);
    void OnColumnClick(int column);
    void SetItemCountText();
    TaskPaneItem* TaskItem(const wchar_t* barKey, const wchar_t* itemKey);
    void OnListingBatches();
    void AddRows(const ListingBatch& batch);
    void SortArrivedRows();
    void FinishRows();
    void FinishRefresh();
    void HoldListDrawing();
    void ReleaseListDrawing();
    void ShellOpen(const std::wstring& target, int showCommand);
    // Builds the row of the entry `key` afresh from the registry, as the refresh builds rows.
    void RebuildRow(const std::wstring& key);
    [[nodiscard]] bool IsGroupingSupported() const;
    [[nodiscard]] bool Alive() const noexcept override { return hwnd() != nullptr && !closing_; }

    // The uninstall workflow's view of the window (frmMain_uninstall.cpp).
    UninstallWorkflow Workflow();
    std::optional<Row> CurrentRow() override;
    void SetRowCommand(const std::wstring& key, const std::wstring& command) override;
    void DropRow(const std::wstring& key, Drop why) override;
    void BeginRun() override;
    void EndRun() override;
    [[nodiscard]] std::wstring Title() const override;

    Settings settings_;
    TitleStrip picTitle;
    TaskPane eBar;
    ListView lvRemove;
    vbalStatusBar sBar;
    cVBALSysImageList largeIcons_;
    cVBALSysImageList smallIcons_;
    UniqueMenu mnuMain;
    HMENU mnuMaina = nullptr;  // the popup, owned by mnuMain
    HMENU mnuView = nullptr;   // its View submenu
    std::vector<int> LetterGroups;
    int SelectedIndex_ = 1;
    ListItem currentRow_;  // the row SelectedIndex_ stands for, followed while rows arrive
    std::wstring iconFolder_;  // where the last refresh wrote the entry icon files
    int busy_ = 0;         // 1 while rows arrive, 2 while their tips and icons do
    bool exporting_ = false;  // the window is out of use while an export writes its file
    int refreshState_ = 0;
    bool rowsDone_ = false;
    int finishRowsDue_ = 0;  // the rows ended: turns left until FinishRows (layout, then it)
    bool drawingHeld_ = false;  // the list repaints on a timer while rows and icons stream in
    int placeholderIcon_ = -1;
    bool unloaded_ = false;
    bool closing_ = false;
    std::chrono::steady_clock::time_point refreshStart_;
    RefreshTimings timings_;
    PrinterInfo currentPrinter_;  // the printer printouts go to; starts as the system's default
    std::unique_ptr<ListingStream> adopted_;
    std::unique_ptr<ListingStream> stream_;  // the refresh in flight
    std::unique_ptr<DialogUninstallPrompter> dialogs_;
    SystemProcessRunner systemRunner_;
    SystemShell systemShell_;
    bool running_ = false;           // an uninstaller runs: no command starts
    bool inCommand_ = false;         // an uninstall or removal is under way (it may be asking)
    bool refreshCancelled_ = false;  // the run ended a refresh, which runs again afterwards
};

}  // namespace ardmoor
