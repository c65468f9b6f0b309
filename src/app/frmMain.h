#pragma once
// The main window: the listing of installed programs with its title strip, task pane, list and
// status bar. The window turns messages into calls on the listing and the commands.
#include <memory>
#include <string>
#include <vector>

#include "app/title_strip.h"
#include "catalogue/listing.h"
#include "controls/cVBALSysImageList.h"
#include "controls/status_bar/vbalStatusBar.h"
#include "controls/list_view/list_view.h"
#include "platform/subclass.h"
#include "controls/task_pane/task_pane.h"
#include "platform/system_process_runner.h"
#include "platform/unique_handle.h"
#include "platform/window.h"
#include "uninstall/system_shell.h"
#include "uninstall/uninstall_workflow.h"

namespace ardmoor {

// How long the last refresh took, for the benchmark and for diagnostics.
struct RefreshTimings {
    double clearMs = 0;      // emptying the list of the last refresh
    double readMs = 0;       // reading the entries
    double rowsShownMs = 0;  // until every row is in the list and the list is shown
    double completeMs = 0;   // until every icon is in place as well
    double restMs = 0;       // of which reading the rest of the values
    double iconChoiceMs = 0; // of which choosing icon files and looking them up
    double pumpMs = 0;       // of which letting the window handle its messages
    size_t rows = 0;
    size_t iconLookups = 0;  // distinct icon files looked up
};

class frmMain : public Window, private ISubclass, private UninstallHost {
public:
    struct Settings {
        std::vector<std::wstring> uninstallRoots = DefaultUninstallRoots();
        std::wstring optionsRoot;  // empty: the program's own key
        // The commands' collaborators; null: the real ones (dialogs, processes, the shell).
        UninstallPrompter* prompter = nullptr;
        ProcessRunner* runner = nullptr;
        Shell* shell = nullptr;
    };
    frmMain();
    explicit frmMain(Settings settings);
    ~frmMain() override;

    // Creates and shows the window and runs the load steps. False when the window could not be made.
    bool Load(int showCommand);

    // Commands.
    void pRefresh();
    void pUninstall();
    void pInstall();
    void pRemoveItem(const std::wstring& sName, const std::wstring& sKey, bool bPrompt);
    void pPrint();
    void pProperties();
    void pAbout();

    // Reloads the row's entry and shows it in the Details bar and the popup menu (1-based index).
    void ShowDetails(int index);

    [[nodiscard]] const RefreshTimings& LastRefresh() const noexcept { return timings_; }
    // A listing refresh is under way (it lets messages run, so commands can come meanwhile).
    [[nodiscard]] bool RefreshInFlight() const noexcept { return busy_ != 0; }
    // An uninstaller started from this window is running.
    [[nodiscard]] bool UninstallRunning() const noexcept { return running_; }
    [[nodiscard]] int SelectedIndex() const noexcept { return SelectedIndex_; }
    // For tests and diagnostics: the window's parts.
    [[nodiscard]] ListView& List() noexcept { return lvRemove; }
    [[nodiscard]] TaskPane& Tasks() noexcept { return eBar; }
    [[nodiscard]] vbalStatusBar& Status() noexcept { return sBar; }
    [[nodiscard]] HMENU PopupMenu() const noexcept { return mnuMaina; }
    [[nodiscard]] HMENU ViewMenu() const noexcept { return mnuView; }

protected:
    bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;

private:
    LRESULT ISubclass_WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) override;

    void Form_Load();
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
    void FillRows(const std::vector<ListingEntry>& entries, int placeholderIcon);
    void CompleteRows(std::vector<ListingEntry>& entries, IconIndexCache& icons, int placeholderIcon,
                      unsigned generation);
    void ShellOpen(const std::wstring& target, int showCommand);
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
    // Ends a refresh in flight (the rest of its work is dropped); true when there was one.
    bool CancelRefresh();

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
    std::wstring iconFolder_;  // where the entry icon files were written by the last refresh
    int busy_ = 0;             // 1 while rows are read, 2 while icons are looked up
    bool unloaded_ = false;
    bool closing_ = false;
    unsigned refreshGeneration_ = 0;
    RefreshTimings timings_;
    std::unique_ptr<DialogUninstallPrompter> dialogs_;
    SystemProcessRunner systemRunner_;
    SystemShell systemShell_;
    bool running_ = false;           // an uninstaller runs: no command starts
    bool refreshCancelled_ = false;  // the run ended a refresh, which runs again afterwards
};

}  // namespace ardmoor
