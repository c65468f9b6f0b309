#include "controls/list_view/list_view.h"

#include <algorithm>
#include <climits>

#include "platform/window.h"

namespace ardmoor {

namespace {

UINT DpiOf(HWND hwnd) {
    const UINT dpi = hwnd ? ::GetDpiForWindow(hwnd) : 0;
    return dpi ? dpi : 96;
}

}  // namespace

bool ListViewSupportsGroups(HWND listView) {
    if (!listView) return false;
    const bool was = ::SendMessageW(listView, LVM_ISGROUPVIEWENABLED, 0, 0) != 0;
    // A control that does not know the message answers 0 to both, which reads as "no".
    ::SendMessageW(listView, LVM_ENABLEGROUPVIEW, TRUE, 0);
    const bool on = ::SendMessageW(listView, LVM_ISGROUPVIEWENABLED, 0, 0) != 0;
    ::SendMessageW(listView, LVM_ENABLEGROUPVIEW, was ? TRUE : FALSE, 0);
    return on;
}

void ListView::SetImageList(HIMAGELIST list, int kind) {
    if (!list_ || (kind != list_view::kSmallIcons && kind != list_view::kLargeIcons)) return;
    const int which = kind == list_view::kSmallIcons ? LVSIL_SMALL : LVSIL_NORMAL;
    ::SendMessageW(list_, LVM_SETIMAGELIST, which, reinterpret_cast<LPARAM>(list));
}

// ---- columns ----

Result<ListColumn> ListView::AddColumn(std::wstring_view key, std::wstring_view caption, int widthTwips) {
    if (!list_) return Error{ERROR_INVALID_WINDOW_HANDLE};
    if (!key.empty() && Column(key)) return Error{ERROR_ALREADY_EXISTS};
    std::wstring text(caption);
    LVCOLUMNW col{};
    col.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
    col.fmt = LVCFMT_LEFT;
    col.cx = TwipsToPixels(std::max(widthTwips, 0), DpiOf(list_));
    col.pszText = text.data();
    const int at = static_cast<int>(columns_.size());
    if (::SendMessageW(list_, LVM_INSERTCOLUMNW, at, reinterpret_cast<LPARAM>(&col)) != at)
        return Error{ERROR_GEN_FAILURE};
    columns_.push_back(ColumnRecord{std::wstring(key)});
    return ListColumn(this, at);
}

ListColumn ListView::Column(int index) const {
    if (index < 1 || index > static_cast<int>(columns_.size())) return {};
    return ListColumn(this, index - 1);
}

ListColumn ListView::Column(std::wstring_view key) const {
    if (key.empty()) return {};
    for (size_t i = 0; i < columns_.size(); ++i)
        if (columns_[i].key == key) return ListColumn(this, static_cast<int>(i));
    return {};
}

void ListView::ApplyColumnFormat(int column) {
    static constexpr int kFormats[] = {LVCFMT_LEFT, LVCFMT_RIGHT, LVCFMT_CENTER};
    LVCOLUMNW col{};
    col.mask = LVCF_FMT;
    col.fmt = kFormats[columns_[column].alignment];
    ::SendMessageW(list_, LVM_SETCOLUMNW, column, reinterpret_cast<LPARAM>(&col));
}

bool ListColumn::valid() const { return owner_ && index_ >= 0 && index_ < owner_->ColumnCount(); }

std::wstring ListColumn::Key() const { return valid() ? owner_->columns_[index_].key : std::wstring(); }

std::wstring ListColumn::Caption() const {
    if (!valid()) return {};
    std::wstring buf(512, L'\0');
    LVCOLUMNW col{};
    col.mask = LVCF_TEXT;
    col.pszText = buf.data();
    col.cchTextMax = static_cast<int>(buf.size());
    if (!::SendMessageW(owner_->hwnd(), LVM_GETCOLUMNW, index_, reinterpret_cast<LPARAM>(&col))) return {};
    return std::wstring(buf.c_str());
}

void ListColumn::SetCaption(std::wstring_view caption) {
    if (!valid()) return;
    std::wstring text(caption);
    LVCOLUMNW col{};
    col.mask = LVCF_TEXT;
    col.pszText = text.data();
    ::SendMessageW(owner_->hwnd(), LVM_SETCOLUMNW, index_, reinterpret_cast<LPARAM>(&col));
}

int ListColumn::WidthTwips() const {
    if (!valid()) return 0;
    const int px = static_cast<int>(::SendMessageW(owner_->hwnd(), LVM_GETCOLUMNWIDTH, index_, 0));
    return PixelsToTwips(px, DpiOf(owner_->hwnd()));
}

void ListColumn::SetWidthTwips(int twips) {
    if (!valid()) return;
    ::SendMessageW(owner_->hwnd(), LVM_SETCOLUMNWIDTH, index_,
                   MAKELPARAM(TwipsToPixels(std::max(twips, 0), DpiOf(owner_->hwnd())), 0));
}

int ListColumn::SortOrder() const { return valid() ? owner_->columns_[index_].sortOrder : 0; }

void ListColumn::SetSortOrder(int order) {
    if (!valid() || order < list_view::kSortNone || order > list_view::kSortDescending) return;
    auto& col = owner_->columns_[index_];
    col.sortOrder = order;
    if (order != list_view::kSortNone) col.orderStamp = ++owner_->stampCounter_;
}

int ListColumn::SortType() const { return valid() ? owner_->columns_[index_].sortType : 0; }

void ListColumn::SetSortType(int type) {
    if (!valid() || type < list_view::kSortText || type > list_view::kSortDate) return;
    owner_->columns_[index_].sortType = type;
}

int ListColumn::Alignment() const { return valid() ? owner_->columns_[index_].alignment : 0; }

void ListColumn::SetAlignment(int alignment) {
    if (!valid() || alignment < list_view::kAlignLeft || alignment > list_view::kAlignCenter) return;
    owner_->columns_[index_].alignment = alignment;
    owner_->ApplyColumnFormat(index_);
}

// ---- rows ----

ListView::ItemRecord* ListView::Find(uint64_t id) const {
    auto it = records_.find(id);
    return it == records_.end() ? nullptr : const_cast<ItemRecord*>(&it->second);
}

size_t ListView::IndexOf(const ItemRecord* rec) const {
    if (rec->pos < posValid_) return rec->pos;
    for (size_t i = posValid_; i < order_.size(); ++i) order_[i]->pos = i;
    posValid_ = order_.size();
    return rec->pos;
}

Result<ListItem> ListView::Add(std::wstring_view key, std::wstring_view text, int icon) {
    if (!list_) return Error{ERROR_INVALID_WINDOW_HANDLE};
    if (!key.empty() && keys_.find(key) != keys_.end()) return Error{ERROR_ALREADY_EXISTS};
    if (order_.size() >= static_cast<size_t>(INT_MAX - 1)) return Error{ERROR_NOT_ENOUGH_MEMORY};

    BeginBatch();
    const uint64_t id = nextId_++;
    ItemRecord& rec = records_[id];
    rec.id = id;
    try {
        if (!key.empty()) rec.key = &keys_.emplace(std::wstring(key), &rec).first->first;
        order_.push_back(&rec);
    } catch (...) {
        ForgetRecord(&rec);
        throw;
    }

    rec.texts.emplace_back(text);
    const bool onDemand = icon == list_view::kIconOnDemand;
    rec.icon = onDemand ? icon : icon < 0 ? -1 : icon;
    LVITEMW item{};
    item.mask = LVIF_TEXT | LVIF_PARAM | LVIF_IMAGE;
    item.iItem = static_cast<int>(order_.size() - 1);
    item.pszText = LPSTR_TEXTCALLBACKW;
    item.iImage = onDemand ? I_IMAGECALLBACK : icon < 0 ? I_IMAGENONE : icon;
    item.lParam = reinterpret_cast<LPARAM>(&rec);
    const int at = static_cast<int>(::SendMessageW(list_, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
    if (at != item.iItem) {
        if (at >= 0) ::SendMessageW(list_, LVM_DELETEITEM, at, 0);
        order_.pop_back();
        ForgetRecord(&rec);
        return Error{ERROR_GEN_FAILURE};
    }
    rec.pos = order_.size() - 1;
    if (posValid_ == rec.pos) posValid_ = order_.size();
    return ListItem(this, id);
}

void ListView::ForgetRecord(ItemRecord* rec) {
    if (rec->key) {
        auto it = keys_.find(std::wstring_view(*rec->key));
        if (it != keys_.end() && it->second == rec) keys_.erase(it);
    }
    records_.erase(rec->id);
}

ListItem ListView::Item(int index) const {
    if (index < 1 || index > Count()) return {};
    return ListItem(this, order_[static_cast<size_t>(index - 1)]->id);
}

ListItem ListView::Item(std::wstring_view key) const {
    if (key.empty()) return {};
    auto it = keys_.find(key);
    return it == keys_.end() ? ListItem() : ListItem(this, it->second->id);
}

Status ListView::Remove(int index) {
    if (index < 1 || index > Count()) return Error{ERROR_INVALID_INDEX};
    const size_t at = static_cast<size_t>(index - 1);
    BeginBatch();
    if (!::SendMessageW(list_, LVM_DELETEITEM, at, 0)) return Error{ERROR_GEN_FAILURE};
    ItemRecord* rec = order_[at];
    order_.erase(order_.begin() + static_cast<ptrdiff_t>(at));
    posValid_ = std::min(posValid_, at);
    ForgetRecord(rec);
    return {};
}

Status ListView::Remove(std::wstring_view key) {
    ListItem item = Item(key);
    if (!item) return Error{ERROR_NOT_FOUND};
    return Remove(item.Index());
}

void ListView::Clear() {
    BeginBatch();
    if (list_) ::SendMessageW(list_, LVM_DELETEALLITEMS, 0, 0);
    order_.clear();
    keys_.clear();
    records_.clear();
    posValid_ = 0;
}

ListItem ListView::SelectedItem() const {
    if (!list_) return {};
    const int focused = static_cast<int>(::SendMessageW(list_, LVM_GETNEXTITEM, static_cast<WPARAM>(-1),
                                                        MAKELPARAM(LVNI_FOCUSED | LVNI_SELECTED, 0)));
    if (focused >= 0) return Item(focused + 1);
    const int first = static_cast<int>(
        ::SendMessageW(list_, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), MAKELPARAM(LVNI_SELECTED, 0)));
    return first >= 0 ? Item(first + 1) : ListItem();
}

const std::wstring& ListView::TextAt(size_t index, int subItem) const {
    static const std::wstring none;
    if (index >= order_.size() || subItem < 0) return none;
    const auto& texts = order_[index]->texts;
    return static_cast<size_t>(subItem) < texts.size() ? texts[static_cast<size_t>(subItem)] : none;
}

// The control draws and answers LVM_GETITEMTEXT from the rows' own texts, and asks for the
// icons left to OnItemIcon.
void ListView::OnDispInfo(NMLVDISPINFOW& info) {
    if ((info.item.mask & LVIF_TEXT) && info.item.pszText && info.item.cchTextMax > 0) {
        const std::wstring& text = TextAt(static_cast<size_t>(info.item.iItem), info.item.iSubItem);
        const size_t n = std::min(text.size(), static_cast<size_t>(info.item.cchTextMax) - 1);
        text.copy(info.item.pszText, n);
        info.item.pszText[n] = L'\0';
    }
    if ((info.item.mask & LVIF_IMAGE) && info.item.iItem >= 0 && static_cast<size_t>(info.item.iItem) < order_.size()) {
        const int icon = IconOf(*order_[static_cast<size_t>(info.item.iItem)]);  // the last use of this object
        info.item.iImage = icon < 0 ? I_IMAGENONE : icon;
    }
}

// ---- item handle ----

bool ListItem::valid() const { return owner_ && owner_->Find(id_) != nullptr; }

int ListItem::Index() const {
    const auto* rec = owner_ ? owner_->Find(id_) : nullptr;
    return rec ? static_cast<int>(owner_->IndexOf(rec)) + 1 : 0;
}

std::wstring ListItem::Key() const {
    const auto* rec = owner_ ? owner_->Find(id_) : nullptr;
    return rec && rec->key ? *rec->key : std::wstring();
}

Status ListItem::SetKey(std::wstring_view key) {
    auto* rec = owner_ ? owner_->Find(id_) : nullptr;
    if (!rec) return Error{ERROR_NOT_FOUND};
    if (rec->key && *rec->key == key) return {};
    auto& keys = owner_->keys_;
    if (!key.empty() && keys.find(key) != keys.end()) return Error{ERROR_ALREADY_EXISTS};
    const std::wstring* added = key.empty() ? nullptr : &keys.emplace(std::wstring(key), rec).first->first;
    if (rec->key) keys.erase(keys.find(std::wstring_view(*rec->key)));
    rec->key = added;
    return {};
}

std::wstring ListItem::Text() const { return SubItem(0); }

void ListItem::SetText(std::wstring_view text) { SetSubItem(0, text); }

std::wstring ListItem::SubItem(int n) const {
    const auto* rec = owner_ ? owner_->Find(id_) : nullptr;
    if (!rec || n < 0 || n >= std::max(owner_->ColumnCount(), 1)) return {};
    return owner_->TextAt(owner_->IndexOf(rec), n);
}

void ListItem::SetSubItem(int n, std::wstring_view text) {
    auto* rec = owner_ ? owner_->Find(id_) : nullptr;
    if (!rec || n < 0 || n >= std::max(owner_->ColumnCount(), 1)) return;
    const auto at = static_cast<size_t>(n);
    if (at < rec->texts.size() && rec->texts[at] == text) return;
    if (rec->texts.size() <= at) rec->texts.resize(at + 1);
    rec->texts[at].assign(text);
    if (rec->sortKeyColumn == n) rec->sortKeyColumn = -1;
    owner_->BeginBatch();
    // The control asks for the text again when it next draws the row.
    LVITEMW item{};
    item.iSubItem = n;
    item.pszText = LPSTR_TEXTCALLBACKW;
    ::SendMessageW(owner_->hwnd(), LVM_SETITEMTEXTW, owner_->IndexOf(rec), reinterpret_cast<LPARAM>(&item));
}

int ListItem::Icon() const {
    auto* rec = owner_ ? owner_->Find(id_) : nullptr;
    return rec ? owner_->IconOf(*rec) : -1;
}

void ListItem::SetIcon(int icon) {
    auto* rec = owner_ ? owner_->Find(id_) : nullptr;
    if (!rec) return;
    if (icon < 0) icon = -1;
    if (rec->icon == icon) return;
    rec->icon = icon;
    LVITEMW item{};
    item.mask = LVIF_IMAGE;
    item.iItem = static_cast<int>(owner_->IndexOf(rec));
    item.iImage = icon < 0 ? I_IMAGENONE : icon;
    owner_->BeginBatch();
    ::SendMessageW(owner_->hwnd(), LVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&item));
}

int ListItem::Group() const {
    const auto* rec = owner_ ? owner_->Find(id_) : nullptr;
    return rec ? rec->group : 0;
}

void ListItem::SetGroup(int group) {
    auto* rec = owner_ ? owner_->Find(id_) : nullptr;
    if (!rec || group < 0) return;
    const auto& groups = owner_->groups_;
    if (group != 0 && std::none_of(groups.begin(), groups.end(), [&](const auto& g) { return g.id == group; }))
        return;
    rec->group = group;
    if (!owner_->groupsSupported_) return;
    LVITEMW item{};
    item.mask = LVIF_GROUPID;
    item.iItem = static_cast<int>(owner_->IndexOf(rec));
    item.iGroupId = group == 0 ? I_GROUPIDNONE : group;
    ::SendMessageW(owner_->hwnd(), LVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&item));
}

