#include "app/frmMain.h"

#include "app/app_info.h"
#include "resource_ids.h"

namespace ardmoor {

bool frmMain::Load(int showCommand) {
    HICON icon = ::LoadIconW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_ARDMOOR));
    if (!Create(L"ArdmoorMainWindow", kAppTitle, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, WS_EX_CONTROLPARENT,
                CW_USEDEFAULT, CW_USEDEFAULT, 800, 560, nullptr, nullptr, CS_HREDRAW | CS_VREDRAW, icon,
                reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1)))
        return false;
    ::ShowWindow(hwnd(), showCommand);
    ::UpdateWindow(hwnd());
    return true;
}

bool frmMain::OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    switch (msg) {
    case WM_CLOSE:
        // Closing is never refused.
        Form_QueryUnload();
        ::DestroyWindow(hwnd());
        return true;
    case WM_ENDSESSION:
        if (wp) Form_Unload();
        return false;
    case WM_DESTROY:
        Form_Unload();
        ::PostQuitMessage(0);
        return true;
    default:
        return false;
    }
}

void frmMain::Form_QueryUnload() {}

void frmMain::Form_Unload() {}

void frmMain::OnDestroyed() {}

}  // namespace ardmoor
