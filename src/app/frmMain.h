#pragma once
// The main window: the listing of installed programs with its task pane and status bar.
#include "platform/window.h"

namespace ardmoor {

class frmMain : public Window {
public:
    // Creates and shows the window and runs the load steps. False when the window could not be made.
    bool Load(int showCommand);

protected:
    bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;
    void OnDestroyed() override;

private:
    void Form_QueryUnload();
    void Form_Unload();
};

}  // namespace ardmoor