std::wstring ListItem::ToolTipText() const {
    const auto* rec = owner_ ? owner_->Find(id_) : nullptr;
    return rec ? rec->tip : std::wstring();
}

void ListItem::SetToolTipText(std::wstring_view text) {
    if (auto* rec = owner_ ? owner_->Find(id_) : nullptr) rec->tip.assign(text);
}

bool ListItem::Selected() const {
    const auto* rec = owner_ ? owner_->Find(id_) : nullptr;
    if (!rec) return false;
    return ::SendMessageW(owner_->hwnd(), LVM_GETITEMSTATE, owner_->IndexOf(rec), LVIS_SELECTED) != 0;
}

void ListItem::SetSelected(bool selected) {
    const auto* rec = owner_ ? owner_->Find(id_) : nullptr;
    if (!rec) return;
    LVITEMW item{};
    item.stateMask = selected ? LVIS_SELECTED | LVIS_FOCUSED : LVIS_SELECTED;
    item.state = selected ? LVIS_SELECTED | LVIS_FOCUSED : 0;
    ::SendMessageW(owner_->hwnd(), LVM_SETITEMSTATE, owner_->IndexOf(rec), reinterpret_cast<LPARAM>(&item));
}

void ListItem::EnsureVisible() {
    const auto* rec = owner_ ? owner_->Find(id_) : nullptr;
    if (!rec) return;
    // Scrolling needs the control's layout up to date.
    owner_->EndBatch();
    ::SendMessageW(owner_->hwnd(), LVM_ENSUREVISIBLE, owner_->IndexOf(rec), FALSE);
}

