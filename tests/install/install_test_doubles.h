#pragma once
// What the install wizard's in-process tests put around it: a view that records what the window
// would show, scripted answers to its questions, and a process runner that records what would run
// (the real runner is exercised end to end).
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include <algorithm>

#include "app/modOptions.h"
#include "install/install_wizard.h"
#include "test_support.h"

namespace ardmoor::test {

class RecordingView : public InstallWizardView {
public:
    InstallWizard* wizard = nullptr;
    std::vector<std::wstring> drivesShown;
    int itemsAdded = 0;
    bool closed = false;
    // Runs where the window would let its messages run: a click served during long work.
    std::function<void()> onPump;
    // What the extraction showed: status lines and (value, max) pairs.
    std::vector<std::wstring> extractStatuses;
    std::vector<std::pair<int32_t, int32_t>> progress;

    void ShowPage(int) override {}
    void Update() override {}
    void SearchStatusChanged(bool) override {}
    void ShowDriveIcon(const std::wstring& root) override { drivesShown.push_back(root); }
    void ItemsCleared() override { itemsAdded = 0; }
    void ItemAdded(const FoundItem&) override { ++itemsAdded; }
    void ExtractionChanged() override {
        if (!wizard->ExtractionVisible()) return;
        if (extractStatuses.empty() || extractStatuses.back() != wizard->ExtractStatus())
            extractStatuses.push_back(wizard->ExtractStatus());
        progress.emplace_back(wizard->ProgressValue(), wizard->ProgressMax());
    }
    void LetMessagesRun() override {
        if (onPump) onPump();
    }
    void SetInUse(bool) override {}
    void CloseWindow() override {
        closed = true;
        wizard->QueryClose();
    }
};

class ScriptedInstallPrompter : public InstallPrompter {
public:
    struct Shown {
        std::wstring text, title;
        UINT type;
    };
    std::vector<Shown> messages;
    std::optional<std::wstring> browseAnswer;
    int browses = 0;

    int Message(const std::wstring& text, const std::wstring& title, UINT type) override {
        messages.push_back({text, title, type});
        return IDOK;
    }
    std::optional<std::wstring> BrowseForSetupFile() override {
        ++browses;
        return browseAnswer;
    }
};

class RecordingRunner : public ProcessRunner {
public:
    struct Run {
        std::wstring command;
        int show;
        bool waited;
    };
    std::vector<Run> runs;
    Status answer;
    // Runs while a program is "waited for".
    std::function<void()> whileWaiting;

    Status Start(const std::wstring& commandLine, int showCommand) override {
        runs.push_back({commandLine, showCommand, false});
        return answer;
    }
    Status RunAndWait(const std::wstring& commandLine, int showCommand) override {
        runs.push_back({commandLine, showCommand, true});
        if (whileWaiting) whileWaiting();
        return answer;
    }
};

// The wizard with the doubles above, options in a test-owned key, loaded (page 0).
struct WizardRig {
    RecordingView view;
    ScriptedInstallPrompter prompter;
    RecordingRunner runner;
    TestRegistryKey options;
    InstallWizard wizard;

    explicit WizardRig(clsFind::DriveSource drives, Options start = {0, false, 1, 1, 1, 0},
                       std::wstring extractionRoot = {})
        : wizard(view, prompter, runner, {options.fullPath(), std::move(drives), std::move(extractionRoot)}) {
        view.wizard = &wizard;
        modOptions::Current() = start;
        wizard.Load();
    }
    // Next up to the choice page (through the search).
    void ToChoice() {
        while (wizard.Page() < InstallWizard::kPageChoose) wizard.Next();
    }
    std::vector<std::wstring> Keys() const {
        std::vector<std::wstring> keys;
        for (const FoundItem& item : wizard.Items()) keys.push_back(item.key);
        std::sort(keys.begin(), keys.end());
        return keys;
    }
    DWORD Stored(const wchar_t* name) const {
        DWORD value = 99, size = sizeof(value);
        ::RegGetValueW(options.handle(), L"InstallSettings", name, RRF_RT_REG_DWORD, nullptr, &value, &size);
        return value;
    }
};

}  // namespace ardmoor::test
