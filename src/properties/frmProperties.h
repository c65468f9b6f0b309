#pragma once
// The properties window: every value of one uninstall entry under a header of its main facts
// (icon, name, publisher, version and three links), with commands to add, change and remove
// values. The window shows what PropertiesEditor reads and decides; each change is in the
// registry as soon as its command ends, whichever button closes the window.
#include <array>
#include <memory>
#include <string>

#include "controls/cVBALSysImageList.h"
#include "controls/list_view/list_view.h"
#include "platform/modal_window.h"
#include "platform/unique_handle.h"
#include "properties/focus_keeper.h"
#include "properties/picture_area.h"
#include "properties/properties_editor.h"

namespace ardmoor {

class Shell;

// NOLINTNEXTLINE(readability-identifier-naming): the window keeps its designed name.
class frmProperties : public ModalWindow {
public:
    // shell opens the header's links; iconFolder is where the entry icon files are (empty: the
    // program's folder); prompter asks the questions (null: message boxes and frmEdit).
    explicit frmProperties(Shell& shell, std::wstring iconFolder = {}, PropertiesPrompter* prompter = nullptr);
    ~frmProperties() override;

    std::wstring EntryKey;  // written before showing: the entry's full registry path
    bool Cancelled = true;  // read after closing: false only when the window was left with OK

    // For tests and diagnostics.
    [[nodiscard]] ListView& Props() noexcept { return lvProps; }
    [[nodiscard]] HWND AreaWindow(int index) const noexcept;
    [[nodiscard]] std::wstring AreaToolTip(int index) const;

protected:
    bool OnCreate() override;
    [[nodiscard]] int DefaultButtonId() const override;
    void OnCommand(int id, int code, HWND control) override;
    bool OnWindowMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;

private:
    bool CreateControls();
    void Form_Load();
    void pGet();
    void pAdd();
    void pEdit();
    void pRemove();
    void ShowHeader();
    void ShowIcon();
    void SyncSelectedIndex();
    void SelectRow(int index);
    void OnListKeyUp(int keyCode);
    void PopupMenu(POINT screen);
    void Paint(HDC dc);
    [[nodiscard]] bool IsGroupingSupported() const { return lvProps.GroupsSupported(); }
    [[nodiscard]] int IconIndex(cVBALSysImageList& list, const std::wstring& file) const;

    Shell& shell_;
    std::wstring iconFolder_;
    PropertiesPrompter* prompter_;
    std::unique_ptr<PropertiesPrompter> ownPrompter_;
    std::unique_ptr<PropertiesEditor> editor_;

    PictureArea Picture1;
    HWND Image1 = nullptr;
    std::array<PictureArea, kHeaderAreaCount> Picture2;
    std::array<HWND, kHeaderAreaCount> Label1{};
    ListView lvProps;
    bool shape1Visible_ = true;  // Shape1, the border drawn round the list
    HWND tooltip_ = nullptr;     // owned by the window
    UniqueMenu mnuA;
    UniqueFont nameFont_;
    UniqueIcon icon_;
    cVBALSysImageList largeIcons_;
    cVBALSysImageList smallIcons_;
    int smallIcon_ = -1;
    std::wstring shownIconFile_;
    bool iconShown_ = false;
    int SelectedIndex = 1;
    bool enterInList_ = false;  // Enter went down in the list (its release edits the row)
    FocusKeeper focus_;
};

}  // namespace ardmoor
