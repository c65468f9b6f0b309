// Message subclassing on real windows: routing, the response setting, several objects on one
// window, objects and windows that go away, and what the boundaries say about exceptions.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "platform/message_pump.h"
#include "platform/subclass.h"
#include "platform/window.h"

using namespace ardmoor;

namespace {

constexpr UINT kPing = WM_APP + 1;
constexpr UINT kPong = WM_APP + 2;
using Calls = std::vector<std::string>;
Calls g_calls;

// Answers 100 to both messages, or throws on kPing.
class TestWindow final : public Window {
public:
    explicit TestWindow(bool throwing = false) : throwing_(throwing) {
        Create(L"ArdmoorSubclassTestWindow", L"Subclass test", WS_POPUP, 0, 0, 0, 10, 10, nullptr, nullptr);
    }

protected:
    bool OnMessage(UINT msg, WPARAM, LPARAM, LRESULT& result) override {
        if (msg != kPing && msg != kPong) return false;
        if (throwing_) throw std::runtime_error("the window's handler broke");
        g_calls.push_back("window");
        result = 100;
        return true;
    }

private:
    bool throwing_;
};

class Recorder : public ISubclass {
public:
    Recorder(std::string name, LRESULT answer, EMsgResponse response = EMsgResponse::emrConsume)
        : name_(std::move(name)), answer_(answer), response_(response) {}
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

// Sends a message; the calls it made are in g_calls.
LRESULT Send(HWND hwnd, UINT msg) {
    g_calls.clear();
    return ::SendMessageW(hwnd, msg, 0, 0);
}

}  // namespace

TEST(Subclass, RoutesByResponseAndSurvivesObjectsAndWindowsThatGo) {
    TestWindow w;
    Recorder consume("consume", 7), post("post", 8, EMsgResponse::emrPostProcess), pre("pre", 9, EMsgResponse::emrPreProcess);
    EXPECT_TRUE(AttachMessage(&consume, w.hwnd(), kPing));
    EXPECT_TRUE(AttachMessage(&consume, w.hwnd(), kPing));  // twice: still one route
    EXPECT_EQ(Send(w.hwnd(), kPing), 7);
    EXPECT_EQ(g_calls, Calls{"consume"});
    EXPECT_EQ(Send(w.hwnd(), kPong), 100);  // not attached: only the window
    EXPECT_TRUE(DetachMessage(&consume, w.hwnd(), kPing));
    EXPECT_FALSE(DetachMessage(&consume, w.hwnd(), kPing));
    EXPECT_FALSE(IsAttached(&consume, w.hwnd(), kPing));
    EXPECT_EQ(Send(w.hwnd(), kPing), 100);
    EXPECT_EQ(g_calls, Calls{"window"});
    ASSERT_TRUE(AttachMessage(&post, w.hwnd(), kPing));
    EXPECT_EQ(Send(w.hwnd(), kPing), 8);
    EXPECT_EQ(g_calls, (Calls{"window", "post"}));
    DetachAll(&post);
    ASSERT_TRUE(AttachMessage(&pre, w.hwnd(), kPing));
    EXPECT_EQ(Send(w.hwnd(), kPing), 100);
    EXPECT_EQ(g_calls, (Calls{"pre", "window"}));
    // On the same message the later object sees it first and passes it on.
    DetachAll(&pre);
    ASSERT_TRUE(AttachMessage(&consume, w.hwnd(), kPing));
    ASSERT_TRUE(AttachMessage(&pre, w.hwnd(), kPing));
    EXPECT_EQ(Send(w.hwnd(), kPing), 7);
    EXPECT_EQ(g_calls, (Calls{"pre", "consume"}));
    // A handler that throws leaves the message to the window.
    Recorder broken("broken", 1);
    broken.fail = true;
    ASSERT_TRUE(AttachMessage(&broken, w.hwnd(), kPong));
    EXPECT_EQ(Send(w.hwnd(), kPong), 100);
    EXPECT_EQ(g_calls, (Calls{"broken", "window"}));
    DetachAll(&broken);
    // An object that detaches itself mid-call, and one that simply ends.
    consume.detachSelf = true;
    EXPECT_EQ(Send(w.hwnd(), kPing), 7);
    EXPECT_EQ(Send(w.hwnd(), kPing), 100);
    EXPECT_EQ(g_calls, (Calls{"pre", "window"}));
    {
        Recorder shortLived("short", 5);
        ASSERT_TRUE(AttachMessage(&shortLived, w.hwnd(), kPong));
        EXPECT_EQ(Send(w.hwnd(), kPong), 5);
    }
    EXPECT_EQ(Send(w.hwnd(), kPong), 100);
    EXPECT_EQ(g_calls, Calls{"window"});
    EXPECT_FALSE(AttachMessage(nullptr, w.hwnd(), kPing));
    EXPECT_FALSE(AttachMessage(&pre, nullptr, kPing));

    // A window that goes first takes its routes with it.
    HWND gone = w.hwnd();
    w.Destroy();
    EXPECT_FALSE(IsAttached(&pre, gone, kPing));
    EXPECT_FALSE(AttachMessage(&pre, gone, kPing));

    // Windows of another thread cannot be subclassed from here.
    HANDLE made = ::CreateEventW(nullptr, TRUE, FALSE, nullptr), done = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    HWND foreign = nullptr;
    std::thread other([&] {
        foreign = ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
        ::SetEvent(made);
        ::WaitForSingleObject(done, 10000);
        ::DestroyWindow(foreign);
    });
    ::WaitForSingleObject(made, 10000);
    ASSERT_TRUE(::IsWindow(foreign));
    EXPECT_FALSE(AttachMessage(&pre, foreign, kPing));
    ::SetEvent(done);
    other.join();
    ::CloseHandle(made);
    ::CloseHandle(done);
}

// What the program writes to the debugger output: OutputDebugString raises an exception that a
// vectored handler sees first.
std::vector<std::string> g_debugLines;
LONG CALLBACK CollectDebugOutput(EXCEPTION_POINTERS* info) {
    const EXCEPTION_RECORD& r = *info->ExceptionRecord;
    if (r.ExceptionCode == DBG_PRINTEXCEPTION_C && r.NumberParameters >= 2)
        g_debugLines.emplace_back(reinterpret_cast<const char*>(r.ExceptionInformation[1]));
    return EXCEPTION_CONTINUE_SEARCH;
}

TEST(Subclass, ExceptionsCaughtAtTheBoundariesAreWrittenToTheDebuggerOutput) {
    void* handler = ::AddVectoredExceptionHandler(1, &CollectDebugOutput);
    TestWindow window(true);
    EXPECT_EQ(::SendMessageW(window.hwnd(), kPing, 0, 0), 0);  // the default answer
    Recorder broken("broken", 5);
    broken.fail = true;
    ASSERT_TRUE(AttachMessage(&broken, window.hwnd(), kPong));
    (void)::SendMessageW(window.hwnd(), kPong, 0, 0);
    DetachMessage(&broken, window.hwnd(), kPong);
    ::RemoveVectoredExceptionHandler(handler);
    const auto has = [&](const char* text) {
        for (const auto& line : g_debugLines)
            if (line.find(text) != std::string::npos) return true;
        return false;
    };
    EXPECT_TRUE(has("window procedure: the window's handler broke"));
    EXPECT_TRUE(has("ISubclass_WindowProc: broken handler"));
}
