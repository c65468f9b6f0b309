// Ardmoor: a replacement for the Add or Remove Programs panel.
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include "app/app_info.h"
#include "app/command_line.h"
#include "app/frmMain.h"
#include "app/single_instance.h"
#include "platform/message_pump.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int showCommand) {
    using namespace ardmoor;
    // Scripts: the command line makes no window and never meets the single-instance guard, so a
    // running window does not stop it.
    if (const CommandLine command = ParseCommandLine(ProcessArguments()); command.action != CommandLine::Action::Window)
        return RunCommandLine(command);

    SingleInstanceGuard guard;
    if (!guard.IsFirstInstance()) {
        ::MessageBoxW(nullptr, kAlreadyRunningText, kAppTitle, MB_OK);
        return 0;
    }

    // Reading the listing overlaps with building the window. The reading thread starts with the
    // registry alone; the shell's libraries wait until the window's have loaded here (under Wine,
    // the display driver loading on this thread while that one loads the shell's libraries
    // deadlocks on the loader lock, and the window never comes).
    std::promise<void> librariesLoaded;
    auto listing = StartListing(DefaultUninstallRoots(), {}, librariesLoaded.get_future().share());
    for (const wchar_t* dll : {L"user32.dll", L"gdi32.dll", L"ole32.dll", L"comctl32.dll", L"shlwapi.dll", L"shell32.dll"})
        (void)::LoadLibraryW(dll);
    if (HDC screen = ::GetDC(nullptr)) ::ReleaseDC(nullptr, screen);

    librariesLoaded.set_value();

    // Apartment-threaded COM for the shell's functions; the program still runs without it.
    const HRESULT com = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_WIN95_CLASSES | ICC_BAR_CLASSES | ICC_LISTVIEW_CLASSES};
    ::InitCommonControlsEx(&icc);

    int exitCode = 1;
    {
        frmMain main;
        main.AdoptListing(std::move(listing));
        if (main.Load(showCommand)) exitCode = RunMessageLoop();
    }
    if (SUCCEEDED(com)) ::CoUninitialize();
    return exitCode;
}
