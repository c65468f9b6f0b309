#include "controls/cVBALSysImageList.h"

#include <shellapi.h>

#include <iterator>

namespace ardmoor {

namespace {
constexpr UINT kDrawStateDisabledIcon = DST_ICON | DSS_DISABLED;
}  // namespace

bool cVBALSysImageList::Create() {
    Destroy();
    SHFILEINFOW info{};
    UINT flags = SHGFI_SYSICONINDEX | SHGFI_USEFILEATTRIBUTES;
    if (Small()) flags |= SHGFI_SMALLICON;
    const DWORD_PTR list = ::SHGetFileInfoW(L".txt", FILE_ATTRIBUTE_NORMAL, &info, sizeof(info), flags);
    if (list == 0 || list == static_cast<DWORD_PTR>(-1)) return false;
    hIml_ = reinterpret_cast<HIMAGELIST>(list);
    return true;
}

namespace {
// The shell turns a path into an item name by name; Wine's cannot walk "..", so the file is
// named the way the file system would resolve it.
std::wstring Resolved(const std::wstring& path) {
    const DWORD need = ::GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (need == 0) return path;
    std::wstring full(need, L'\0');
    const DWORD got = ::GetFullPathNameW(path.c_str(), need, full.data(), nullptr);
    if (got == 0 || got >= need) return path;
    full.resize(got);
    return full;
}
}  // namespace

int cVBALSysImageList::ItemIndex(std::wstring_view path, bool bForceLoadFromDisk) {
    std::wstring name(path.substr(0, path.find(L'\0')));
    if (bForceLoadFromDisk && !name.empty()) name = Resolved(name);
    SHFILEINFOW info{};
    UINT flags = SHGFI_SYSICONINDEX | SHGFI_TYPENAME;
    if (Small()) flags |= SHGFI_SMALLICON;
    if (!bForceLoadFromDisk) flags |= SHGFI_USEFILEATTRIBUTES;
    const DWORD_PTR ok = ::SHGetFileInfoW(name.c_str(), FILE_ATTRIBUTE_NORMAL, &info, sizeof(info), flags);
    info.szTypeName[std::size(info.szTypeName) - 1] = L'\0';
    typeName_ = ok ? info.szTypeName : L"";
    return ok ? info.iIcon : 0;
}

UniqueIcon cVBALSysImageList::ItemPicture(int index) {
    if (!hIml_ || index < 0) return {};
    return UniqueIcon(::ImageList_GetIcon(hIml_, index, ILD_TRANSPARENT));
}

UniqueIcon cVBALSysImageList::ItemPicture(std::wstring_view path) { return ItemPicture(ItemIndex(path)); }

int cVBALSysImageList::ImageCount() const { return hIml_ ? ::ImageList_GetImageCount(hIml_) : 0; }

bool cVBALSysImageList::DrawImage(std::wstring_view path, HDC hdc, int xPixels, int yPixels,
                                  const SysImageDrawOptions& options) {
    return DrawImage(ItemIndex(path), hdc, xPixels, yPixels, options);
}

bool cVBALSysImageList::DrawImage(int index, HDC hdc, int xPixels, int yPixels,
                                  const SysImageDrawOptions& options) {
    HIMAGELIST list = options.hExternalIml ? options.hExternalIml : hIml_;
    if (!list || !hdc || index < 0) return false;
    UINT flags = ILD_TRANSPARENT;
    if (options.bSelected || options.bCut) flags |= ILD_BLEND25;
    if (options.bCut) {
        int32_t blend = TranslateColor(options.oCutDitherColour);
        if (blend == -1) blend = static_cast<int32_t>(::GetSysColor(COLOR_WINDOW));
        return ::ImageList_DrawEx(list, index, hdc, xPixels, yPixels, 0, 0, CLR_NONE, static_cast<COLORREF>(blend),
                                  flags) != FALSE;
    }
    if (options.bDisabled) {
        UniqueIcon icon(::ImageList_GetIcon(list, index, ILD_TRANSPARENT));
        if (!icon) return false;
        return ::DrawStateW(hdc, nullptr, nullptr, reinterpret_cast<LPARAM>(icon.get()), 0, xPixels, yPixels,
                            iconSizeX_, iconSizeY_, kDrawStateDisabledIcon) != FALSE;
    }
    return ::ImageList_Draw(list, index, hdc, xPixels, yPixels, flags) != FALSE;
}

int cVBALSysImageList::SystemColourDepth() {
    UniqueDc dc(::CreateDCW(L"DISPLAY", nullptr, nullptr, nullptr));
    return dc ? ::GetDeviceCaps(dc.get(), BITSPIXEL) : 0;
}

PicturePtr cVBALSysImageList::IconToPicture(UniqueIcon& icon) {
    PicturePtr picture;
    if (!icon) return picture;
    PICTDESC desc{};
    desc.cbSizeofstruct = sizeof(desc);
    desc.picType = PICTYPE_ICON;
    desc.icon.hicon = icon.get();
    if (SUCCEEDED(::OleCreatePictureIndirect(&desc, __uuidof(IPicture), TRUE,
                                             reinterpret_cast<void**>(picture.GetAddressOf()))) &&
        picture)
        icon.release();
    return picture;
}

PicturePtr cVBALSysImageList::BitmapToPicture(UniqueBitmap& bitmap) {
    PicturePtr picture;
    if (!bitmap) return picture;
    PICTDESC desc{};
    desc.cbSizeofstruct = sizeof(desc);
    desc.picType = PICTYPE_BITMAP;
    desc.bmp.hbitmap = bitmap.get();
    if (SUCCEEDED(::OleCreatePictureIndirect(&desc, __uuidof(IPicture), TRUE,
                                             reinterpret_cast<void**>(picture.GetAddressOf()))) &&
        picture)
        bitmap.release();
    return picture;
}

int32_t cVBALSysImageList::TranslateColor(OLE_COLOR clr, HPALETTE hPal) {
    COLORREF rgb = 0;
    if (FAILED(::OleTranslateColor(clr, hPal, &rgb))) return -1;
    return static_cast<int32_t>(rgb);
}

}  // namespace ardmoor
