#pragma once
// The Unicode label: a caption on a drawn face (DrawXPFrame), aligned horizontally and vertically or
// word-wrapped, optionally sized to its caption (AutoSize, keeping its left, centre or right edge in
// place as Alignment says), transparent (BackStyle 0: only the caption's pixels are part of the
// window) and clipped to rounded corners (UseRoundRegions). ctlUniLabel paints when its window is
// painted; ctlUniLabelNoFlick (ctlUniLabelNoFlick.h) draws every change at once into a persistent image.
//
// Usage: construct, Create(parent, rect, properties), hook events.Click. Names in the property set
// are those of the setters ("Caption", "AutoSize", ...), matched without regard to case.
#include <functional>
#include <string>
#include <string_view>

#include "controls/UniControl.h"

// The label's events, in declaration order; button, shift, x and y as in UniControl.
struct LabelEvents : OleEvents {
    std::function<void()> Click;
    std::function<void()> DblClick;
    std::function<void(int16_t& button, int16_t& shift, float& x, float& y)> MouseDown;
    std::function<void(int16_t& button, int16_t& shift, float& x, float& y)> MouseMove;
    std::function<void(int16_t& button, int16_t& shift, float& x, float& y)> MouseUp;
    std::function<void()> Resize;
};

class ctlUniLabel : public UniControl {
public:
    ctlUniLabel() noexcept;
    ~ctlUniLabel() override;

    LabelEvents events;

    // The text; CR LF or a lone CR break lines. Also the surface's window text.
    [[nodiscard]] const std::wstring& Caption() const noexcept { return caption_; }
    void Caption(std::wstring_view value);
    // Face colour (default button face).
    [[nodiscard]] int32_t BackColor() const noexcept { return backColor_; }
    void BackColor(int32_t value);
    // Inner margin in pixels, used only with AutoSize.
    [[nodiscard]] int16_t Margin() const noexcept { return margin_; }
    void Margin(int16_t value);
    // DrawXPFrame style 0..8, -1 = 3.
    [[nodiscard]] int32_t Style() const noexcept { return style_; }
    void Style(int32_t value);
    // Text colour while enabled (disabled labels draw grey).
    [[nodiscard]] int32_t ForeColor() const noexcept { return foreColor_; }
    void ForeColor(int32_t value);
    // Border colour; -1 automatic.
    [[nodiscard]] int32_t BorderColor() const noexcept { return borderColor_; }
    void BorderColor(int32_t value);
    // 0 left, 1 right, 2 centre.
    [[nodiscard]] int32_t Alignment() const noexcept { return alignment_; }
    void Alignment(int32_t value);
    // 0 top, 1 middle, 2 bottom; only while AutoSize is off.
    [[nodiscard]] int32_t VAlignment() const noexcept { return vAlignment_; }
    void VAlignment(int32_t value);
    // 1: a one-pixel border and the text 2 pixels in; 0 none.
    [[nodiscard]] int32_t BorderStyle() const noexcept { return borderStyle_; }
    void BorderStyle(int32_t value);
    // Sizes the label to its caption (plus 4 with a border, plus twice Margin) when it draws.
    [[nodiscard]] bool AutoSize() const noexcept { return autoSize_; }
    void AutoSize(bool value);

    // Updates the shape; with now, draws at once on the window (else, or when that fails, requests a
    // repaint).
    virtual void Refresh(bool now = false);

    // Draws the whole label into dc with the label's font: lays the label out first (AutoSize may
    // resize the surface), paints the face and the caption and shapes the surface (transparent or
    // rounded). Does nothing while a drawing is in progress; a failing step is skipped.
    void DrawControl(HDC dc) noexcept;

    void ReadProperties(const PropertyBag& properties) noexcept override;
    void WriteProperties(PropertyBag& properties) const noexcept override;

protected:
    // 1 opaque face, 0 transparent: only the caption shows. Stored and persisted by both labels;
    // public on ctlUniLabelNoFlick.
    [[nodiscard]] int32_t BackStyle() const noexcept { return backStyle_; }
    void BackStyle(int32_t value);

    // Rebuilds the mask that makes the label transparent or rounded, where there is one.
    virtual void UpdateShape() noexcept;
    // The drawing itself: into `external`, or (nullptr) into the persistent image, which it then shows.
    void DrawLabel(HDC external) noexcept;

    void Paint(HDC dc) noexcept override { DrawControl(dc); }
    void OnFontChanged() override;
    void OnRoundedBordersChanged() override;
    void SurfaceMouseDown(int16_t button, int16_t shift, float x, float y) override;
    void SurfaceMouseMove(int16_t button, int16_t shift, float x, float y) override;
    void SurfaceMouseUp(int16_t button, int16_t shift, float x, float y) override;
    void SurfaceClick() override;
    void SurfaceDblClick() override;
    void SurfaceResized() override;

private:
    // Shape update and repaint: what every layout-changing setter ends with.
    void Relayout();
    // Resizes (and for centred or right-aligned labels moves) the surface to fit the caption.
    void AutoSizeLayout(HDC dc);
    void PaintFace(HDC dc);

    std::wstring caption_;
    int32_t backColor_ = kButtonFace;
    int16_t margin_ = 0;
    int32_t style_ = 0;
    int32_t foreColor_ = kButtonText;
    int32_t borderColor_ = -1;
    int32_t alignment_ = 0;
    int32_t vAlignment_ = 0;
    int32_t backStyle_ = 1;
    int32_t borderStyle_ = 0;
    bool autoSize_ = false;
};
