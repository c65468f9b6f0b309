// Message subclassing on real windows: routing, the response setting, several objects on one
// window, objects and windows that go away, and the main window's minimum size under a real
// mouse drag.
#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <memory>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "desktop_test_util.h"
#include "platform/message_pump.h"
#include "platform/subclass.h"
#include "platform/window.h"

using namespace ardmoor;
using namespace ardmoor::listview_test;

namespace {

constexpr UINT kPing = WM_APP + 1;
constexpr UINT kPong = WM_APP + 2;

std::vector<std::string> g_calls;

class TestWindow final : public Window {
public:
    bool Open(DWORD style = WS_OVERLAPPEDWINDOW, int w = 300, int h = 200) {
        return Create(L"ArdmoorSubclassTestWindow", L"Subclass test", style, 0, 120, 120, w, h, nullptr, nullptr);
    }

protected:
    bool OnMessage(UINT msg, WPARAM, LPARAM, LRESULT& result) override {
        if (msg != kPing && msg != kPong) return false;
        g_calls.push_back("window");
        result = 100;
        return true;
    }
};

class Recorder : public ISubclass {
public:
    Recorder(std::string name, LRESULT answer, EMsgResponse response = EMsgResponse::emrConsume)
        : name_(std::move(name)), answer_(answer), response_(response) {}
    ~Recorder() override = default;

    LRESULT ISubclass_WindowProc(HWND hwnd, UINT msg, WPARAM, LPARAM) override {
        g_calls.push_back(name_);
        if (detachSelf) (void)DetachMessage(this, hwnd, msg);
        if (fail) throw std::runtime_error("broken handler");
        return answer_;
    }
    EMsgResponse ISubclass_MsgResponse() override { return response_; }

    bool detachSelf = false;
    bool fail = false;

private:
    std::string name_;
    LRESULT answer_;
    EMsgResponse response_;
};

// The main window's use: a window never smaller than 480 x 360 pixels.
class MinimumSize : public ISubclass {
public:
    ~MinimumSize() override = default;
    LRESULT ISubclass_WindowProc(HWND, UINT, WPARAM, LPARAM lParam) override {
        MINMAXINFO info;
        std::memcpy(&info, reinterpret_cast<const void*>(lParam), sizeof(info));
        info.ptMinTrackSize = POINT{480, 360};
        std::memcpy(reinterpret_cast<void*>(lParam), &info, sizeof(info));
        return 0;
    }
};

LRESULT Send(HWND hwnd, UINT msg) {
    g_calls.clear();
    return ::SendMessageW(hwnd, msg, 0, 0);
}

using Calls = std::vector<std::string>;

}  // namespace

TEST(Subclass, AttachDetachAndTheResponseSetting) {
    TestWindow w;
    ASSERT_TRUE(w.Open());
    Recorder consume("consume", 7);
    EXPECT_TRUE(AttachMessage(&consume, w.hwnd(), kPing));
    EXPECT_TRUE(AttachMessage(&consume, w.hwnd(), kPing));  // twice: still one route
    EXPECT_TRUE(IsAttached(&consume, w.hwnd(), kPing));
    EXPECT_EQ(Send(w.hwnd(), kPing), 7);
    EXPECT_EQ(g_calls, Calls{"consume"});
    EXPECT_EQ(Send(w.hwnd(), kPong), 100);  // not attached: only the window
    EXPECT_EQ(g_calls, Calls{"window"});
    EXPECT_TRUE(DetachMessage(&consume, w.hwnd(), kPing));
    EXPECT_FALSE(DetachMessage(&consume, w.hwnd(), kPing));
    EXPECT_FALSE(IsAttached(&consume, w.hwnd(), kPing));
    EXPECT_EQ(Send(w.hwnd(), kPing), 100);
    EXPECT_EQ(g_calls, Calls{"window"});

    Recorder post("post", 8, EMsgResponse::emrPostProcess);
    ASSERT_TRUE(AttachMessage(&post, w.hwnd(), kPing));
    EXPECT_EQ(Send(w.hwnd(), kPing), 8);
    EXPECT_EQ(g_calls, (Calls{"window", "post"}));
    DetachAll(&post);

    Recorder pre("pre", 9, EMsgResponse::emrPreProcess);
    ASSERT_TRUE(AttachMessage(&pre, w.hwnd(), kPing));
    EXPECT_EQ(Send(w.hwnd(), kPing), 100);
    EXPECT_EQ(g_calls, (Calls{"pre", "window"}));
    DetachAll(&pre);

    // A handler that throws leaves the message to the window.
    Recorder broken("broken", 1);
    broken.fail = true;
    ASSERT_TRUE(AttachMessage(&broken, w.hwnd(), kPing));
    EXPECT_EQ(Send(w.hwnd(), kPing), 100);
    EXPECT_EQ(g_calls, (Calls{"broken", "window"}));

    EXPECT_FALSE(AttachMessage(nullptr, w.hwnd(), kPing));
    EXPECT_FALSE(AttachMessage(&broken, nullptr, kPing));
}

