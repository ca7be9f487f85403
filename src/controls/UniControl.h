#pragma once
// The common base of the drawn Unicode controls (labels, image button, text box). A control is its
// surface: a child window of the hosting form at a pixel rectangle, which carries the control's
// caption as its window text (so screen readers read it) and paints the face the control draws.
//
// What every control shares lives here: the property set plumbing (ReadProperties/WriteProperties
// with per-control defaults), the drawing-in-progress flag, the repaint request, Enabled, Font, Tip,
// MousePointer/MouseIcon, OLEDropMode and OLEDrag, the rounded-corner properties and RoundedMask, the
// surface's mask (black mask pixels are cut out of the window by a window region) and, for controls
// that want one, a persistent image of the whole face that the window is painted from.
//
// Error policy: ReadProperties, WriteProperties, drawing and repaint requests skip a failing step and
// go on; no exception leaves a window procedure or an event. Property setters let errors pass.
//
// Controls always run in run mode (there is no form designer); AmbientUserMode(false) switches on the
// design-mode behaviour: every change paints at once and no tips are shown.
#include <windows.h>

#include <cstdint>
#include <string>
#include <string_view>

#include "controls/OleDragDrop.h"
#include "controls/PropertyBag.h"
#include "draw/clsFontHDC.h"
#include "draw/clsMEMDC.h"
#include "util/ErrorReport.h"
#include "winmsg/WindowBase.h"

class UniControl : public WindowBase {
public:
    // The system colour codes the controls use as defaults.
    static constexpr int32_t kButtonFace = static_cast<int32_t>(0x8000000F);
    static constexpr int32_t kButtonText = static_cast<int32_t>(0x80000012);
    static constexpr int32_t kGrayText = static_cast<int32_t>(0x80000011);
    static constexpr int32_t kInfoBackground = static_cast<int32_t>(0x80000018);
    static constexpr int32_t kInfoText = static_cast<int32_t>(0x80000017);
    // MousePointer: the custom pointer (MouseIcon).
    static constexpr int16_t kCustomPointer = 99;

    ~UniControl() override;

    // Creates the surface as a visible child of parent at rect (pixels of the parent's client area),
    // reads the properties from the set (a missing name takes the control's default; the default
    // Font is the parent's WM_GETFONT font, else MS Sans Serif 8.25) and draws. False when the window
    // cannot be made or the control already has one.
    [[nodiscard]] bool Create(HWND parent, const RECT& rect, const PropertyBag& properties);

    // Restores the properties from the set, each one on its own: one that is missing takes its
    // default, one that cannot be read keeps its value. Then the control lays itself out and repaints.
    virtual void ReadProperties(const PropertyBag& properties) noexcept = 0;
    // Writes every property under its name in its stored form (Unicode strings as UTF-16LE bytes).
    virtual void WriteProperties(PropertyBag& properties) const noexcept = 0;
    // Whether a property was set since the control was created.
    [[nodiscard]] bool PropertiesChanged() const noexcept { return propertiesChanged_; }

    // The control's repaint request: paints at once in design mode or with a persistent image,
    // otherwise invalidates the surface without erasing and lets the window system paint.
    virtual void RequestDrawControl() noexcept;

    [[nodiscard]] HWND hWnd() const noexcept { return hwnd(); }

    [[nodiscard]] bool Enabled() const noexcept { return enabled_; }
    // A different value enables or disables the surface and repaints.
    void Enabled(bool value);

    [[nodiscard]] const StdFont& Font() const noexcept { return font_; }
    // Re-lays out (where the control sizes itself) and repaints.
    void Font(const StdFont& value);
    // The font's members for changing in place; they take effect at ApplyFontChanges.
    [[nodiscard]] StdFont& EditFont() noexcept { return font_; }
    // Applies changes made through EditFont as if the font had been assigned.
    void ApplyFontChanges();

    [[nodiscard]] const std::wstring& Tip() const noexcept { return tip_; }
    // Marks the properties changed; nothing is drawn.
    void Tip(std::wstring_view value);

