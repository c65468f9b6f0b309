// Sorting a ListView by one column's settings.
#include <windows.h>
#include <oleauto.h>

#include <algorithm>
#include <numeric>

#include "controls/list_view/list_view.h"

namespace ardmoor {

namespace {

// A number or date read from a cell; cells that are neither sort before all that are.
struct Value {
    bool ok = false;
    double v = 0;
};

// The conversion functions take a non-const pointer but only read the text.
OLECHAR* OleText(const std::wstring& text) { return const_cast<OLECHAR*>(text.c_str()); }

Value ParseNumber(const std::wstring& text) {
    Value out;
    if (text.empty()) return out;
    // The user's locale decides the separators, so "1,234,567" and "1.234.567" both read back.
    out.ok = SUCCEEDED(::VarR8FromStr(OleText(text), LOCALE_USER_DEFAULT, 0, &out.v));
    return out;
}

Value ParseDate(const std::wstring& text) {
    Value out;
    if (text.empty()) return out;
    DATE d = 0;
    out.ok = SUCCEEDED(::VarDateFromStr(OleText(text), LOCALE_USER_DEFAULT, 0, &d));
    out.v = d;
    return out;
}

int CompareValues(const Value& a, const Value& b) {
    if (a.ok != b.ok) return a.ok ? 1 : -1;
    if (!a.ok || a.v == b.v) return 0;
    return a.v < b.v ? -1 : 1;
}

// The user's collation without regard to case, as CompareStringEx would compare two texts; made
// once per text, so that a sort compares bytes.
std::string SortKey(const std::wstring& text) {
    const int len = static_cast<int>(text.size());
    const int need = ::LCMapStringEx(LOCALE_NAME_USER_DEFAULT, LCMAP_SORTKEY | NORM_IGNORECASE, text.c_str(), len,
                                     nullptr, 0, nullptr, nullptr, 0);
    std::string key(static_cast<size_t>(std::max(need, 0)), '\0');
    if (need > 0 && ::LCMapStringEx(LOCALE_NAME_USER_DEFAULT, LCMAP_SORTKEY | NORM_IGNORECASE, text.c_str(), len,
                                    reinterpret_cast<LPWSTR>(key.data()), need, nullptr, nullptr, 0) == 0)
        key.clear();
    return key;
}

// Texts that collate the same compare equal, so that they keep their order.
int CompareTexts(const std::string& keyA, const std::string& keyB) {
    const int r = keyA.compare(keyB);
    return r < 0 ? -1 : (r > 0 ? 1 : 0);
}

}  // namespace

// Once the new order is known, the control is told to sort by it: each row's lParam is its
// record, whose pos already holds its place.
int CALLBACK ListView::CompareByPlace(LPARAM a, LPARAM b, LPARAM) {
    const size_t pa = reinterpret_cast<const ItemRecord*>(a)->pos;
    const size_t pb = reinterpret_cast<const ItemRecord*>(b)->pos;
    return pa < pb ? -1 : (pa > pb ? 1 : 0);
}

int ListView::SortColumn() const {
    int best = -1;
    for (size_t i = 0; i < columns_.size(); ++i) {
        const auto& c = columns_[i];
        if (c.sortOrder != list_view::kSortNone && (best < 0 || c.orderStamp > columns_[best].orderStamp))
            best = static_cast<int>(i);
    }
    return best;
}

void ListView::Sort() {
    const int column = SortColumn();
    if (!list_ || column < 0) return;
    const ColumnRecord& col = columns_[column];
    const size_t n = order_.size();

    std::vector<size_t> perm(n);
    std::iota(perm.begin(), perm.end(), size_t{0});
    if (col.sortType == list_view::kSortText) {
        for (size_t i = 0; i < n; ++i) {
            ItemRecord* rec = order_[i];
            if (rec->sortKeyColumn == column) continue;
            rec->sortKey = SortKey(TextAt(i, column));
            rec->sortKeyColumn = column;
        }
        std::stable_sort(perm.begin(), perm.end(), [&](size_t a, size_t b) {
            const int r = CompareTexts(order_[a]->sortKey, order_[b]->sortKey);
            return col.sortOrder == list_view::kSortDescending ? r > 0 : r < 0;
        });
    } else {
        std::vector<Value> values(n);
        for (size_t i = 0; i < n; ++i)
            values[i] = col.sortType == list_view::kSortDate ? ParseDate(TextAt(i, column)) : ParseNumber(TextAt(i, column));
        std::stable_sort(perm.begin(), perm.end(), [&](size_t a, size_t b) {
            const int r = CompareValues(values[a], values[b]);
            return col.sortOrder == list_view::kSortDescending ? r > 0 : r < 0;
        });
    }

    std::vector<ItemRecord*> sorted(n);
    for (size_t i = 0; i < n; ++i) {
        sorted[i] = order_[perm[i]];
        sorted[i]->pos = i;
    }
    order_.swap(sorted);
    posValid_ = n;
    BeginBatch();
    ::SendMessageW(list_, LVM_SORTITEMS, 0, reinterpret_cast<LPARAM>(&ListView::CompareByPlace));
    ShowSortArrow(column, col.sortOrder);
}

void ListView::ShowSortArrow(int column, int order) {
    HWND header = reinterpret_cast<HWND>(::SendMessageW(list_, LVM_GETHEADER, 0, 0));
    if (!header) return;
    for (int i = 0; i < ColumnCount(); ++i) {
        HDITEMW item{};
        item.mask = HDI_FORMAT;
        if (!::SendMessageW(header, HDM_GETITEMW, i, reinterpret_cast<LPARAM>(&item))) continue;
        item.fmt &= ~(HDF_SORTUP | HDF_SORTDOWN);
        if (i == column) item.fmt |= order == list_view::kSortDescending ? HDF_SORTDOWN : HDF_SORTUP;
        ::SendMessageW(header, HDM_SETITEMW, i, reinterpret_cast<LPARAM>(&item));
    }
}

}  // namespace ardmoor
