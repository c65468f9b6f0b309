#pragma once
// Reads a window's Active Accessibility tree, as a screen reader does (works across processes).
#include <windows.h>

#include <string>

namespace ardmoor::test {

// The name of the first node below the window's client object whose name starts with `prefix`
// (depth first; empty when none does).
std::wstring AccessibleNameStartingWith(HWND hwnd, const std::wstring& prefix);
// Performs the default action of the first node with exactly this name; false when none.
bool AccessibleDoDefaultAction(HWND hwnd, const std::wstring& name);

}  // namespace ardmoor::test
