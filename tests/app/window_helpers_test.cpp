// Painting a window piece by piece: everything invalid gets painted, and a message another thread
// sends meanwhile is answered between two children's paints, not after the last.
#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "app/window_helpers.h"

using namespace ardmoor;

namespace {
std::vector<std::wstring> events;
HWND parentWindow = nullptr;
std::thread sender;
std::atomic<bool> sent{false};

LRESULT CALLBACK RecordingProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_APP) {
        events.push_back(L"answered");
        return 1;
    }
    if (msg != WM_PAINT) return ::DefWindowProcW(hwnd, msg, wp, lp);
    PAINTSTRUCT ps;
    ::BeginPaint(hwnd, &ps);
    ::EndPaint(hwnd, &ps);
    const int id = ::GetDlgCtrlID(hwnd);
    events.push_back(hwnd == parentWindow ? L"parent" : L"child" + std::to_wstring(id));
    if (hwnd != parentWindow && !sender.joinable()) {
        // Another thread sends while the first child paints; the paint ends only once the message
        // waits in this thread's queue.
        sender = std::thread([] {
            ::SendMessageW(parentWindow, WM_APP, 0, 0);
            sent = true;
        });
        for (int i = 0; i < 5000 && !HIWORD(::GetQueueStatus(QS_SENDMESSAGE)); ++i) ::Sleep(1);
    }
    return 0;
}
}  // namespace

TEST(WindowHelpers, PaintPieceByPiecePaintsEverythingAndAnswersOtherThreadsBetweenChildren) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = RecordingProc;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.lpszClassName = L"ArdmoorTestPaintPieces";
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    ASSERT_NE(::RegisterClassW(&wc), 0);
    parentWindow = ::CreateWindowExW(0, wc.lpszClassName, L"pieces", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 0, 0,
                                     300, 200, nullptr, nullptr, wc.hInstance, nullptr);
    ASSERT_NE(parentWindow, nullptr);
    HWND children[2];
    for (int i = 0; i < 2; ++i) {
        children[i] = ::CreateWindowExW(0, wc.lpszClassName, L"", WS_CHILD | WS_VISIBLE, i * 100, 0, 90, 90,
                                        parentWindow, reinterpret_cast<HMENU>(static_cast<INT_PTR>(i + 1)),
                                        wc.hInstance, nullptr);
        ASSERT_NE(children[i], nullptr);
    }
    ::ShowWindow(parentWindow, SW_SHOWNOACTIVATE);
    ::RedrawWindow(parentWindow, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
    events.clear();

    PaintPieceByPiece(parentWindow);
    events.push_back(L"painted");
    for (MSG msg; !sent;) ::PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE);
    sender.join();

    // The children paint in their z-order, whichever comes first.
    ASSERT_EQ(events.size(), 5u);
    EXPECT_EQ(events[0], L"parent");
    EXPECT_EQ(events[2], L"answered");
    EXPECT_NE(events[1], events[3]);
    EXPECT_EQ(events[1].substr(0, 5) + events[3].substr(0, 5), L"childchild");
    for (HWND w : {parentWindow, children[0], children[1]}) EXPECT_FALSE(::GetUpdateRect(w, nullptr, FALSE));
    ::DestroyWindow(parentWindow);
}
