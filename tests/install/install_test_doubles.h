#pragma once
// What the install wizard's in-process tests put around it: a view that records what the window
// would show, scripted answers to its questions, and a process runner that records what would run
// (the real runner is exercised end to end).
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "install/install_wizard.h"

namespace ardmoor::test {

class RecordingView : public InstallWizardView {
public:
    InstallWizard* wizard = nullptr;
    std::vector<int> pages;
    std::vector<std::wstring> drivesShown;
    std::vector<std::wstring> statuses;
    int itemsAdded = 0;
    int updates = 0;
    int pumps = 0;
    bool closed = false;
    bool inUse = true;
    // Runs where the window would let its messages run: a click served during long work.
    std::function<void()> onPump;
    // What the extraction showed: status lines and (value, max) pairs.
    std::vector<std::wstring> extractStatuses;
    std::vector<std::pair<int32_t, int32_t>> progress;

    void ShowPage(int page) override { pages.push_back(page); }
    void Update() override { ++updates; }
    void SearchStatusChanged(bool) override { statuses.push_back(wizard->SearchStatus()); }
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
        ++pumps;
        if (onPump) onPump();
    }
    void SetInUse(bool use) override { inUse = use; }
    void CloseWindow() override {
        closed = true;
        wizard->QueryClose();
    }
};

class ScriptedPrompter : public InstallPrompter {
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

}  // namespace ardmoor::test
