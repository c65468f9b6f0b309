#include "install/install_wizard.h"

#include "catalogue/file_helpers.h"
#include "install/setup_files.h"
#include "platform/strings.h"

namespace ardmoor {

namespace {
// How often the search lets the window's messages run, and redraws its status line.
constexpr unsigned kYieldIntervalMs = 30;
constexpr unsigned long long kStatusIntervalMs = 60;

const wchar_t* const kMissingFileText =
    L"You have not selected a program for installation \r\n"
    L"or the file you have selected does not exists\r\n"
    L"\r\n"
    L"Please try again.";
const wchar_t* const kDoneText = L"Done looking for files... click Next to continue...";

// Sets a flag for the life of a scope.
class Flag {
public:
    explicit Flag(bool& flag) noexcept : flag_(flag) { flag_ = true; }
    ~Flag() { flag_ = false; }
    Flag(const Flag&) = delete;
    Flag& operator=(const Flag&) = delete;

private:
    bool& flag_;
};
}  // namespace

InstallWizard::InstallWizard(InstallWizardView& view, InstallPrompter& prompter, ProcessRunner& runner,
                             InstallWizardSettings settings)
    : view_(view), prompter_(prompter), runner_(runner), settings_(std::move(settings)), cFind(settings_.drives) {
    cFind.DriveFound = [this](const std::wstring& d, int32_t t) { cFind_DriveFound(d, t); };
    cFind.FolderFound = [this](const std::wstring& f) { cFind_FolderFound(f); };
    cFind.FileFound = [this](const std::wstring& n, const std::wstring& p, const std::wstring& f, uint64_t s,
                             const FILETIME& m) { cFind_FileFound(n, p, f, s, m); };
    cFind.LetMessagesRun = [this] { view_.LetMessagesRun(); };
    cFind.SetYieldIntervalMs(kYieldIntervalMs);
}

void InstallWizard::Load() {
    page_ = kPageWelcome;
    GetFormOptions();
    view_.ShowPage(page_);
    view_.Update();
}

void InstallWizard::GetFormOptions() {
    const Options& o = modOptions::Current();
    searchFixed_ = o.SearchFixed;
    searchCD_ = o.SearchCD;
    searchFloppy_ = o.SearchFloppy;
    includeZip_ = o.IncludeZip;
}

void InstallWizard::SaveFormOptions() {
    Options& o = modOptions::Current();
    o.SearchFixed = searchFixed_;
    o.SearchCD = searchCD_;
    o.SearchFloppy = searchFloppy_;
    o.IncludeZip = includeZip_;
}

// Back enabled off the first page; "&Finish" on the last two; Next off when Finish has no file.
void InstallWizard::ApplyPageState() {
    backEnabled_ = page_ != kPageWelcome;
    nextCaption_ = page_ < kPageCount - 2 ? kNextCaption : kFinishCaption;
    nextEnabled_ = !(nextCaption_ == kFinishCaption && chosenFile_.empty());
}

void InstallWizard::Next() {
    // The last page has started the chosen file already; it is never started twice.
    if (searching_ || finishing_ || closing_ || page_ >= kPageCount - 1) return;
    const int page = ++page_;
    view_.ShowPage(page_);
    view_.LetMessagesRun();
    // A second click served meanwhile has turned the page on and done that page's work.
    if (closing_ || page_ != page) return;
    ApplyPageState();
    view_.Update();
    if (page_ == kPageSearch) {
        SaveFormOptions();
        modOptions::SaveOptions(settings_.optionsRoot);
        pStartFind();
        if (closing_) return;
        ApplyPageState();
        view_.Update();
    }
    if (page_ == kPageCount - 1 && nextCaption_ == kFinishCaption) pFinish();
}

void InstallWizard::Back() {
    if (searching_ || finishing_ || closing_ || page_ == kPageWelcome) return;
    --page_;
    view_.ShowPage(page_);
    ApplyPageState();
    view_.Update();
}

void InstallWizard::Stop() { cFind.Cease(); }

void InstallWizard::Refresh() {
    if (page_ == kPageSearch) pStartFind();
    if (!closing_) view_.Update();
}

void InstallWizard::Browse() {
    if (finishing_) return;
    if (std::optional<std::wstring> path = prompter_.BrowseForSetupFile()) SetChosenFile(*path);
}

void InstallWizard::ChooseItem(const std::wstring& folder, const std::wstring& name, bool open) {
    SetChosenFile(folder + name);
    if (open) Next();
}

void InstallWizard::SetChosenFile(std::wstring text) {
    chosenFile_ = std::move(text);
    if (page_ >= kPageChoose && !finishing_) nextEnabled_ = !chosenFile_.empty();
    view_.Update();
}

void InstallWizard::QueryClose() {
    if (closing_) return;
    closing_ = true;
    cFind.Cease();
}

// ---- search ----

void InstallWizard::pStartFind() {
    if (searching_) return;  // the search buttons are off while one runs
    Flag searching(searching_);
    stopEnabled_ = true;
    refreshEnabled_ = false;
    nextEnabled_ = false;
    cFind.Cease();
    cFind.Reset();
    ClearItems();
    backEnabled_ = false;
    view_.Update();
    {
        NoDiscPrompts quiet;  // an empty floppy or CD drive is passed over, not asked for
        cFind.EnumerateDrives();
    }
    backEnabled_ = true;
    if (!closing_) {
        stopEnabled_ = false;
        refreshEnabled_ = true;
        nextEnabled_ = true;
        searchStatus_ = kDoneText;
        view_.SearchStatusChanged(true);
        foundCountText_ = std::to_wstring(items_.size()) + L" files found...";
        view_.Update();
    }
}

void InstallWizard::ClearItems() {
    items_.clear();
    keys_.clear();
    view_.ItemsCleared();
}

void InstallWizard::AddItem(FoundItem item) {
    if (!keys_.insert(item.key).second) return;  // already listed
    items_.push_back(std::move(item));
    view_.ItemAdded(items_.back());
}

void InstallWizard::cFind_DriveFound(const std::wstring& szDrive, int32_t dwType) {
    searchStatus_ = szDrive;
    view_.SearchStatusChanged(true);
    view_.ShowDriveIcon(szDrive);
    view_.LetMessagesRun();
    // The check boxes as they are now, not the stored options.
    const bool wanted = (dwType == DRIVE_FIXED && searchFixed_ == 1) || (dwType == DRIVE_CDROM && searchCD_ == 1) ||
                        (dwType == DRIVE_REMOVABLE && searchFloppy_ == 1);
    if (wanted && !closing_) cFind.EnumerateFolders(szDrive, true);
}

void InstallWizard::cFind_FolderFound(const std::wstring& szFolder) {
    // The status line is redrawn a few times a second: drawing every folder would cost more than
    // the search.
    const unsigned long long now = ::GetTickCount64();
    if (now - lastStatusTick_ >= kStatusIntervalMs) {
        lastStatusTick_ = now;
        searchStatus_ = szFolder;
        view_.SearchStatusChanged(false);
    }
    cFind.EnumerateFiles(szFolder, includeZip_ == 1 ? L"*.exe;*.zip" : L"*.exe");
}

void InstallWizard::cFind_FileFound(const std::wstring& szFilename, const std::wstring& szPath,
                                    const std::wstring& szFullPath, uint64_t dwSize, const FILETIME& ftModified) {
    if (ExtensionOf(szFilename) == L"exe") {
        if (IsSetupProgramName(szFilename)) AddItem({szFullPath, szFilename, szPath, szFullPath, dwSize, ftModified});
        return;
    }
    AddArchiveItems(szFilename, szPath, szFullPath, dwSize, ftModified);
}

// ---- finish ----

void InstallWizard::Tell(const std::wstring& text, UINT icon) { prompter_.Message(text, kCaption, MB_OK | icon); }

void InstallWizard::pFinish() {
    if (finishing_) return;
    bool closeWizard = false;
    {
        Flag finishing(finishing_);
        // Neither Finish nor Back while the chosen file is being started.
        nextEnabled_ = backEnabled_ = false;
        finishPath_ = chosenFile_;
        view_.Update();
        if (!FileExists(chosenFile_)) {
            Tell(kMissingFileText, MB_ICONEXCLAMATION);
        } else {
            const std::wstring extension = ExtensionOf(chosenFile_);
            if (extension == L"exe") {
                closeWizard = FinishProgram();
            } else if (extension == L"zip") {
                closeWizard = FinishArchive();
            } else {
                Tell(L"The file you have selected is not a setup program or a zip archive:\r\n\r\n" + chosenFile_ +
                         L"\r\n\r\nPlease try again.",
                     MB_ICONEXCLAMATION);
            }
        }
    }
    if (closing_) return;  // closed meanwhile: nothing more to show
    if (!closeWizard) {
        // Back to the choice, the chosen path unchanged.
        Back();
        return;
    }
    view_.LetMessagesRun();
    extractionVisible_ = false;
    view_.ExtractionChanged();
    view_.CloseWindow();
}

bool InstallWizard::FinishProgram() {
    extractionVisible_ = false;
    view_.ExtractionChanged();
    // Quoted: "C:\Program Files\Setup.exe" must not start C:\Program.exe.
    const Status started = runner_.Start(L"\"" + chosenFile_ + L"\"", SW_SHOWNORMAL);
    if (!started) {
        Tell(L"The program could not be started:\r\n\r\n" + chosenFile_ + L"\r\n\r\n" +
                 SystemErrorText(static_cast<unsigned long>(started.error())),
             MB_ICONEXCLAMATION);
        return false;
    }
    return true;
}

}  // namespace ardmoor
