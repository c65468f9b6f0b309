#include "platform/subclass.h"
#include "platform/caught_exception.h"

#include <commctrl.h>

#include <algorithm>
#include <mutex>
#include <unordered_map>
#include <vector>

namespace ardmoor {

namespace {

// One per (object, window) pair; lives as long as the window's subclass chain or a running
// call needs it.
struct Registration {
    ISubclass* target = nullptr;
    HWND hwnd = nullptr;
    std::vector<UINT> messages;
    int busy = 0;          // calls of the object on the stack
    bool removed = false;  // detached: pass everything through
    bool inChain = true;   // still in the window's subclass chain
};

std::mutex g_lock;
std::unordered_map<ISubclass*, std::vector<Registration*>> g_byTarget;

UINT_PTR IdOf(ISubclass* target) { return reinterpret_cast<UINT_PTR>(target); }

LRESULT CALLBACK SubclassProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id, DWORD_PTR ref) noexcept;

void Forget(Registration* reg) {
    std::lock_guard<std::mutex> hold(g_lock);
    auto it = g_byTarget.find(reg->target);
    if (it == g_byTarget.end()) return;
    auto& regs = it->second;
    regs.erase(std::remove(regs.begin(), regs.end(), reg), regs.end());
    if (regs.empty()) g_byTarget.erase(it);
}

void DeleteIfUnused(Registration* reg) {
    if (reg->busy == 0 && !reg->inChain) delete reg;
}

// Takes the registration out of the window's chain and out of the object's list.
void Unregister(Registration* reg) noexcept {
    if (!reg->removed) {
        reg->removed = true;
        Forget(reg);
    }
    if (reg->inChain && ::RemoveWindowSubclass(reg->hwnd, &SubclassProc, IdOf(reg->target)))
        reg->inChain = false;
    DeleteIfUnused(reg);
}

// (GetWindowSubclass would answer this, but not every import library names it.)
Registration* Find(ISubclass* target, HWND hwnd) {
    std::lock_guard<std::mutex> hold(g_lock);
    auto it = g_byTarget.find(target);
    if (it == g_byTarget.end()) return nullptr;
    for (Registration* reg : it->second)
        if (reg->hwnd == hwnd && !reg->removed) return reg;
    return nullptr;
}

LRESULT CALLBACK SubclassProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR ref) noexcept {
    auto* reg = reinterpret_cast<Registration*>(ref);
    if (msg == WM_NCDESTROY) {
        // The window is going: leave its chain now, while the chain still knows us.
        ::RemoveWindowSubclass(hwnd, &SubclassProc, IdOf(reg->target));
        reg->inChain = false;
        if (!reg->removed) {
            reg->removed = true;
            Forget(reg);
        }
        const LRESULT result = ::DefSubclassProc(hwnd, msg, wp, lp);
        DeleteIfUnused(reg);
        return result;
    }
    if (reg->removed || std::find(reg->messages.begin(), reg->messages.end(), msg) == reg->messages.end())
        return ::DefSubclassProc(hwnd, msg, wp, lp);

    ++reg->busy;
    ISubclass* target = reg->target;
    EMsgResponse response = EMsgResponse::emrConsume;
    try {
        response = target->ISubclass_MsgResponse();
    } catch (...) {
        ReportCaughtException(L"ISubclass_MsgResponse");
    }
    LRESULT result = 0;
    switch (response) {
        case EMsgResponse::emrPostProcess:
            result = ::DefSubclassProc(hwnd, msg, wp, lp);
            // The window's own handling may have detached (or ended) the object.
            if (!reg->removed) {
                try {
                    result = target->ISubclass_WindowProc(hwnd, msg, wp, lp);
                } catch (...) {
                    ReportCaughtException(L"ISubclass_WindowProc");
                }
            }
            break;
        case EMsgResponse::emrPreProcess:
            try {
                target->ISubclass_WindowProc(hwnd, msg, wp, lp);
            } catch (...) {
                ReportCaughtException(L"ISubclass_WindowProc");
            }
            result = ::DefSubclassProc(hwnd, msg, wp, lp);
            break;
        default:
            try {
                result = target->ISubclass_WindowProc(hwnd, msg, wp, lp);
            } catch (...) {
                ReportCaughtException(L"ISubclass_WindowProc");
                // A failed handler leaves the message to the window, as if nobody had watched it.
                result = ::DefSubclassProc(hwnd, msg, wp, lp);
            }
            break;
    }
    --reg->busy;
    DeleteIfUnused(reg);
    return result;
}

}  // namespace

ISubclass::~ISubclass() { DetachAll(this); }

bool AttachMessage(ISubclass* target, HWND hwnd, UINT msg) {
    if (!target || !::IsWindow(hwnd)) return false;
    if (::GetWindowThreadProcessId(hwnd, nullptr) != ::GetCurrentThreadId()) return false;
    if (Registration* reg = Find(target, hwnd)) {
        if (std::find(reg->messages.begin(), reg->messages.end(), msg) == reg->messages.end())
            reg->messages.push_back(msg);
        return true;
    }
    auto* reg = new Registration{target, hwnd, {msg}};
    if (!::SetWindowSubclass(hwnd, &SubclassProc, IdOf(target), reinterpret_cast<DWORD_PTR>(reg))) {
        delete reg;
        return false;
    }
    try {
        std::lock_guard<std::mutex> hold(g_lock);
        g_byTarget[target].push_back(reg);
    } catch (...) {
        ::RemoveWindowSubclass(hwnd, &SubclassProc, IdOf(target));
        delete reg;
        return false;
    }
    return true;
}

bool DetachMessage(ISubclass* target, HWND hwnd, UINT msg) {
    if (!target || !hwnd) return false;
    Registration* reg = Find(target, hwnd);
    if (!reg) return false;
    auto it = std::find(reg->messages.begin(), reg->messages.end(), msg);
    if (it == reg->messages.end()) return false;
    reg->messages.erase(it);
    if (reg->messages.empty()) Unregister(reg);
    return true;
}

void DetachAll(ISubclass* target) noexcept {
    std::vector<Registration*> regs;
    {
        std::lock_guard<std::mutex> hold(g_lock);
        auto it = g_byTarget.find(target);
        if (it == g_byTarget.end()) return;
        regs = std::move(it->second);
        g_byTarget.erase(it);
    }
    for (Registration* reg : regs) {
        reg->removed = true;  // already forgotten above
        Unregister(reg);
    }
}

bool IsAttached(ISubclass* target, HWND hwnd, UINT msg) {
    if (!target || !hwnd) return false;
    const Registration* reg = Find(target, hwnd);
    return reg && std::find(reg->messages.begin(), reg->messages.end(), msg) != reg->messages.end();
}

LRESULT CallOldWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    return ::DefSubclassProc(hwnd, msg, wParam, lParam);
}

}  // namespace ardmoor
