// Message subclassing on real windows: routing, the response setting, several objects on one
// window, objects and windows that go away, and what the boundaries say about exceptions.
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

// Collects what the program writes to the debugger output (OutputDebugString raises an exception
// that a vectored handler sees first).
class DebugOutput {
public:
    DebugOutput() : handler_(::AddVectoredExceptionHandler(1, &DebugOutput::Handler)) { Lines().clear(); }
    ~DebugOutput() { ::RemoveVectoredExceptionHandler(handler_); }
    static std::vector<std::string>& Lines() {
        static std::vector<std::string> lines;
        return lines;
    }

private:
    static LONG CALLBACK Handler(EXCEPTION_POINTERS* info) {
        const EXCEPTION_RECORD& r = *info->ExceptionRecord;
        if (r.ExceptionCode == DBG_PRINTEXCEPTION_C && r.NumberParameters >= 2)
            Lines().emplace_back(reinterpret_cast<const char*>(r.ExceptionInformation[1]));
        return EXCEPTION_CONTINUE_SEARCH;
    }
    void* handler_;
};

class ThrowingWindow final : public Window {
public:
    bool Open() { return Create(L"ArdmoorThrowingTestWindow", L"", WS_POPUP, 0, 0, 0, 10, 10, nullptr, nullptr); }

protected:
    bool OnMessage(UINT msg, WPARAM, LPARAM, LRESULT&) override {
        if (msg == kPing) throw std::runtime_error("the window's handler broke");
        return false;
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


TEST(Subclass, ExceptionsCaughtAtTheBoundariesAreWrittenToTheDebuggerOutput) {
    DebugOutput output;
    ThrowingWindow window;
    ASSERT_TRUE(window.Open());
    EXPECT_EQ(::SendMessageW(window.hwnd(), kPing, 0, 0), 0);  // the default answer
    Recorder broken("broken", 5);
    broken.fail = true;
    ASSERT_TRUE(AttachMessage(&broken, window.hwnd(), kPong));
    (void)::SendMessageW(window.hwnd(), kPong, 0, 0);
    DetachMessage(&broken, window.hwnd(), kPong);
    const auto has = [&](const char* text) {
        for (const auto& line : DebugOutput::Lines())
            if (line.find(text) != std::string::npos) return true;
        return false;
    };
    EXPECT_TRUE(has("window procedure: the window's handler broke"));
    EXPECT_TRUE(has("ISubclass_WindowProc: broken handler"));
}
