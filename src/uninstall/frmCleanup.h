#pragma once
// Offers to send what is left of an uninstalled program's folder to the Recycle Bin.
#include <string>

#include "controls/message_dialog/message_dialog.h"

namespace ardmoor {

class frmCleanup : public MessageDialog {
public:
    frmCleanup();

    // The dialog's text for a folder.
    static std::wstring TextFor(const std::wstring& folder);

    std::wstring Folder;   // set before showing, without a trailing backslash
    bool Declined = true;  // read after it closed: false only for Yes

protected:
    void Form_Load() override;
    void OnButton(int id) override;
};

}  // namespace ardmoor
