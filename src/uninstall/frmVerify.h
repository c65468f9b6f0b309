#pragma once
// Shown when an entry is still listed after its uninstall ran: offers to remove it by hand.
#include <string>

#include "controls/message_dialog/message_dialog.h"

namespace ardmoor {

class frmVerify : public MessageDialog {
public:
    static const wchar_t* const kText;

    frmVerify();

    std::wstring EntryName;  // set before showing
    bool Declined = true;    // read after it closed: false only for Yes

protected:
    void Form_Load() override;
    void OnButton(int id) override;
};

}  // namespace ardmoor
