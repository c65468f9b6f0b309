#pragma once
// Standard output and standard error of the program when a script runs it. The program is a
// windowed one, so it has no console of its own: it writes to the handles it was given (a file or
// a pipe when the output is redirected) and, where it was given none, to the console of the
// process that started it.
#include <windows.h>

#include "platform/output_file.h"
#include "platform/unique_handle.h"

namespace ardmoor {

// One standard stream. UTF-8 bytes go to a file or a pipe as they are; a real console gets them
// as UTF-16 through WriteConsoleW, so that every script shows right whatever its code page.
class StandardStream final : public ByteSink {
public:
    explicit StandardStream(HANDLE handle) noexcept;  // not owned; null writes nowhere
    [[nodiscard]] Status Write(std::string_view utf8) override;
    [[nodiscard]] bool IsConsole() const noexcept { return console_; }

private:
    HANDLE handle_;
    bool console_ = false;
};

// The process's standard output and error, attached to the parent's console where needed.
class ProcessStreams {
public:
    ProcessStreams();
    [[nodiscard]] StandardStream& Out() noexcept { return out_; }
    [[nodiscard]] StandardStream& Err() noexcept { return err_; }

private:
    UniqueKernelHandle console_;  // CONOUT$, when the parent's console stands in for a missing handle
    StandardStream out_{nullptr};
    StandardStream err_{nullptr};
};

}  // namespace ardmoor
