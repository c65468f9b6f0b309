#pragma once
// An UninstallPrompter that answers from a script and records what it was asked. An empty script
// answers as the window's close box would (No, or the message box's cancel).
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "uninstall/frmUninstallMsg.h"
#include "uninstall/uninstall_prompter.h"

namespace ardmoor::test {

class ScriptedPrompter : public UninstallPrompter {
public:
    struct Asked {
        std::string kind;  // "message", "invalid", "verify", "cleanup"
        std::wstring text;
        std::wstring title;  // the message box's title; the name or folder for the dialogs
        UINT type = 0;
    };
    std::vector<Asked> asked;
    std::deque<int> messageAnswers;
    std::deque<int> invalidAnswers;
    std::deque<bool> verifyDeclined;
    std::deque<bool> cleanupDeclined;
    // Runs when a question is asked, before it is answered (to change the world meanwhile).
    std::function<void(const Asked&)> onAsk;

    int Message(const std::wstring& text, const std::wstring& title, UINT type) override {
        Record({"message", text, title, type});
        return Next(messageAnswers, (type & MB_TYPEMASK) == MB_YESNO ? IDNO : IDCANCEL);
    }
    int InvalidEntry(const std::wstring& messageText, const std::wstring& entryName) override {
        Record({"invalid", messageText, entryName});
        return Next(invalidAnswers, frmUninstallMsg::kNo);
    }
    bool VerifyDeclined(const std::wstring& entryName) override {
        Record({"verify", L"", entryName});
        return Next(verifyDeclined, true);
    }
    bool CleanupDeclined(const std::wstring& folder) override {
        Record({"cleanup", L"", folder});
        return Next(cleanupDeclined, true);
    }

    // The kinds asked, in order.
    [[nodiscard]] std::vector<std::string> Kinds() const {
        std::vector<std::string> out;
        for (const Asked& a : asked) out.push_back(a.kind);
        return out;
    }

private:
    void Record(Asked a) {
        asked.push_back(a);
        if (onAsk) onAsk(asked.back());
    }
    template <class T>
    static T Next(std::deque<T>& answers, T fallback) {
        if (answers.empty()) return fallback;
        T v = answers.front();
        answers.pop_front();
        return v;
    }
};

}  // namespace ardmoor::test
