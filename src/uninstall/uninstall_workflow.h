#pragma once
// The uninstall of one entry, from the user's click to the clean-up of what it left: check the
// entry, start its uninstall command, wait for it, see whether the entry is gone, and offer to
// remove the entry by hand and to send the left-over folder to the Recycle Bin. Also the plain
// removal of an entry from the listing.
//
// A plain class: the window (UninstallHost), the questions (UninstallPrompter), the programs it
// starts (ProcessRunner) and the shell come in as interfaces; the registry is the real one
// (entry_removal.h).
#include <optional>
#include <string>

#include "platform/process_runner.h"
#include "platform/shell.h"
#include "uninstall/uninstall_prompter.h"

namespace ardmoor {

// The list the workflow acts on: the main window's rows, and the window itself.
class UninstallHost {
public:
    struct Row {
        std::wstring name;     // the row's text
        std::wstring key;      // the entry's full registry path
        std::wstring command;  // its "Uninstall Path" column
    };
    // Why a row goes: the status bar words the count a little differently for each.
    enum class Drop { Removed, Uninstalled };

    virtual ~UninstallHost() = default;
    // The row at SelectedIndex; nothing when there is none.
    virtual std::optional<Row> CurrentRow() = 0;
    // Puts a command read afresh from the entry into its row.
    virtual void SetRowCommand(const std::wstring& key, const std::wstring& command) = 0;
    // Takes the entry's row out of the list, makes the row above it current (the new first row
    // when it was the first), shows the count and the current row's details.
    virtual void DropRow(const std::wstring& key, Drop why) = 0;
    // Around the run of an uninstaller: the window takes no input and starts no command
    // meanwhile, and no listing refresh goes on; EndRun puts it back in use.
    virtual void BeginRun() = 0;
    virtual void EndRun() = 0;
    // False once the window has gone (the program is closing).
    [[nodiscard]] virtual bool Alive() const = 0;
    // The title of the workflow's message boxes: the window's caption.
    [[nodiscard]] virtual std::wstring Title() const = 0;
};

class UninstallWorkflow {
public:
    static const wchar_t* const kInvalidEntryText;

    UninstallWorkflow(UninstallHost& host, UninstallPrompter& prompter, ProcessRunner& runner, Shell& shell) noexcept
        : host_(host), prompter_(prompter), runner_(runner), shell_(shell) {}

    // Uninstalls the entry of the current row.
    void pUninstall();
    // Deletes the entry's key and drops its row; with bPrompt the user is asked first. A key that
    // cannot be deleted keeps its row and is reported in a message box. True when removed.
    bool pRemoveItem(const std::wstring& sName, const std::wstring& sKey, bool bPrompt);
    // Offers what is left at an uninstalled entry's folder for the Recycle Bin. Nothing is shown
    // for an empty or missing folder, nor for one whose loss would harm (protected_folders.h).
    void pCleanLocation(const std::wstring& szLocation);

    static std::wstring RemoveQuestionText(const std::wstring& name);
    static std::wstring RemovalFailedText(const std::wstring& name, long error);

private:
    UninstallHost& host_;
    UninstallPrompter& prompter_;
    ProcessRunner& runner_;
    Shell& shell_;
};

}  // namespace ardmoor
