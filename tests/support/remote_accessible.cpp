#include "remote_accessible.h"

#include <oleacc.h>

#include <functional>

namespace ardmoor::test {

namespace {

struct ComInit {
    ComInit() { ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED); }
    ~ComInit() { ::CoUninitialize(); }
};

std::wstring TakeBstr(BSTR b) {
    std::wstring s = b ? std::wstring(b, ::SysStringLen(b)) : std::wstring();
    if (b) ::SysFreeString(b);
    return s;
}

// Visits every descendant; the visitor returns false to stop.
bool Walk(IAccessible* parent, int depth, const std::function<bool(IAccessible*, VARIANT, int)>& visit) {
    long count = 0;
    if (FAILED(parent->get_accChildCount(&count)) || count <= 0) return true;
    std::vector<VARIANT> children(static_cast<size_t>(count));
    long got = 0;
    if (FAILED(::AccessibleChildren(parent, 0, count, children.data(), &got))) return true;
    bool go = true;
    for (long i = 0; i < got; ++i) {
        VARIANT& v = children[static_cast<size_t>(i)];
        if (go) {
            if (v.vt == VT_DISPATCH && v.pdispVal) {
                IAccessible* child = nullptr;
                if (SUCCEEDED(v.pdispVal->QueryInterface(__uuidof(IAccessible), reinterpret_cast<void**>(&child)))) {
                    VARIANT self;
                    self.vt = VT_I4;
                    self.lVal = CHILDID_SELF;
                    go = visit(child, self, depth) && Walk(child, depth + 1, visit);
                    child->Release();
                }
            } else if (v.vt == VT_I4) {
                go = visit(parent, v, depth);
            }
        }
        ::VariantClear(&v);
    }
    return go;
}

void ForEach(HWND hwnd, const std::function<bool(IAccessible*, VARIANT, int)>& visit) {
    ComInit com;
    IAccessible* root = nullptr;
    if (FAILED(::AccessibleObjectFromWindow(hwnd, static_cast<DWORD>(OBJID_CLIENT), __uuidof(IAccessible),
                                            reinterpret_cast<void**>(&root))) ||
        !root)
        return;
    Walk(root, 1, visit);
    root->Release();
}

AccessibleNode Describe(IAccessible* acc, VARIANT child, int depth) {
    AccessibleNode node;
    node.depth = depth;
    BSTR b = nullptr;
    if (SUCCEEDED(acc->get_accName(child, &b))) node.name = TakeBstr(b);
    b = nullptr;
    if (SUCCEEDED(acc->get_accDescription(child, &b))) node.description = TakeBstr(b);
    VARIANT role;
    ::VariantInit(&role);
    if (SUCCEEDED(acc->get_accRole(child, &role)) && role.vt == VT_I4) node.role = role.lVal;
    ::VariantClear(&role);
    return node;
}

}  // namespace

std::vector<AccessibleNode> AccessibleTree(HWND hwnd) {
    std::vector<AccessibleNode> nodes;
    ForEach(hwnd, [&](IAccessible* acc, VARIANT child, int depth) {
        nodes.push_back(Describe(acc, child, depth));
        return true;
    });
    return nodes;
}

std::wstring AccessibleNameStartingWith(HWND hwnd, const std::wstring& prefix) {
    for (const auto& node : AccessibleTree(hwnd))
        if (node.name.rfind(prefix, 0) == 0) return node.name;
    return {};
}

bool AccessibleDoDefaultAction(HWND hwnd, const std::wstring& name) {
    bool done = false;
    ForEach(hwnd, [&](IAccessible* acc, VARIANT child, int depth) {
        if (Describe(acc, child, depth).name != name) return true;
        done = SUCCEEDED(acc->accDoDefaultAction(child));
        return false;
    });
    return done;
}

}  // namespace ardmoor::test
