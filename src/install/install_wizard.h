#pragma once
// The install wizard without its window: five pages, the search for setup programs (also inside
// zip archives) on the chosen kinds of drives, the choice, and Finish, which starts the chosen
// program or extracts the chosen archive and runs its setup program. The window (frmInstall)
// shows this state and turns its messages into these calls.
#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <unordered_set>
#include <vector>

#include "app/modOptions.h"
#include "install/clsFind.h"
#include "platform/process_runner.h"
#include "platform/prompter.h"

namespace ardmoor {

// One file the search found: a setup program, or a zip archive holding one.
struct FoundItem {
    std::wstring key;       // the full path; for an archive its full path, "|" and the setup program's bare name
    std::wstring name;      // the file's name (the archive's, for an archive)
    std::wstring folder;    // ends with a backslash
    std::wstring fullPath;  // folder + name
    uint64_t size = 0;
    FILETIME modified{};
};

// The wizard's questions to the user: message boxes and the open-file dialog.
class InstallPrompter : public Prompter {
public:
    // Lets the user pick a setup program or zip archive; nothing when cancelled.
    virtual std::optional<std::wstring> BrowseForSetupFile() = 0;
};

// What the wizard asks of its window.
class InstallWizardView {
public:
    virtual ~InstallWizardView() = default;
    // Brings a page to the front.
    virtual void ShowPage(int page) = 0;
    // Shows the buttons, captions, labels, check boxes and chosen file as the wizard's state says.
    virtual void Update() = 0;
    // The search's status line changed: drawn at once (`now`), or when the window next has time.
    virtual void SearchStatusChanged(bool now) = 0;
    // Shows the icon of the drive being searched.
    virtual void ShowDriveIcon(const std::wstring& root) = 0;
    virtual void ItemsCleared() = 0;
    virtual void ItemAdded(const FoundItem& item) = 0;
    // The extraction status line, the progress bar or their visibility changed.
    virtual void ExtractionChanged() = 0;
    // Lets pending window messages run once.
    virtual void LetMessagesRun() = 0;
    // Takes the window out of use (no input) while a setup program runs, and back.
    virtual void SetInUse(bool inUse) = 0;
    virtual void CloseWindow() = 0;
};

struct InstallWizardSettings {
    std::wstring optionsRoot = modOptions::kOptionsRoot;
    // The drives the search goes through; the system's by default.
    clsFind::DriveSource drives = LogicalDrives;
    // Where archives are extracted, each into a new folder of its own; empty: "<temp>\Ardmoor\".
    std::wstring extractionRoot;
};

class InstallWizard {
public:
    static constexpr int kPageWelcome = 0, kPageOptions = 1, kPageSearch = 2, kPageChoose = 3, kPageFinish = 4;
    static constexpr int kPageCount = 5;
    static constexpr const wchar_t* kCaption = L"Install Software Wizard";
    static constexpr const wchar_t* kNextCaption = L"&Next >";
    static constexpr const wchar_t* kFinishCaption = L"&Finish";

    InstallWizard(InstallWizardView& view, InstallPrompter& prompter, ProcessRunner& runner,
                  InstallWizardSettings settings = {});

    // The window opened: the stored options in the check boxes, page 0 in front.
    void Load();

    // The window's commands.
    void Next();
    void Back();
    void Stop();
    void Refresh();
    void Browse();
    // An item was clicked (or chosen with the arrow keys); `open` for a double-click, which also
    // goes on to Finish.
    void ChooseItem(const std::wstring& folder, const std::wstring& name, bool open = false);
    // The text box's text changed (typed, or set by a choice).
    void SetChosenFile(std::wstring text);
    // The check boxes: 0 unchecked, 1 checked.
    void SetSearchFixed(int32_t v) { searchFixed_ = v; }
    void SetSearchCD(int32_t v) { searchCD_ = v; }
    void SetSearchFloppy(int32_t v) { searchFloppy_ = v; }
    void SetIncludeZip(int32_t v) { includeZip_ = v; }
    // The window is closing, by any means: a running search or extraction ends.
    void QueryClose();

