#pragma once
// Reads a window's Active Accessibility tree, as a screen reader does (works across processes).
#include <windows.h>

#include <string>
#include <vector>

namespace ardmoor::test {

struct AccessibleNode {
    std::wstring name;
    std::wstring description;
    long role = 0;
    int depth = 0;  // 1 for the window's direct children
};

// Every descendant of the window's client object, depth first. Empty when the window answers
// nothing.
std::vector<AccessibleNode> AccessibleTree(HWND hwnd);
// The name of the first node whose name starts with `prefix` (empty when none does).
std::wstring AccessibleNameStartingWith(HWND hwnd, const std::wstring& prefix);
// Performs the default action of the first node with exactly this name; false when none.
bool AccessibleDoDefaultAction(HWND hwnd, const std::wstring& name);

}  // namespace ardmoor::test
