#pragma once
// The invalid-entry dialog: an entry without uninstall information may be removed from the
// listing (Yes), left (No, or the window closed) or looked at again (Retry).
#include <string>

#include "controls/message_dialog/message_dialog.h"

namespace ardmoor {

class frmUninstallMsg : public MessageDialog {
public:
    static constexpr int kYes = 0;
    static constexpr int kNo = 1;
    static constexpr int kRetry = 4;

    frmUninstallMsg();

    std::wstring MessageText;  // set before showing
    std::wstring EntryName;    // set before showing
    int Choice = kNo;          // read after it closed

protected:
    void Form_Load() override;
    void OnButton(int id) override;
};

}  // namespace ardmoor
