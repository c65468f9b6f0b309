#include "remote_accessible.h"

#include <oleacc.h>

#include <functional>
#include <vector>

namespace ardmoor::test {

namespace {

using Visit = std::function<bool(IAccessible*, VARIANT, const std::wstring& name)>;

// Visits every descendant, depth first; the visitor returns false to stop.
bool Walk(IAccessible* parent, const Visit& visit) {
    long count = 0;
    if (FAILED(parent->get_accChildCount(&count)) || count <= 0) return true;
    std::vector<VARIANT> children(static_cast<size_t>(count));
    long got = 0;
    if (FAILED(::AccessibleChildren(parent, 0, count, children.data(), &got))) return true;
    auto named = [&](IAccessible* acc, VARIANT child) {
        BSTR b = nullptr;
        std::wstring name;
        if (SUCCEEDED(acc->get_accName(child, &b)) && b) name.assign(b, ::SysStringLen(b));
        ::SysFreeString(b);
        return visit(acc, child, name);
    };
    bool go = true;
    for (long i = 0; i < got; ++i) {
        VARIANT& v = children[static_cast<size_t>(i)];
        IAccessible* child = nullptr;
        if (go && v.vt == VT_DISPATCH && v.pdispVal &&
            SUCCEEDED(v.pdispVal->QueryInterface(__uuidof(IAccessible), reinterpret_cast<void**>(&child)))) {
            VARIANT self{};
            self.vt = VT_I4;
            self.lVal = CHILDID_SELF;
            go = named(child, self) && Walk(child, visit);
            child->Release();
        } else if (go && v.vt == VT_I4) {
            go = named(parent, v);
        }
        ::VariantClear(&v);
    }
    return go;
}

// (The tests' thread is in a single-threaded COM apartment already: test_support.cpp.)
void ForEach(HWND hwnd, const Visit& visit) {
    IAccessible* root = nullptr;
    if (FAILED(::AccessibleObjectFromWindow(hwnd, static_cast<DWORD>(OBJID_CLIENT), __uuidof(IAccessible),
                                            reinterpret_cast<void**>(&root))) ||
        !root)
        return;
    Walk(root, visit);
    root->Release();
}

}  // namespace

std::wstring AccessibleNameStartingWith(HWND hwnd, const std::wstring& prefix) {
    std::wstring found;
    ForEach(hwnd, [&](IAccessible*, VARIANT, const std::wstring& name) {
        if (name.rfind(prefix, 0) != 0) return true;
        found = name;
        return false;
    });
    return found;
}

bool AccessibleDoDefaultAction(HWND hwnd, const std::wstring& name) {
    bool done = false;
    ForEach(hwnd, [&](IAccessible* acc, VARIANT child, const std::wstring& childName) {
        if (childName != name) return true;
        done = SUCCEEDED(acc->accDoDefaultAction(child));
        return false;
    });
    return done;
}

}  // namespace ardmoor::test
