#include "modal_script.h"

#include <gtest/gtest.h>

#include "remote_ui.h"

namespace ardmoor::test {

namespace {
ModalScript* running = nullptr;  // one script at a time, on the thread that shows the windows
}

ModalScript::~ModalScript() {
    if (timer_) ::KillTimer(nullptr, timer_);
    if (running == this) running = nullptr;
}

ModalScript& ModalScript::Step(std::function<bool()> done) {
    steps_.push_back(std::move(done));
    return *this;
}

void ModalScript::Start() {
    running = this;
    stepStarted_ = ::GetTickCount64();
    timer_ = ::SetTimer(nullptr, 0, 20, &ModalScript::OnTimer);
}

void CALLBACK ModalScript::OnTimer(HWND, UINT, UINT_PTR, DWORD) {
    ModalScript* self = running;
    if (!self || self->busy_ || self->Finished()) return;
    self->busy_ = true;  // a step that lets messages run must not be entered again
    if (self->steps_[self->next_]()) {
        ++self->next_;
        self->stepStarted_ = ::GetTickCount64();
    } else if (::GetTickCount64() - self->stepStarted_ > 10000) {
        ADD_FAILURE() << "step " << self->next_ + 1 << " still waiting after 10 s";
        self->next_ = self->steps_.size();
        for (HWND h : TopLevelWindows(::GetCurrentProcessId()))
            if (ClassName(h) == L"ArdmoorModalWindow") ::PostMessageW(h, WM_CLOSE, 0, 0);
    }
    self->busy_ = false;
}

}  // namespace ardmoor::test