    // State the window shows.
    [[nodiscard]] int Page() const noexcept { return page_; }
    [[nodiscard]] const wchar_t* NextCaption() const noexcept { return nextCaption_; }
    [[nodiscard]] bool NextEnabled() const noexcept { return nextEnabled_; }
    [[nodiscard]] bool BackEnabled() const noexcept { return backEnabled_; }
    [[nodiscard]] bool StopEnabled() const noexcept { return stopEnabled_; }
    [[nodiscard]] bool RefreshEnabled() const noexcept { return refreshEnabled_; }
    [[nodiscard]] int32_t SearchFixed() const noexcept { return searchFixed_; }
    [[nodiscard]] int32_t SearchCD() const noexcept { return searchCD_; }
    [[nodiscard]] int32_t SearchFloppy() const noexcept { return searchFloppy_; }
    [[nodiscard]] int32_t IncludeZip() const noexcept { return includeZip_; }
    [[nodiscard]] const std::wstring& ChosenFile() const noexcept { return chosenFile_; }
    [[nodiscard]] const std::wstring& SearchStatus() const noexcept { return searchStatus_; }
    [[nodiscard]] const std::wstring& FoundCountText() const noexcept { return foundCountText_; }
    [[nodiscard]] const std::wstring& FinishPath() const noexcept { return finishPath_; }
    [[nodiscard]] const std::wstring& ExtractStatus() const noexcept { return extractStatus_; }
    [[nodiscard]] bool ExtractionVisible() const noexcept { return extractionVisible_; }
    [[nodiscard]] int32_t ProgressMax() const noexcept { return progressMax_; }
    [[nodiscard]] int32_t ProgressValue() const noexcept { return progressValue_; }
    [[nodiscard]] const std::vector<FoundItem>& Items() const noexcept { return items_; }
    [[nodiscard]] bool Searching() const noexcept { return searching_; }
    [[nodiscard]] bool Closing() const noexcept { return closing_; }
    // The folder the last archive was extracted into (empty when none).
    [[nodiscard]] const std::wstring& ExtractionFolder() const noexcept { return extractionFolder_; }

    // For the benchmark: the finder, to time its parts.
    [[nodiscard]] clsFind& Finder() noexcept { return cFind; }

private:
    void GetFormOptions();
    void SaveFormOptions();
    void ApplyPageState();
    void pStartFind();
    void pFinish();
    bool FinishProgram();
    bool FinishArchive();
    void ClearItems();
    void AddItem(FoundItem item);
    void cFind_DriveFound(const std::wstring& szDrive, int32_t dwType);
    void cFind_FolderFound(const std::wstring& szFolder);
    void cFind_FileFound(const std::wstring& szFilename, const std::wstring& szPath, const std::wstring& szFullPath,
                         uint64_t dwSize, const FILETIME& ftModified);
    void AddArchiveItems(const std::wstring& szFilename, const std::wstring& szPath, const std::wstring& szFullPath,
                         uint64_t dwSize, const FILETIME& ftModified);
    bool cZip_OnExtract(const std::wstring& FileName, uint64_t soFar, uint64_t ToDo);
    void Tell(const std::wstring& text, UINT icon);

    InstallWizardView& view_;
    InstallPrompter& prompter_;
    ProcessRunner& runner_;
    InstallWizardSettings settings_;
    clsFind cFind;

    int page_ = kPageWelcome;
    const wchar_t* nextCaption_ = kNextCaption;
    bool nextEnabled_ = true;
    bool backEnabled_ = false;
    bool stopEnabled_ = false;
    bool refreshEnabled_ = false;
    int32_t searchFixed_ = 0, searchCD_ = 0, searchFloppy_ = 0, includeZip_ = 0;
    std::wstring chosenFile_;
    std::wstring searchStatus_;
    std::wstring foundCountText_;
    std::wstring finishPath_;
    std::wstring extractStatus_;
    bool extractionVisible_ = false;
    int32_t progressMax_ = 100;
    int32_t progressValue_ = 0;
    std::wstring extractionFolder_;

    std::vector<FoundItem> items_;
    std::unordered_set<std::wstring> keys_;
    bool searching_ = false;
    bool finishing_ = false;
    bool closing_ = false;
    unsigned long long lastStatusTick_ = 0;
};

}  // namespace ardmoor
