#pragma once
// A list of rows and columns over the system's list-view control, with the program's own item
// keys, column sort settings, per-item info tips and item groups. The control sits in a
// container window of its own that takes its notifications (and passes them on to the parent),
// and the control is subclassed for key and mouse releases, so the host forwards nothing.
// (Per-window subclass chains cost a server round trip per message under Wine, which the
// container and a plain window-procedure subclass avoid.)
//
// The rows' texts live here, not in the control, which asks for them as it draws
// (LPSTR_TEXTCALLBACK), so reading a row's text never goes through the control.
//
// Costs, with n items: adding at the end O(1); finding by key O(1) (hash); reading a text O(1);
// an item's index O(1) while nothing before it was removed, else one O(n) renumbering that
// serves every later call; removing at index i O(n - i); sorting O(n log n) comparisons of sort
// keys, each row's key made once per text.
#include <windows.h>
#include <commctrl.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/result.h"
#include "platform/unique_handle.h"

namespace ardmoor {

class ListView;

namespace list_view {
// View codes.
inline constexpr int kViewIcons = 0;
inline constexpr int kViewDetails = 1;
inline constexpr int kViewSmallIcons = 2;
inline constexpr int kViewList = 3;
// Column sort orders and sort types.
inline constexpr int kSortNone = 0;
inline constexpr int kSortAscending = 1;
inline constexpr int kSortDescending = 2;
inline constexpr int kSortText = 1;
inline constexpr int kSortNumber = 2;
inline constexpr int kSortDate = 3;
// Column alignments.
inline constexpr int kAlignLeft = 0;
inline constexpr int kAlignRight = 1;
inline constexpr int kAlignCenter = 2;
// Image list kinds.
inline constexpr int kLargeIcons = 0;
inline constexpr int kSmallIcons = 1;
// A row's icon asked of OnItemIcon only when the control first needs it.
inline constexpr int kIconOnDemand = -2;
// Shift-state bits and mouse buttons of the key and mouse events.
inline constexpr int kShift = 1;
inline constexpr int kCtrl = 2;
inline constexpr int kAlt = 4;
inline constexpr int kLeftButton = 1;
inline constexpr int kRightButton = 2;
inline constexpr int kMiddleButton = 4;
}  // namespace list_view

// A row of a ListView. A handle: cheap to copy, it stays tied to its row while the row exists
// and reads as empty afterwards. It must not outlive its ListView.
class ListItem {
public:
    ListItem() = default;

    [[nodiscard]] bool valid() const;
    explicit operator bool() const { return valid(); }
    bool operator==(const ListItem& other) const { return owner_ == other.owner_ && id_ == other.id_; }

    // 1-based position in the list; 0 when the row is gone.
    [[nodiscard]] int Index() const;
    [[nodiscard]] std::wstring Key() const;
    // Fails when another row has that key. An empty key leaves the row without one.
    [[nodiscard]] Status SetKey(std::wstring_view key);
    [[nodiscard]] std::wstring Text() const;
    void SetText(std::wstring_view text);
    // Sub-item n (n >= 1) is the text in column n + 1.
    [[nodiscard]] std::wstring SubItem(int n) const;
    void SetSubItem(int n, std::wstring_view text);
    [[nodiscard]] int Icon() const;
    void SetIcon(int icon);
    // Group id from ListView::AddGroup; 0 for none. Ids of no current group are ignored.
    [[nodiscard]] int Group() const;
    void SetGroup(int group);
    // Shown as the row's info tip.
    [[nodiscard]] std::wstring ToolTipText() const;
    void SetToolTipText(std::wstring_view text);
    [[nodiscard]] bool Selected() const;
    // Selecting also gives the row the focus, so that the keyboard carries on from it.
    void SetSelected(bool selected);
    void EnsureVisible();

private:
    friend class ListView;
    ListItem(const ListView* owner, uint64_t id) : owner_(const_cast<ListView*>(owner)), id_(id) {}
    ListView* owner_ = nullptr;
    uint64_t id_ = 0;
};

// A column of a ListView, by position; columns are never removed, so the handle stays good for
// the life of the ListView.
class ListColumn {
public:
    ListColumn() = default;

    [[nodiscard]] bool valid() const;
    explicit operator bool() const { return valid(); }

