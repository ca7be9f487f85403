#pragma once
// The image button: a push button with a Unicode caption and an optional picture on a drawn face
// (DrawXPFrame). It can be a toggle button (Tristate), shows a pressed look while the left mouse
// button is held after a press on it, the default-button or cancel-button mark, a focus rectangle,
// and a grey caption and greyed picture when disabled.
//
// Usage: construct (with the control's name, the caption's default), Create(parent, rect, properties),
// hook events.Click. Names in the property set are those of the setters ("Caption", "ImagePos", ...),
// matched without regard to case.
//
// Keyboard. The surface is a tab stop and its window text is the caption, so a form whose message loop
// passes its messages through IsDialogMessageW gets the usual dialog keys:
// - Tab and Shift+Tab move the focus between the form's tab stops;
// - the caption's access key ("&C"; "&&" is a literal ampersand), with Alt or, while the focus is on a
//   button, alone, clicks the enabled button;
// - Space clicks the focused button when it is released, Enter at once (KeyPress sees both first and
//   can cancel the click by setting keyAscii to 0);
// - Enter (while the focused control does not take it) and Escape click the form's default and cancel
//   button. A form marks them with the Default and Cancel properties (or "Default"/"Cancel" in the
//   property set) and passes the WM_COMMAND that the dialog manager sends it for these keys (IDOK,
//   IDCANCEL) to RouteDialogCommand.
// Without IsDialogMessageW the focused button still takes Space and Enter.
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "controls/UniControl.h"

// The button's events, in declaration order; button, shift, x and y as in UniControl, keyCode a
// virtual-key code, keyAscii a UTF-16 code unit.
struct ButtonEvents : OleEvents {
    std::function<void()> Click;
    std::function<void()> DblClick;
    std::function<void(int16_t& keyCode, int16_t& shift)> KeyDown;
    std::function<void(int16_t& keyAscii)> KeyPress;
    std::function<void(int16_t& keyCode, int16_t& shift)> KeyUp;
    std::function<void(int16_t& button, int16_t& shift, float& x, float& y)> MouseDown;
    std::function<void(int16_t& button, int16_t& shift, float& x, float& y)> MouseMove;
    std::function<void(int16_t& button, int16_t& shift, float& x, float& y)> MouseUp;
    std::function<void()> Resize;
};

class ctlUniButtonImageXP : public UniControl {
public:
    explicit ctlUniButtonImageXP(std::wstring_view name = {});
    ~ctlUniButtonImageXP() override;

    ButtonEvents events;

    [[nodiscard]] const std::wstring& Name() const noexcept { return name_; }

    // DrawXPFrame style 0..8, -1 = 3.
    [[nodiscard]] int32_t Style() const noexcept { return style_; }
    void Style(int32_t value);
    // The picture pixel whose colour is transparent when TransparencyType is 0.
    [[nodiscard]] int32_t xTranspColor() const noexcept { return xTranspColor_; }
    void xTranspColor(int32_t value);
    [[nodiscard]] int32_t yTranspColor() const noexcept { return yTranspColor_; }
    void yTranspColor(int32_t value);
    // -1 the picture is opaque; 1 TransparentColor is left out; any other value the colour of the
    // picture's pixel (xTranspColor, yTranspColor) is.
    [[nodiscard]] int32_t TransparencyType() const noexcept { return transparencyType_; }
    void TransparencyType(int32_t value);
    [[nodiscard]] int32_t TransparentColor() const noexcept { return transparentColor_; }
    void TransparentColor(int32_t value);
    // Face colour (default button face).
    [[nodiscard]] int32_t BackColor() const noexcept { return backColor_; }
    void BackColor(int32_t value);
    // Toggle button: every click inverts Pressed (before Click is raised).
    [[nodiscard]] bool Tristate() const noexcept { return tristate_; }
    void Tristate(bool value);
    // The toggle state; drawn pressed only while Tristate is on.
    [[nodiscard]] bool Pressed() const noexcept { return pressed_; }
    void Pressed(bool value);
    // Caption colour while enabled (disabled buttons draw grey).
    [[nodiscard]] int32_t ForeColor() const noexcept { return foreColor_; }
    void ForeColor(int32_t value);
    // Border colour; -1 automatic.
    [[nodiscard]] int32_t BorderColor() const noexcept { return borderColor_; }
    void BorderColor(int32_t value);
    // Draw the focus rectangle while focused.
    [[nodiscard]] bool ShowFocus() const noexcept { return showFocus_; }
    void ShowFocus(bool value);
    // The text, also the surface's window text; "&" marks the access key.
    [[nodiscard]] const std::wstring& Caption() const noexcept { return caption_; }
    void Caption(std::wstring_view value);
    // The caption's access key as written in it (0: none).
    [[nodiscard]] wchar_t AccessKey() const noexcept { return accessKey_; }
    [[nodiscard]] const PicturePtr& Picture() const noexcept { return picture_; }
    void Picture(PicturePtr value);
    // Layout of picture and caption: 0 picture above the caption, 1 picture left of it, 2 caption left
    // of the picture, 3 caption above it (these four centre the pair), 4 both centred over each
    // other, 5 picture at the top edge, 6 and 10 at the left edge, 7 and 11 at the right edge (the
    // caption aligned towards the picture for 6 and 7, centred for 10 and 11), 8 at the bottom edge.
    // Any other value lays nothing out: neither caption nor picture shows.
    [[nodiscard]] int32_t ImagePos() const noexcept { return imagePos_; }
    void ImagePos(int32_t value);
    // true: a double click raises DblClick; false: it counts as one more click.
    [[nodiscard]] bool DblClickEvent() const noexcept { return dblClickEvent_; }
    void DblClickEvent(bool value);
    // Reads Pressed. Setting true clicks the button (toggling a Tristate one); false does nothing.
    [[nodiscard]] bool Value() const noexcept { return pressed_; }
    void Value(bool value);

