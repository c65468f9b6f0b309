#include "controls/task_pane/task_pane_accessible.h"
#include "platform/caught_exception.h"

#include <oleacc.h>

#include <iterator>
#include <new>
#include <string>

namespace ardmoor {

struct TaskPaneAccessibility::Connection {
    TaskPaneAccessHost* host = nullptr;
};

namespace {

// What a child id names, relative to one accessible node.
struct Target {
    enum class Kind { Invalid, Self, Bar, Item };
    Kind kind = Kind::Invalid;
    TaskPaneBar* bar = nullptr;
    TaskPaneItem* item = nullptr;
};

HRESULT SetBstr(BSTR* out, const std::wstring& text) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (text.empty()) return S_FALSE;
    *out = ::SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    return *out ? S_OK : E_OUTOFMEMORY;
}

void SetI4(VARIANT* v, LONG value) {
    v->vt = VT_I4;
    v->lVal = value;
}

// One node of the tree: the pane's client object (no bar) or one bar's grouping. Items are simple
// elements of their bar (and, for WinEvents, of the pane, by their item child id).
class Node final : public IAccessible {
public:
    Node(std::shared_ptr<TaskPaneAccessibility::Connection> connection, uint32_t barId)
        : connection_(std::move(connection)), barId_(barId) {}

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (riid == IID_IUnknown || riid == IID_IDispatch || riid == __uuidof(IAccessible)) {
            *out = static_cast<IAccessible*>(this);
            AddRef();
            return S_OK;
        }
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(::InterlockedIncrement(&refs_)); }
    ULONG STDMETHODCALLTYPE Release() override {
        const LONG left = ::InterlockedDecrement(&refs_);
        if (left == 0) delete this;
        return static_cast<ULONG>(left);
    }