    // 1-based position; 0 for an empty handle.
    [[nodiscard]] int Index() const { return owner_ ? index_ + 1 : 0; }
    [[nodiscard]] std::wstring Key() const;
    [[nodiscard]] std::wstring Caption() const;
    void SetCaption(std::wstring_view caption);
    [[nodiscard]] int WidthTwips() const;
    void SetWidthTwips(int twips);
    // 0 none, 1 ascending, 2 descending; other values are ignored.
    [[nodiscard]] int SortOrder() const;
    void SetSortOrder(int order);
    // 1 text, 2 number, 3 date; other values are ignored.
    [[nodiscard]] int SortType() const;
    void SetSortType(int type);
    // 0 left, 1 right, 2 centre; other values are ignored.
    [[nodiscard]] int Alignment() const;
    void SetAlignment(int alignment);

private:
    friend class ListView;
    ListColumn(const ListView* owner, int index) : owner_(const_cast<ListView*>(owner)), index_(index) {}
    ListView* owner_ = nullptr;
    int index_ = 0;
};

struct ListViewStyle {
    int view = list_view::kViewDetails;
    bool singleSelect = true;
    bool fullRowSelect = false;
    bool columnHeaders = true;
    bool visible = true;
};

class ListView {
public:
    ListView();
    ~ListView();
    ListView(const ListView&) = delete;
    ListView& operator=(const ListView&) = delete;

    // Creates the control as a child of `parent` (a window of this thread).
    [[nodiscard]] Status Create(HWND parent, int controlId, const ListViewStyle& style = {});
    // The list-view control itself, for its own messages.
    [[nodiscard]] HWND hwnd() const noexcept { return list_; }
    // The window that holds it: the one to place among its siblings.
    [[nodiscard]] HWND container() const noexcept;

    // The lists are shared (the system's own, say): the control never destroys them.
    void SetImageList(HIMAGELIST list, int kind);

    // Columns, in order of adding. A non-empty key must be unique among the columns.
    Result<ListColumn> AddColumn(std::wstring_view key, std::wstring_view caption, int widthTwips);
    [[nodiscard]] ListColumn Column(int index) const;
    [[nodiscard]] ListColumn Column(std::wstring_view key) const;
    [[nodiscard]] int ColumnCount() const { return static_cast<int>(columns_.size()); }

    // Rows. Add appends; a non-empty key must be unique among the rows (matched exactly). An icon
    // of -1 shows none; list_view::kIconOnDemand leaves it to OnItemIcon, asked once, when the row
    // is first drawn or its icon read: a long list need not look up icons nobody sees.
    Result<ListItem> Add(std::wstring_view key, std::wstring_view text, int icon = -1);
    [[nodiscard]] ListItem Item(int index) const;
    [[nodiscard]] ListItem Item(std::wstring_view key) const;
    [[nodiscard]] int Count() const { return static_cast<int>(order_.size()); }
    Status Remove(int index);
    Status Remove(std::wstring_view key);
    void Clear();
    // Orders the rows by the column whose sort order was most recently set to non-zero (and still
    // is), in that direction and by its sort type; rows that compare equal keep their order.
    void Sort();
    // The focused row when it is selected, else the first selected row, else an empty handle.
    [[nodiscard]] ListItem SelectedItem() const;

    // 0 icons, 1 details, 2 small icons, 3 list.
    [[nodiscard]] int View() const;
    void SetView(int view);

    // Groups. When the control cannot show groups these only keep their records.
    [[nodiscard]] bool GroupsSupported() const noexcept { return groupsSupported_; }
    // Returns the new group's id (> 0). A new group goes in front of the earlier ones.
    int AddGroup(std::wstring_view caption);
    // The groups' captions in the order the control shows them.
    [[nodiscard]] std::vector<std::wstring> GroupCaptions() const;
    void ClearGroups();
    void EnableGroups(bool enable);
    [[nodiscard]] bool GroupsEnabled() const noexcept { return groupsEnabled_; }

    // Changes made while no messages run are drawn once, when the thread next takes its
    // messages (the control is slow to update row by row); SetRedraw(false) holds drawing longer.
    void SetRedraw(bool redraw);
    // The list's own visibility flag (its parent may still hide it).
    void SetVisible(bool visible);
    [[nodiscard]] bool Visible() const;
    // In pixels of the parent's client area, or in twips at the control's DPI.
    void Move(int left, int top, int width, int height);
    void MoveTwips(int left, int top, int width, int height);
    void SetFocus();
    // Border style 1 with appearance 1 is a sunken 3-D border, style 1 with appearance 0 a flat
    // line, style 0 none.
    void SetBorderStyle(int borderStyle, int appearance);
    void SetFullRowSelect(bool on);
    // After the window moved to a monitor of another DPI: scales the column widths and takes the
    // system's icon-title font at that DPI (the font the list has from the start).
    void SetDpi(UINT dpi);
    void SetColumnHeaders(bool on);
    // The list takes the Enter key itself instead of leaving it to the dialog keys of its window,
    // and reports an Enter release only when it also had the press: the release of an Enter that
    // closed a message box over the list is not one.
    void SetTakesReturn(bool on) noexcept { takesReturn_ = on; }