    // Pointer shape over the surface: 0 and 1 arrow, 2 cross, 3 I-beam, 4 icon, 5 size, 6 NE-SW, 7 N-S,
    // 8 NW-SE, 9 W-E, 10 up arrow, 11 wait, 12 no, 13 arrow and hourglass, 14 help, 15 size all,
    // 99 MouseIcon (the arrow while it is empty); any other code shows no pointer.
    [[nodiscard]] int16_t MousePointer() const noexcept { return mousePointer_; }
    void MousePointer(int16_t value);
    [[nodiscard]] const PicturePtr& MouseIcon() const noexcept { return mouseIcon_; }
    // An icon or cursor picture (a bitmap cannot be a pointer and shows the arrow).
    void MouseIcon(PicturePtr value);

    // 0 none, 1 manual: the surface accepts drops and raises OLEDragOver/OLEDragDrop. Registering
    // needs OLE on this thread; where it fails the surface simply accepts no drops.
    [[nodiscard]] int16_t OLEDropMode() const noexcept { return oleDropMode_; }
    void OLEDropMode(int16_t value);
    // Starts a drag from the surface (OLEStartDrag fills the data); returns when it ends, with the
    // effect the target chose (DROPEFFECT_NONE when none).
    int32_t OLEDrag() noexcept;

    [[nodiscard]] bool RoundedBorders() const noexcept { return roundedBorders_; }
    void RoundedBorders(bool value);
    // The colour outside rounded corners; -1 is the back colour.
    [[nodiscard]] int32_t BackColorOut() const noexcept { return backColorOut_; }
    void BackColorOut(int32_t value);
    [[nodiscard]] bool UseRoundRegions() const noexcept { return useRoundRegions_; }
    // Also sets RoundedBorders to the same value.
    void UseRoundRegions(bool value);

    // The host's user-mode indication: true at run time (always, in this program).
    [[nodiscard]] bool AmbientUserMode() const noexcept { return userMode_; }
    void AmbientUserMode(bool value) noexcept;
    // The host's ambient properties changed: repaint.
    void AmbientChanged() noexcept { RequestDrawControl(); }

    // The client size of the surface in pixels (0 before it exists).
    [[nodiscard]] int SurfaceWidth() const noexcept;
    [[nodiscard]] int SurfaceHeight() const noexcept;

protected:
    explicit UniControl(bool roundedBordersDefault) noexcept
        : roundedBordersDefault_(roundedBordersDefault), roundedBorders_(roundedBordersDefault) {}

    // Marks the property set changed (what a setter does).
    void MarkPropertyChanged() noexcept { propertiesChanged_ = true; }

    // The shared properties, for the controls' own ReadProperties/WriteProperties in their order.
    void ReadEnabled(const PropertyBag& p) noexcept;
    void ReadFont(const PropertyBag& p) noexcept;
    void ReadTip(const PropertyBag& p) noexcept;
    void ReadRoundedBorders(const PropertyBag& p) noexcept;
    void ReadBackColorOut(const PropertyBag& p) noexcept;
    void ReadUseRoundRegions(const PropertyBag& p) noexcept;
    void ReadOLEDropMode(const PropertyBag& p) noexcept;
    void ReadMousePointer(const PropertyBag& p) noexcept;
    void ReadMouseIcon(const PropertyBag& p) noexcept;
    void WriteShared(PropertyBag& p) const noexcept;

    // The events OLEDropMode and OLEDrag raise; the control binds its own event set once.
    void BindOleEvents(OleEvents& events) noexcept { oleEvents_ = &events; }

    // Sets the surface's window text (what WM_GETTEXT and screen readers read).
    void SurfaceText(std::wstring_view text) noexcept;

    // The surface's fore colour (the colour its text is drawn in).
    [[nodiscard]] int32_t SurfaceForeColor() const noexcept { return surfaceForeColor_; }
    void SurfaceForeColor(int32_t colour) noexcept { surfaceForeColor_ = colour; }

    // The drawing-in-progress flag, set by DrawingScope.
    [[nodiscard]] bool Drawing() const noexcept { return drawing_; }
    class DrawingScope {
    public:
        explicit DrawingScope(UniControl& control) noexcept : flag_(control.drawing_) { flag_ = true; }
        DrawingScope(const DrawingScope&) = delete;
        DrawingScope& operator=(const DrawingScope&) = delete;
        ~DrawingScope() { flag_ = false; }

    private:
        bool& flag_;
    };