    // IDispatch: screen readers use the IAccessible methods directly.
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        if (!count) return E_POINTER;
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
        return E_NOTIMPL;
    }

    // IAccessible
    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override {
        return Guard([&]() -> HRESULT {
            if (!parent) return E_POINTER;
            *parent = nullptr;
            TaskPaneAccessHost* host = Host();
            if (!host) return CO_E_OBJNOTCONNECTED;
            if (IsPane())
                return ::AccessibleObjectFromWindow(host->AccessibleWindow(), static_cast<DWORD>(OBJID_WINDOW),
                                                    IID_IDispatch, reinterpret_cast<void**>(parent));
            *parent = new Node(connection_, 0);
            return S_OK;
        });
    }

    HRESULT STDMETHODCALLTYPE get_accChildCount(LONG* count) override {
        return Guard([&]() -> HRESULT {
            if (!count) return E_POINTER;
            *count = 0;
            TaskPaneAccessHost* host = Host();
            if (!host) return CO_E_OBJNOTCONNECTED;
            if (IsPane()) {
                *count = static_cast<LONG>(host->AccessibleModel().BarCount());
                return S_OK;
            }
            TaskPaneBar* bar = MyBar(*host);
            if (!bar) return CO_E_OBJNOTCONNECTED;
            *count = static_cast<LONG>(bar->ItemCount());
            return S_OK;
        });
    }

    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** out) override {
        return Guard([&]() -> HRESULT {
            if (!out) return E_POINTER;
            *out = nullptr;
            TaskPaneAccessHost* host = Host();
            if (!host) return CO_E_OBJNOTCONNECTED;
            const Target t = Resolve(*host, child);
            switch (t.kind) {
            case Target::Kind::Bar:
                *out = new Node(connection_, t.bar->Id());
                return S_OK;
            case Target::Kind::Item:
                return S_FALSE;  // a simple element, answered by its parent
            case Target::Kind::Self:
            case Target::Kind::Invalid:
                break;
            }
            return E_INVALIDARG;
        });
    }

    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override {
        return WithTarget(child, [&](TaskPaneAccessHost& host, const Target& t) -> HRESULT {
            switch (t.kind) {
            case Target::Kind::Self: {
                if (!IsPane()) return SetBstr(name, t.bar->Title());
                wchar_t buf[256] = {};
                ::GetWindowTextW(host.AccessibleWindow(), buf, static_cast<int>(std::size(buf)));
                return SetBstr(name, buf);
            }
            case Target::Kind::Bar:
                return SetBstr(name, t.bar->Title());
            case Target::Kind::Item:
                return SetBstr(name, t.item->Text());
            default:
                return E_INVALIDARG;
            }
        }, name);
    }

    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override {
        return WithTarget(child, [&](TaskPaneAccessHost&, const Target&) -> HRESULT { return DISP_E_MEMBERNOTFOUND; },
                          value);
    }

    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* description) override {
        return WithTarget(child, [&](TaskPaneAccessHost&, const Target& t) -> HRESULT {
            if (t.kind == Target::Kind::Item) return SetBstr(description, t.item->ToolTipText());
            return S_FALSE;
        }, description);
    }

    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override {
        return Guard([&]() -> HRESULT {
            if (!role) return E_POINTER;
            ::VariantInit(role);
            TaskPaneAccessHost* host = Host();
            if (!host) return CO_E_OBJNOTCONNECTED;
            const Target t = Resolve(*host, child);
            switch (t.kind) {
            case Target::Kind::Self:
                SetI4(role, IsPane() ? ROLE_SYSTEM_PANE : ROLE_SYSTEM_GROUPING);
                return S_OK;
            case Target::Kind::Bar:
                SetI4(role, ROLE_SYSTEM_GROUPING);
                return S_OK;
            case Target::Kind::Item:
                SetI4(role, t.item->IsLink() ? ROLE_SYSTEM_LINK : ROLE_SYSTEM_STATICTEXT);
                return S_OK;
            default:
                return E_INVALIDARG;
            }
        });
    }

    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override {
        return Guard([&]() -> HRESULT {
            if (!state) return E_POINTER;
            ::VariantInit(state);
            TaskPaneAccessHost* host = Host();
            if (!host) return CO_E_OBJNOTCONNECTED;
            const Target t = Resolve(*host, child);
            LONG bits = 0;
            switch (t.kind) {
            case Target::Kind::Self:
                if (IsPane()) {
                    bits = STATE_SYSTEM_FOCUSABLE;
                    if (::GetFocus() == host->AccessibleWindow()) bits |= STATE_SYSTEM_FOCUSED;
                    if (!::IsWindowVisible(host->AccessibleWindow())) bits |= STATE_SYSTEM_INVISIBLE;
                }
                break;
            case Target::Kind::Bar:
                break;
            case Target::Kind::Item:
                bits = ItemState(*host, *t.item);
                break;
            default:
                return E_INVALIDARG;
            }
            SetI4(state, bits);
            return S_OK;
        });
    }

    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* help) override {
        return WithTarget(child, [&](TaskPaneAccessHost&, const Target&) -> HRESULT { return S_FALSE; }, help);
    }
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT, LONG* topic) override {
        if (file) *file = nullptr;
        if (topic) *topic = 0;
        return S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) override {
        return WithTarget(child, [&](TaskPaneAccessHost&, const Target&) -> HRESULT { return S_FALSE; }, shortcut);
    }

    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* focus) override {
        return Guard([&]() -> HRESULT {
            if (!focus) return E_POINTER;
            ::VariantInit(focus);
            TaskPaneAccessHost* host = Host();
            if (!host) return CO_E_OBJNOTCONNECTED;
            if (::GetFocus() != host->AccessibleWindow()) return S_FALSE;
            const TaskPaneItem* item = host->AccessibleFocus();
            if (IsPane()) {
                SetI4(focus, item ? TaskPaneAccessibility::ChildIdOf(*item) : CHILDID_SELF);
                return S_OK;
            }
            TaskPaneBar* bar = MyBar(*host);
            if (!bar || !item || &item->Bar() != bar) return S_FALSE;
            SetI4(focus, static_cast<LONG>(bar->IndexOf(*item)) + 1);
            return S_OK;
        });
    }

    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* selection) override {
        if (selection) ::VariantInit(selection);
        return DISP_E_MEMBERNOTFOUND;
    }

    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override {
        return WithTarget(child, [&](TaskPaneAccessHost&, const Target& t) -> HRESULT {
            if (t.kind == Target::Kind::Item && t.item->IsLink()) return SetBstr(action, L"Jump");
            return S_FALSE;
        }, action);
    }

    HRESULT STDMETHODCALLTYPE accSelect(long flags, VARIANT child) override {
        return Guard([&]() -> HRESULT {
            TaskPaneAccessHost* host = Host();
            if (!host) return CO_E_OBJNOTCONNECTED;
            const Target t = Resolve(*host, child);
            if (t.kind == Target::Kind::Invalid) return E_INVALIDARG;
            if (t.kind != Target::Kind::Item || !t.item->IsLink() || flags != SELFLAG_TAKEFOCUS)
                return DISP_E_MEMBERNOTFOUND;
            host->AccessibleFocusItem(*t.item);
            return S_OK;
        });
    }

    HRESULT STDMETHODCALLTYPE accLocation(long* left, long* top, long* width, long* height, VARIANT child) override {
        return Guard([&]() -> HRESULT {
            if (!left || !top || !width || !height) return E_POINTER;
            *left = *top = *width = *height = 0;
            TaskPaneAccessHost* host = Host();
            if (!host) return CO_E_OBJNOTCONNECTED;
            const Target t = Resolve(*host, child);
            RECT r{};
            bool ok = false;
            switch (t.kind) {
            case Target::Kind::Self:
                if (IsPane()) {
                    ::GetClientRect(host->AccessibleWindow(), &r);
                    ::MapWindowPoints(host->AccessibleWindow(), nullptr, reinterpret_cast<POINT*>(&r), 2);
                    ok = true;
                } else {
                    ok = host->AccessibleBarRect(*MyBar(*host), r);
                }
                break;
            case Target::Kind::Bar:
                ok = host->AccessibleBarRect(*t.bar, r);
                break;
            case Target::Kind::Item:
                ok = host->AccessibleItemRect(*t.item, r);
                break;
            default:
                return E_INVALIDARG;
            }
            if (!ok) return S_FALSE;
            *left = r.left;
            *top = r.top;
            *width = r.right - r.left;
            *height = r.bottom - r.top;
            return S_OK;
        });
    }

    HRESULT STDMETHODCALLTYPE accNavigate(long direction, VARIANT start, VARIANT* end) override {
        return Guard([&]() -> HRESULT {
            if (!end) return E_POINTER;
            ::VariantInit(end);
            TaskPaneAccessHost* host = Host();
            if (!host) return CO_E_OBJNOTCONNECTED;
            const Target t = Resolve(*host, start);
            const bool first = direction == NAVDIR_FIRSTCHILD, last = direction == NAVDIR_LASTCHILD;
            const bool next = direction == NAVDIR_NEXT || direction == NAVDIR_DOWN;
            const bool previous = direction == NAVDIR_PREVIOUS || direction == NAVDIR_UP;
            const TaskPaneModel& model = host->AccessibleModel();
            if (t.kind == Target::Kind::Invalid) return E_INVALIDARG;
            if (IsPane()) {
                size_t count = model.BarCount(), index = count;
                if (t.kind == Target::Kind::Self && (first || last) && count)
                    index = first ? 0 : count - 1;
                if (t.kind == Target::Kind::Bar) {
                    size_t at = 0;
                    while (at < count && model.Bar(at) != t.bar) ++at;
                    if (next && at + 1 < count) index = at + 1;
                    if (previous && at > 0 && at < count) index = at - 1;
                }
                if (index >= count) return S_FALSE;
                end->vt = VT_DISPATCH;
                end->pdispVal = new Node(connection_, model.Bar(index)->Id());
                return S_OK;
            }
            TaskPaneBar* bar = MyBar(*host);
            if (!bar) return CO_E_OBJNOTCONNECTED;
            const size_t count = bar->ItemCount();
            size_t index = count;
            if (t.kind == Target::Kind::Self && (first || last) && count) index = first ? 0 : count - 1;
            if (t.kind == Target::Kind::Item && &t.item->Bar() == bar) {
                const size_t at = bar->IndexOf(*t.item);
                if (next && at + 1 < count) index = at + 1;
                if (previous && at > 0 && at < count) index = at - 1;
            }
            if (index >= count) return S_FALSE;
            SetI4(end, static_cast<LONG>(index) + 1);
            return S_OK;
        });
    }

    HRESULT STDMETHODCALLTYPE accHitTest(long x, long y, VARIANT* child) override {
        return Guard([&]() -> HRESULT {
            if (!child) return E_POINTER;
            ::VariantInit(child);
            TaskPaneAccessHost* host = Host();
            if (!host) return CO_E_OBJNOTCONNECTED;
            const POINT pt{x, y};
            RECT client{};
            ::GetClientRect(host->AccessibleWindow(), &client);
            ::MapWindowPoints(host->AccessibleWindow(), nullptr, reinterpret_cast<POINT*>(&client), 2);
            if (!::PtInRect(&client, pt)) return S_FALSE;
            const TaskPaneHit hit = host->AccessibleHitTest(pt);
            const TaskPaneModel& model = host->AccessibleModel();
            TaskPaneBar* hitBar = hit.kind == TaskPaneHit::Kind::None ? nullptr : model.Bar(hit.bar);
            if (IsPane()) {
                if (!hitBar) {
                    SetI4(child, CHILDID_SELF);
                    return S_OK;
                }
                child->vt = VT_DISPATCH;
                child->pdispVal = new Node(connection_, hitBar->Id());
                return S_OK;
            }
            TaskPaneBar* bar = MyBar(*host);
            if (!bar || hitBar != bar) return S_FALSE;
            SetI4(child, hit.kind == TaskPaneHit::Kind::Item ? static_cast<LONG>(hit.item) + 1 : CHILDID_SELF);
            return S_OK;
        });
    }

    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override {
        return Guard([&]() -> HRESULT {
            TaskPaneAccessHost* host = Host();
            if (!host) return CO_E_OBJNOTCONNECTED;
            const Target t = Resolve(*host, child);
            if (t.kind == Target::Kind::Invalid) return E_INVALIDARG;
            if (t.kind != Target::Kind::Item || !t.item->IsLink()) return DISP_E_MEMBERNOTFOUND;
            host->AccessibleClick(*t.item);
            return S_OK;
        });
    }

    HRESULT STDMETHODCALLTYPE put_accName(VARIANT, BSTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT, BSTR) override { return E_NOTIMPL; }

