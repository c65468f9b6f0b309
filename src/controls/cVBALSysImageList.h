#pragma once
// The system's shared image list of file and folder icons, in its small or large size, and the
// icon index (or a copy of the icon) of any path. The list belongs to the system: nothing here
// ever destroys it.
#include <windows.h>
#include <commctrl.h>
#include <ocidl.h>
#include <olectl.h>
#include <wrl/client.h>

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/unique_handle.h"

namespace ardmoor {

using PicturePtr = Microsoft::WRL::ComPtr<IPicture>;

struct SysImageDrawOptions {
    bool bSelected = false;
    bool bCut = false;
    bool bDisabled = false;
    // Blend colour of a cut icon (an OLE colour, may name a system colour); the window colour
    // when it cannot be translated.
    OLE_COLOR oCutDitherColour = static_cast<OLE_COLOR>(-1);
    // Draw from this list instead of the system's.
    HIMAGELIST hExternalIml = nullptr;
};

class cVBALSysImageList {
public:
    // Below 32 the small list is used, from 32 the large one; read when Create runs.
    [[nodiscard]] int IconSizeX() const noexcept { return iconSizeX_; }
    void SetIconSizeX(int size) noexcept { iconSizeX_ = size; }
    [[nodiscard]] int IconSizeY() const noexcept { return iconSizeY_; }
    void SetIconSizeY(int size) noexcept { iconSizeY_ = size; }

    // True when the system's list of the chosen size was obtained.
    bool Create();
    // Forgets the handle; the list itself stays the system's.
    void Destroy() noexcept { hIml_ = nullptr; }
    // Obtains the list again.
    bool Clear() { return Create(); }
    [[nodiscard]] HIMAGELIST hIml() const noexcept { return hIml_; }

    // (Overloads share their constness so that a literal 0 picks the number, not a path.)
    // A number is an index already: returned as it is, nothing is looked up.
    [[nodiscard]] int ItemIndex(int index) noexcept { return index; }
    // The icon index of a path by its name's type alone, or (bForceLoadFromDisk) from the file
    // itself, so that a program gets its own icon. 0 when the shell cannot describe the path.
    // Sets ItemTypeName.
    int ItemIndex(std::wstring_view path, bool bForceLoadFromDisk = false);
    // Type description of the last path looked up (at most 80 characters).
    [[nodiscard]] const std::wstring& ItemTypeName() const noexcept { return typeName_; }

    // A copy of the icon at an index or for a path (by type); empty when none could be made.
    UniqueIcon ItemPicture(int index);
    UniqueIcon ItemPicture(std::wstring_view path);
    UniqueIcon ItemCopyOfIcon(int index) { return ItemPicture(index); }
    UniqueIcon ItemCopyOfIcon(std::wstring_view path) { return ItemPicture(path); }

    [[nodiscard]] int ImageCount() const;

    bool DrawImage(int index, HDC hdc, int xPixels, int yPixels, const SysImageDrawOptions& options = {});
    bool DrawImage(std::wstring_view path, HDC hdc, int xPixels, int yPixels, const SysImageDrawOptions& options = {});

    // Bits per pixel of the display.
    [[nodiscard]] static int SystemColourDepth();
    // Picture objects that own the handle from then on; empty (and the handle still owned by
    // the caller's wrapper) when none could be made.
    static PicturePtr IconToPicture(UniqueIcon& icon);
    static PicturePtr BitmapToPicture(UniqueBitmap& bitmap);
    // An OLE colour (possibly a system colour) as RGB; -1 when it cannot be translated.
    [[nodiscard]] static int32_t TranslateColor(OLE_COLOR clr, HPALETTE hPal = nullptr);

private:
    [[nodiscard]] bool Small() const noexcept { return iconSizeX_ < 32; }

    int iconSizeX_ = 16;
    int iconSizeY_ = 16;
    HIMAGELIST hIml_ = nullptr;  // the system's; never destroyed here
    std::wstring typeName_;
};

}  // namespace ardmoor
