#pragma once
// Boundaries that must not let an exception through (window procedures, callbacks, threads) still
// say what they caught: the text goes to the debugger output.

namespace ardmoor {

// Call only inside a catch block: writes "Ardmoor: <where>: <what>" to the debugger output.
void ReportCaughtException(const wchar_t* where) noexcept;

}  // namespace ardmoor
