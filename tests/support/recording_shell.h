#pragma once
// A shell that records what it is asked to open instead of opening it (a link would start a
// browser), and refuses to recycle anything.
#include <string>
#include <vector>

#include "platform/shell.h"

namespace ardmoor::test {

class RecordingShell : public Shell {
public:
    struct Call {
        std::wstring file;
        int show;
        std::wstring parameters, folder, operation;
        HWND owner;
    };
    std::vector<Call> calls;
    int recycles = 0;

    bool Open(const std::wstring& file, int show, const std::wstring& parameters, const std::wstring& folder,
              const std::wstring& operation, HWND owner, ShellError*) override {
        calls.push_back({file, show, parameters, folder, operation, owner});
        return true;
    }
    Status Recycle(const std::wstring&, HWND) override {
        ++recycles;
        return Error{ERROR_CALL_NOT_IMPLEMENTED};
    }
};

}  // namespace ardmoor::test