private:
    ~Node() = default;

    template <class F>
    static HRESULT Guard(F&& body) noexcept {
        try {
            return body();
        } catch (const std::bad_alloc&) {
            return E_OUTOFMEMORY;
        } catch (...) {
            ReportCaughtException(L"task pane accessibility");
            return E_FAIL;
        }
    }

    // For the string getters: clears the output, checks the connection, resolves the child.
    template <class F>
    HRESULT WithTarget(const VARIANT& child, F&& body, BSTR* out) {
        return Guard([&]() -> HRESULT {
            if (!out) return E_POINTER;
            *out = nullptr;
            TaskPaneAccessHost* host = Host();
            if (!host) return CO_E_OBJNOTCONNECTED;
            const Target t = Resolve(*host, child);
            if (t.kind == Target::Kind::Invalid) return E_INVALIDARG;
            return body(*host, t);
        });
    }

    [[nodiscard]] bool IsPane() const noexcept { return barId_ == 0; }
    [[nodiscard]] TaskPaneAccessHost* Host() const noexcept { return connection_ ? connection_->host : nullptr; }
    [[nodiscard]] TaskPaneBar* MyBar(TaskPaneAccessHost& host) const noexcept {
        return IsPane() ? nullptr : host.AccessibleModel().FindBarById(barId_);
    }

    Target Resolve(TaskPaneAccessHost& host, const VARIANT& child) const {
        Target t;
        if (child.vt != VT_I4) return t;
        const LONG id = child.lVal;
        const TaskPaneModel& model = host.AccessibleModel();
        TaskPaneBar* bar = MyBar(host);
        if (!IsPane() && !bar) return t;  // the bar was removed after the reader got hold of it
        if (id == CHILDID_SELF) {
            t.kind = Target::Kind::Self;
            t.bar = bar;
            return t;
        }
        if (id >= TaskPaneAccessibility::kItemChildIdBase) {
            TaskPaneItem* item = model.FindItemById(static_cast<uint32_t>(id - TaskPaneAccessibility::kItemChildIdBase));
            if (item && (IsPane() || &item->Bar() == bar)) {
                t.kind = Target::Kind::Item;
                t.item = item;
                t.bar = &item->Bar();
            }
            return t;
        }
        if (id < 1) return t;
        const size_t index = static_cast<size_t>(id) - 1;
        if (IsPane()) {
            if (TaskPaneBar* b = model.Bar(index)) {
                t.kind = Target::Kind::Bar;
                t.bar = b;
            }
        } else if (TaskPaneItem* item = bar->Item(index)) {
            t.kind = Target::Kind::Item;
            t.item = item;
            t.bar = bar;
        }
        return t;
    }

    static LONG ItemState(TaskPaneAccessHost& host, const TaskPaneItem& item) {
        LONG bits = 0;
        if (item.Text().empty()) bits |= STATE_SYSTEM_INVISIBLE;
        else if (!host.AccessibleItemVisible(item)) bits |= STATE_SYSTEM_OFFSCREEN;
        if (!item.IsLink()) return bits | STATE_SYSTEM_READONLY;
        if (!item.Text().empty()) bits |= STATE_SYSTEM_FOCUSABLE;
        bits |= STATE_SYSTEM_LINKED;
        if (host.AccessibleFocus() == &item) bits |= STATE_SYSTEM_FOCUSED;
        if (host.AccessibleHot() == &item) bits |= STATE_SYSTEM_HOTTRACKED;
        return bits;
    }

    LONG refs_ = 1;
    std::shared_ptr<TaskPaneAccessibility::Connection> connection_;
    uint32_t barId_;
};

}  // namespace

TaskPaneAccessibility::TaskPaneAccessibility(TaskPaneAccessHost& host)
    : connection_(std::make_shared<Connection>()) {
    connection_->host = &host;
}

TaskPaneAccessibility::~TaskPaneAccessibility() {
    connection_->host = nullptr;
    if (root_) root_->Release();
}

bool TaskPaneAccessibility::HandleGetObject(WPARAM wp, LPARAM lp, LRESULT& result) {
    if (static_cast<LONG>(lp) != OBJID_CLIENT || !connection_->host) return false;
    if (!root_) root_ = new (std::nothrow) Node(connection_, 0);
    if (!root_) return false;
    const LRESULT lr = ::LresultFromObject(__uuidof(IAccessible), wp, root_);
    if (lr <= 0) return false;  // a failure HRESULT: let the default procedure answer
    result = lr;
    return true;
}

LONG TaskPaneAccessibility::ChildIdOf(const TaskPaneItem& item) noexcept {
    return kItemChildIdBase + static_cast<LONG>(item.Id());
}

}  // namespace ardmoor