    // The form's default button (Enter) and cancel button (Escape); marked on the face while enabled.
    // Setting one on takes it off the other buttons of the same form.
    [[nodiscard]] bool Default() const noexcept { return default_; }
    void Default(bool value);
    [[nodiscard]] bool Cancel() const noexcept { return cancel_; }
    void Cancel(bool value);
    // For the form's WM_COMMAND: IDOK clicks the form's default button, IDCANCEL its cancel button
    // (when enabled). True when the command was one of these and the form has such a button.
    static bool RouteDialogCommand(HWND form, WPARAM wParam) noexcept;

    // Requests a repaint.
    void Refresh() noexcept { RequestDrawControl(); }
    // Takes the focus look and the pressed look off as if the focus had left.
    void ForceLostFocus() noexcept;

    // Draws the whole face into dc with the button's font. Does nothing while a drawing is in progress;
    // a failing step is skipped.
    void DrawControl(HDC dc) noexcept;

    void ReadProperties(const PropertyBag& properties) noexcept override;
    void WriteProperties(PropertyBag& properties) const noexcept override;

    // Where the picture and the caption go on a face of width x height pixels for an ImagePos, with the
    // picture's size (nullopt: no picture) and whether there is a caption. measure gives the caption's
    // size word-wrapped into a rectangle's width. A part that is absent or not laid out gets an empty
    // rectangle.
    struct FaceLayout {
        RECT picture{};
        RECT caption{};
        UINT alignment = DT_CENTER; // DT_LEFT, DT_CENTER or DT_RIGHT
    };
    [[nodiscard]] static FaceLayout LayOutFace(int32_t imagePos, int width, int height, std::optional<SIZE> picture,
                                               bool hasCaption, const std::function<SIZE(const RECT&)>& measure);

protected:
    void Paint(HDC dc) noexcept override { DrawControl(dc); }
    void OnUseRoundRegionsChanged() override;
    void SurfaceMouseDown(int16_t button, int16_t shift, float x, float y) override;
    void SurfaceMouseMove(int16_t button, int16_t shift, float x, float y) override;
    void SurfaceMouseUp(int16_t button, int16_t shift, float x, float y) override;
    void SurfaceClick() override;
    void SurfaceDblClick() override;
    void SurfaceResized() override;
    bool SurfaceMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    // The roles a button plays for its form, as bits.
    static constexpr WPARAM kNoRole = 0;
    static constexpr WPARAM kDefaultRole = 1;
    static constexpr WPARAM kCancelRole = 2;

    // What a click does, from the mouse, the keys or Value.
    void ClickHandling();
    void OnKeyDown(WPARAM key);
    void OnKeyUp(WPARAM key);
    void OnChar(WPARAM code);
    void OnSetFocus();
    void UpdateAccessKey() noexcept;
    // The rounded mask while UseRoundRegions and RoundedBorders are on, else no mask.
    void UpdateShape() noexcept;
    void SetRole(WPARAM role, bool value);
    void PaintFace(HDC dc);

    std::wstring name_;
    int32_t style_ = -1;
    int32_t xTranspColor_ = 0;
    int32_t yTranspColor_ = 0;
    int32_t transparencyType_ = 0;
    int32_t transparentColor_ = -1;
    int32_t backColor_ = kButtonFace;
    bool tristate_ = false;
    bool pressed_ = false;
    int32_t foreColor_ = kButtonText;
    int32_t borderColor_ = -1;
    bool showFocus_ = true;
    std::wstring caption_;
    wchar_t accessKey_ = 0;
    PicturePtr picture_;
    int32_t imagePos_ = 0;
    bool dblClickEvent_ = false;
    bool default_ = false;
    bool cancel_ = false;

    bool hasFocus_ = false;
    bool mouseDown_ = false;
    // Space went down on the focused button and its KeyPress kept it: the release clicks.
    bool spaceArmed_ = false;
};
