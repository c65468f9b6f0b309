#pragma once
// The program's status bar: a child window hosting the system's status window, with keyed
// panels, icons, one spring panel, panels that size to their text, a simple mode, a size grip,
// and panels that show the lock keys or the date and time, kept current by a timer.
#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "controls/status_bar/status_bar_panels.h"
#include "controls/status_bar/status_bar_special.h"
#include "platform/unique_handle.h"
#include "platform/window.h"

namespace ardmoor {

// Everything AddPanel takes; every field is optional.
struct PanelOptions {
    long style = 0;  // status window drawing flags (SBT_*), or one of the kStyle* special panels
    std::wstring text;
    std::wstring toolTipText;
    long imageIndex = -1;  // into ImageList(); -1 for no icon
    long minWidth = 64;    // pixels
    bool spring = false;
    bool fitToContents = false;
    long itemData = 0;  // handed to the status window for owner-drawn panels
    std::wstring key;
    std::optional<PanelRef> keyBefore;  // insert before this panel instead of at the end
};

// The system's status-bar font at a DPI.
LOGFONTW StatusFontAt(UINT dpi);

// The colour form BackColor takes: an RGB value, or 0x80000000 | a system colour index.
inline constexpr DWORD kSystemButtonFace = 0x8000000F;

class vbalStatusBar : public Window {
public:
    vbalStatusBar();
    ~vbalStatusBar() override;

    // Creates the control along the bottom of `parent`. False when a window could not be made.
    bool Create(HWND parent, UINT id = 0);
    // Keeps the control across the bottom of its parent's client area; the parent calls it when
    // it is resized.
    void AlignToParent();
    [[nodiscard]] HWND StatusWindow() const noexcept { return status_; }

    // Panels. Members taking a PanelRef raise ComponentError "Invalid Panel Index: ..." when no
    // panel matches; AddPanel raises "Too many panels." past 255. Nothing changes when they raise.
    long AddPanel(const PanelOptions& options = {});  // returns the new panel's index
    void RemovePanel(const PanelRef& panel);
    [[nodiscard]] long PanelCount() const noexcept { return panels_.Count(); }
    [[nodiscard]] long PanelIndex(const PanelRef& panel) const { return panels_.IndexOf(panel); }

    [[nodiscard]] std::wstring PanelKey(const PanelRef& panel) const;
    void PanelKey(const PanelRef& panel, std::wstring key);
    [[nodiscard]] std::wstring PanelText(const PanelRef& panel) const;
    void PanelText(const PanelRef& panel, std::wstring text);
    [[nodiscard]] std::wstring PanelToolTipText(const PanelRef& panel) const;
    void PanelToolTipText(const PanelRef& panel, std::wstring text);
    [[nodiscard]] long PanelStyle(const PanelRef& panel) const;
    void PanelStyle(const PanelRef& panel, long style);
    // The image index; setting takes a copy of that image of ImageList() as the panel's icon.
    [[nodiscard]] long PanelIcon(const PanelRef& panel) const;
    void PanelIcon(const PanelRef& panel, long imageIndex);
    // The icon itself; the control owns it and destroys it when it is replaced or removed.
    [[nodiscard]] HICON PanelhIcon(const PanelRef& panel) const;
    void PanelhIcon(const PanelRef& panel, UniqueIcon icon);
    [[nodiscard]] bool PanelSpring(const PanelRef& panel) const;
    void PanelSpring(const PanelRef& panel, bool spring);  // setting clears it on every other panel
    [[nodiscard]] bool PanelFitToContents(const PanelRef& panel) const;
    void PanelFitToContents(const PanelRef& panel, bool fit);
    [[nodiscard]] long PanelMinWidth(const PanelRef& panel) const;
    void PanelMinWidth(const PanelRef& panel, long width);
    [[nodiscard]] long PanelIdealWidth(const PanelRef& panel) const;
    void PanelIdealWidth(const PanelRef& panel, long width);
    // The panel's outside rectangle in the status window, in pixels.
    [[nodiscard]] RECT GetPanelRect(const PanelRef& panel) const;
    void RedrawPanel(const PanelRef& panel);

    // Control-wide properties.
    [[nodiscard]] bool SimpleMode() const noexcept { return simpleMode_; }
    void SimpleMode(bool simple);
    [[nodiscard]] const std::wstring& SimpleText() const noexcept { return simpleText_; }
    void SimpleText(std::wstring text);
    [[nodiscard]] long SimpleStyle() const noexcept { return simpleStyle_; }
    void SimpleStyle(long style);
    [[nodiscard]] bool SizeGrip() const noexcept { return sizeGrip_; }
    void SizeGrip(bool grip);
    [[nodiscard]] bool Enabled() const noexcept { return enabled_; }
    void Enabled(bool enabled);
    [[nodiscard]] DWORD BackColor() const noexcept { return backColor_; }
    void BackColor(DWORD color);
    // The font's description; its height is in pixels. The default is the system's status font.
    [[nodiscard]] const LOGFONTW& Font() const noexcept { return logFont_; }
    void Font(const LOGFONTW& font);
    // Not owned. A handle that is not an image list raises ComponentError
    // "ImageList property expects ImageList object or long hImageList handle.".
    [[nodiscard]] HIMAGELIST ImageList() const noexcept { return imageList_; }
    void ImageList(HIMAGELIST imageList);
    [[nodiscard]] long wHandle() const noexcept { return wHandle_; }
    void wHandle(long value) noexcept { wHandle_ = value; }

    // Events. Button is 1 (left) or 2 (right); x and y are pixels in the status window; panel is
    // the 1-based index of the panel under the cursor, 0 when there is none. DrawItem asks the
    // host to draw an owner-drawn panel (panel 0 is the simple text).
    std::function<void(int button, int x, int y, long panel)> Click;
    std::function<void(int button, int x, int y, long panel)> DblClick;
    std::function<void(HDC dc, long panel, int left, int top, int right, int bottom)> DrawItem;
    std::function<void()> Resize;

protected:
    bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;

private:
    void OnSize();
    // Makes the control as tall as the status window; true when that resized it.
    bool FitHeight();
    void OnNotify(const NMHDR& header);
    void OnDrawItem(const DRAWITEMSTRUCT& item);
    void OnTimerTick();
    bool ForwardSizeGrip(UINT msg, WPARAM wp, LPARAM lp);

    long MeasureText(const std::wstring& text) const;
    int IconWidth() const;
    // Gives the font to the status window, then lets the previous one go.
    void UseFont(UniqueFont font);
    void ApplyBackColor();
    void SendSimpleText();
    void SendPanel(size_t index);
    void RecomputeIdealWidths();
    void Layout();
    // Ideal widths, layout, every panel's text, tip and icon, and the timer.
    void Refresh();
    void UpdateTimer();
    long PanelAtX(int x) const;
    void RaiseResize();

    StatusPanelList panels_;
    std::vector<int> edges_;  // right edges sent by the last layout
    HWND status_ = nullptr;   // child of the control; destroyed with it
    UniqueFont font_;
    LOGFONTW logFont_{};
    bool defaultFont_ = true;
    bool simpleMode_ = false;
    std::wstring simpleText_;
    long simpleStyle_ = SBT_NOBORDERS;
    bool sizeGrip_ = true;
    bool enabled_ = true;
    DWORD backColor_ = kSystemButtonFace;
    HIMAGELIST imageList_ = nullptr;
    int imageListIconWidth_ = 0;
    long wHandle_ = 0;
    bool timerRunning_ = false;
    bool fittingHeight_ = false;
};

}  // namespace ardmoor