    // Events. Handlers may change the list (even remove the clicked row).
    std::function<void(int column)> OnColumnClick;  // 1-based
    std::function<void(ListItem item)> OnItemClick;
    std::function<void(ListItem item)> OnItemDblClick;
    std::function<void(int keyCode, int shift)> OnKeyUp;
    std::function<void(int button, int shift, int x, int y)> OnMouseUp;  // client pixels
    // The icon of a row added with list_view::kIconOnDemand (-1: none). It must not change the list.
    std::function<int(ListItem item)> OnItemIcon;

private:
    friend class ListItem;
    friend class ListColumn;

    struct ItemRecord {
        uint64_t id = 0;
        const std::wstring* key = nullptr;  // the key as stored in keys_; null when none
        std::vector<std::wstring> texts;    // [0] the text, [n] sub-item n
        std::wstring tip;
        std::string sortKey;  // of texts[sortKeyColumn], made by Sort
        int sortKeyColumn = -1;
        int icon = -1;
        int group = 0;
        size_t pos = 0;  // index in order_, trusted below posValid_
    };
    struct ColumnRecord {
        std::wstring key;
        int sortOrder = list_view::kSortNone;
        int sortType = list_view::kSortText;
        int alignment = list_view::kAlignLeft;
        uint64_t orderStamp = 0;  // when the sort order was last set non-zero
    };
    struct KeyHash {
        using is_transparent = void;
        size_t operator()(std::wstring_view s) const noexcept { return std::hash<std::wstring_view>{}(s); }
    };
    using KeyMap = std::unordered_map<std::wstring, ItemRecord*, KeyHash, std::equal_to<>>;

    ItemRecord* Find(uint64_t id) const;
    // 0-based index of a row, renumbering the rows after the last removal point when needed.
    size_t IndexOf(const ItemRecord* rec) const;
    void ForgetRecord(ItemRecord* rec);
    const std::wstring& TextAt(size_t index, int subItem) const;
    void OnDispInfo(NMLVDISPINFOW& info);
    int IconOf(ItemRecord& rec);
    int SortColumn() const;
    void ApplyColumnFormat(int column);
    void ShowSortArrow(int column, int order);
    static int CALLBACK CompareByPlace(LPARAM a, LPARAM b, LPARAM);
    static UINT EndBatchMessage();
    void BeginBatch();
    void EndBatch();
    void RedrawOn();
    static constexpr LONG kPaintBands = 4;  // a full repaint takes this many turns
    bool PaintBand(HWND hwnd);

    // Events.
    class Host;
    static LRESULT CALLBACK ControlProc(HWND, UINT, WPARAM, LPARAM) noexcept;
    LRESULT OnHostMessage(UINT msg, WPARAM wp, LPARAM lp, bool& handled);
    void OnNotify(const NMHDR& hdr);
    void OnInfoTip(NMLVGETINFOTIPW& tip);
    void OnClickNotify(const NMITEMACTIVATE& act, int button);
    LRESULT OnButtonUp(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, int button);
    LRESULT CallListProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) const;
    void FireMouseUp(int button, int shift, int x, int y);
    template <class F>
    bool Fire(F&& call);

    void ApplyFont();

    std::unique_ptr<Host> host_;  // owns the container, and with it the control
    UINT dpi_ = 96;
    UniqueFont font_;
    HWND list_ = nullptr;
    WNDPROC listProc_ = nullptr;  // the control's own procedure
    bool groupsSupported_ = false;
    bool groupsEnabled_ = false;
    bool userRedraw_ = true;  // as the caller last set it
    bool batching_ = false;   // drawing held until the posted end-of-batch message
    bool paintingBands_ = false;  // a large repaint is part drawn; the rest is due without erasing
    std::shared_ptr<bool> alive_;

    std::vector<ColumnRecord> columns_;
    uint64_t stampCounter_ = 0;

    std::unordered_map<uint64_t, ItemRecord> records_;
    KeyMap keys_;
    std::vector<ItemRecord*> order_;
    mutable size_t posValid_ = 0;  // order_[i]->pos == i for every i below this
    uint64_t nextId_ = 1;

    struct GroupRecord {
        int id = 0;
        std::wstring caption;
    };
    std::vector<GroupRecord> groups_;  // since the last ClearGroups, in the order shown
    int nextGroupId_ = 1;

    // Mouse buttons pressed in the control whose release has not been reported yet, and those
    // whose release the control is handling right now.
    int pendingButtons_ = 0;
    int releasingButtons_ = 0;
    bool takesReturn_ = false;
    bool returnPressed_ = false;  // an Enter press reached the list and its release has not
};

// Asks a list-view control whether it can show item groups: turns group view on, reads it back
// and restores it. Windows' common controls 6 answer yes; Wine 8's answer no.
bool ListViewSupportsGroups(HWND listView);

}  // namespace ardmoor