// ---- groups ----

int ListView::AddGroup(std::wstring_view caption) {
    const int id = nextGroupId_++;
    groups_.insert(groups_.begin(), GroupRecord{id, std::wstring(caption)});
    if (groupsSupported_ && list_) {
        std::wstring header(caption);
        LVGROUP group{};
        group.cbSize = sizeof(group);
        group.mask = LVGF_HEADER | LVGF_GROUPID;
        group.pszHeader = header.data();
        group.iGroupId = id;
        ::SendMessageW(list_, LVM_INSERTGROUP, 0, reinterpret_cast<LPARAM>(&group));
    }
    return id;
}

std::vector<std::wstring> ListView::GroupCaptions() const {
    std::vector<std::wstring> captions;
    captions.reserve(groups_.size());
    for (const auto& g : groups_) captions.push_back(g.caption);
    return captions;
}

void ListView::ClearGroups() {
    groups_.clear();
    for (auto& [id, rec] : records_) rec.group = 0;
    if (groupsSupported_ && list_) ::SendMessageW(list_, LVM_REMOVEALLGROUPS, 0, 0);
}

void ListView::EnableGroups(bool enable) {
    if (!groupsSupported_ || !list_) return;
    ::SendMessageW(list_, LVM_ENABLEGROUPVIEW, enable ? TRUE : FALSE, 0);
    groupsEnabled_ = ::SendMessageW(list_, LVM_ISGROUPVIEWENABLED, 0, 0) != 0;
}

}  // namespace ardmoor