    // Shapes the surface by a mask bitmap of its size (not selected into a DC): black pixels are cut
    // out of the window, every other pixel stays. An unchanged shape is left alone, so that shaping
    // from a paint does not ask for another paint.
    void ApplyMask(HBITMAP mask) noexcept;
    // The mask of a rounded rectangle over the whole surface (a 2 x 2 corner ellipse).
    void RoundedMask() noexcept;
    // Removes the mask: the whole surface shows again.
    void MakeOpaque() noexcept;
    [[nodiscard]] bool Masked() const noexcept { return masked_; }

    // The persistent image (set before Create): the surface is painted from an off-screen bitmap of
    // its size, with the control's font selected into its DC, and never erased.
    void UsePersistentImage() noexcept { persistentImage_ = true; }
    [[nodiscard]] bool PersistentImage() const noexcept { return persistentImage_; }
    // The image's DC (nullptr without one). Its handle changes when the surface changes size.
    [[nodiscard]] HDC ImageDC() const noexcept { return image_.hDC(); }
    // Makes the image as large as the surface (at least 1 x 1), keeping its top-left part.
    void EnsureImageSize() noexcept;
    // Copies the image to the screen now.
    void ShowImage() noexcept;

    // ---- Hooks of the controls; the defaults do what most controls do. ----
    // Paints the whole face (WM_PAINT and WM_PRINTCLIENT without a persistent image).
    virtual void Paint(HDC dc) noexcept;
    virtual void OnFontChanged() { RequestDrawControl(); }
    virtual void OnEnabledChanged() { RequestDrawControl(); }
    virtual void OnRoundedBordersChanged() { RequestDrawControl(); }
    virtual void OnUseRoundRegionsChanged() { RequestDrawControl(); }
    // Mouse input of the surface: button (1 left, 2 right, 4 middle), shift (1 Shift, 2 Ctrl, 4 Alt), x
    // and y in pixels. A click is a left press and release on the surface; the second press of a double click
    // arrives as SurfaceDblClick instead of a press.
    virtual void SurfaceMouseDown(int16_t /*button*/, int16_t /*shift*/, float /*x*/, float /*y*/) {}
    virtual void SurfaceMouseMove(int16_t /*button*/, int16_t /*shift*/, float /*x*/, float /*y*/) {}
    virtual void SurfaceMouseUp(int16_t /*button*/, int16_t /*shift*/, float /*x*/, float /*y*/) {}
    virtual void SurfaceClick() {}
    virtual void SurfaceDblClick() {}
    // The surface changed size (the persistent image already has the new size unless drawing).
    virtual void SurfaceResized() {}
    // Every message the base leaves to DefWindowProcW (creation, keys, focus, dialog codes, private
    // messages): a control that handles one stores its result and returns true.
    virtual bool SurfaceMessage(UINT, WPARAM, LPARAM, LRESULT&) { return false; }

    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) final;

private:
    void OnMouseButton(UINT msg, WPARAM wParam, LPARAM lParam);
    [[nodiscard]] bool OnSetCursor(LPARAM lParam) noexcept;
    void UpdateDropRegistration() noexcept;
    void RevokeDropTarget() noexcept;
    void BindImageFont() noexcept;
    [[nodiscard]] StdFont AmbientFont(HWND parent) const noexcept;

    const bool roundedBordersDefault_;
    bool propertiesChanged_ = false;
    bool enabled_ = true;
    StdFont font_{L"MS Sans Serif", 8.25};
    StdFont ambientFont_{L"MS Sans Serif", 8.25};
    std::wstring tip_;
    int16_t mousePointer_ = 0;
    PicturePtr mouseIcon_;
    int16_t oleDropMode_ = 0;
    bool roundedBorders_;
    int32_t backColorOut_ = -1;
    bool useRoundRegions_ = false;
    bool userMode_ = true;

    int32_t surfaceForeColor_ = kButtonText;
    bool drawing_ = false;
    bool masked_ = false;
    bool clickArmed_ = false;

    bool persistentImage_ = false;
    clsMEMDC image_;
    clsFontHDC imageFont_;

    OleEvents* oleEvents_ = nullptr;
    SurfaceDropTarget* dropTarget_ = nullptr; // registered on the surface while OLEDropMode is 1
};