TEST(Subclass, SeveralObjectsOnOneWindowAndObjectsThatGo) {
    TestWindow w;
    ASSERT_TRUE(w.Open());
    Recorder a("a", 1);
    Recorder b("b", 2, EMsgResponse::emrPreProcess);
    ASSERT_TRUE(AttachMessage(&a, w.hwnd(), kPing));
    ASSERT_TRUE(AttachMessage(&b, w.hwnd(), kPong));
    EXPECT_EQ(Send(w.hwnd(), kPing), 1);
    EXPECT_EQ(g_calls, Calls{"a"});
    EXPECT_EQ(Send(w.hwnd(), kPong), 100);
    EXPECT_EQ(g_calls, (Calls{"b", "window"}));
    // On the same message the later object sees it first and passes it on.
    ASSERT_TRUE(AttachMessage(&b, w.hwnd(), kPing));
    EXPECT_EQ(Send(w.hwnd(), kPing), 1);
    EXPECT_EQ(g_calls, (Calls{"b", "a"}));

    // An object that detaches itself mid-call, and one that simply ends.
    a.detachSelf = true;
    EXPECT_EQ(Send(w.hwnd(), kPing), 1);
    EXPECT_EQ(Send(w.hwnd(), kPing), 100);
    EXPECT_EQ(g_calls, (Calls{"b", "window"}));
    {
        Recorder shortLived("short", 5);
        ASSERT_TRUE(AttachMessage(&shortLived, w.hwnd(), kPong));
        EXPECT_EQ(Send(w.hwnd(), kPong), 5);
    }
    EXPECT_EQ(Send(w.hwnd(), kPong), 100);
    EXPECT_EQ(g_calls, (Calls{"b", "window"}));

    // A window that goes first takes its routes with it.
    HWND gone = w.hwnd();
    w.Destroy();
    EXPECT_FALSE(IsAttached(&b, gone, kPing));
    EXPECT_FALSE(AttachMessage(&b, gone, kPing));

    // Windows of another thread cannot be subclassed from here.
    HANDLE made = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    HANDLE done = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    HWND foreign = nullptr;
    std::thread other([&] {
        foreign = ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
        ::SetEvent(made);
        ::WaitForSingleObject(done, 10000);
        ::DestroyWindow(foreign);
    });
    ::WaitForSingleObject(made, 10000);
    ASSERT_TRUE(::IsWindow(foreign));
    EXPECT_FALSE(AttachMessage(&a, foreign, kPing));
    ::SetEvent(done);
    other.join();
    ::CloseHandle(made);
    ::CloseHandle(done);
}

TEST(Subclass, MinimumTrackingSizeHoldsUnderARealDrag) {
    TestWindow w;
    ASSERT_TRUE(w.Open(WS_OVERLAPPEDWINDOW, 700, 500));
    MinimumSize minimum;
    ASSERT_TRUE(AttachMessage(&minimum, w.hwnd(), WM_GETMINMAXINFO));

    MINMAXINFO info{};
    info.ptMinTrackSize = POINT{10, 10};
    ::SendMessageW(w.hwnd(), WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    EXPECT_EQ(info.ptMinTrackSize.x, 480);
    EXPECT_EQ(info.ptMinTrackSize.y, 360);

    ASSERT_TRUE(MakeForeground(w.hwnd()));
    // Drag the bottom-right corner far up and to the left. The system's sizing loop runs inside
    // this thread's message handling, so the hand on the mouse is another thread.
    auto dragOnce = [&](POINT to) {
        RECT r;
        ::GetWindowRect(w.hwnd(), &r);
        const POINT from{r.right - 2, r.bottom - 2};
        std::atomic<bool> finished{false};
        std::thread hand([&] {
            MouseAt(from);
            ::Sleep(100);
            MouseAt(from, MOUSEEVENTF_LEFTDOWN);
            ::Sleep(150);
            for (int step = 1; step <= 10; ++step) {
                MouseAt(POINT{from.x + (to.x - from.x) * step / 10, from.y + (to.y - from.y) * step / 10});
                ::Sleep(30);
            }
            ::Sleep(100);
            MouseAt(to, MOUSEEVENTF_LEFTUP);
            ::Sleep(100);
            finished = true;
        });
        PumpUntil([&] { return finished.load(); }, 10000);
        hand.join();
        PumpFor(200);
        ::GetWindowRect(w.hwnd(), &r);
        return SIZE{r.right - r.left, r.bottom - r.top};
    };
    // Under Wine the very first press on a fresh window's frame now and then starts no drag at
    // all; a drag that moved nothing is tried again.
    auto dragCornerTo = [&](POINT to) {
        RECT r;
        ::GetWindowRect(w.hwnd(), &r);
        SIZE size{};
        for (int attempt = 0; attempt < 3; ++attempt) {
            size = dragOnce(to);
            if (size.cx != r.right - r.left || size.cy != r.bottom - r.top) break;
        }
        return size;
    };
    RECT start;
    ::GetWindowRect(w.hwnd(), &start);
    const SIZE clamped = dragCornerTo(POINT{start.left + 150, start.top + 100});
    EXPECT_EQ(clamped.cx, 480);
    EXPECT_EQ(clamped.cy, 360);

    // Without the subclass the same drag goes below the minimum: the clamp was ours.
    ASSERT_TRUE(DetachMessage(&minimum, w.hwnd(), WM_GETMINMAXINFO));
    const SIZE free = dragCornerTo(POINT{start.left + 150, start.top + 100});
    EXPECT_LT(free.cx, 480);
    EXPECT_LT(free.cy, 360);
}
