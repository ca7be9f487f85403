#include "controls/ctlUniButtonImageXP.h"

#include <cmath>
#include <cstdlib>
#include <utility>

#include "controls/modCtlCommon_ctl.h"
#include "draw/DrawHelpers.h"
#include "draw/XPFrame.h"
#include "draw/modCtlCommon_alphaImg.h"

namespace {

// The flags of every caption measurement and drawing; DT_EDITCONTROL wraps as a multi-line edit box
// does and leaves out a last line that would show only in part.
constexpr UINT kTextFlags = DT_EDITCONTROL | DT_WORDBREAK | DT_EXPANDTABS;

// How the buttons of one form find each other: wParam kQueryRole asks a surface which roles it has
// (1 default, 2 cancel, added up); kDropDefault and kDropCancel take a role off. Other surfaces
// answer 0 through DefWindowProcW.
constexpr WPARAM kQueryRole = 0;
constexpr WPARAM kDropDefault = 1;
constexpr WPARAM kDropCancel = 2;
UINT RoleMessage() noexcept {
    static const UINT message = ::RegisterWindowMessageW(L"TrelvikButtonRole");
    return message;
}

template <typename Handler, typename... Args> void Raise(const Handler& handler, Args&... args) {
    if (handler) {
        handler(args...);
    }
}

// Halving with the remainder rounded to the nearest integer, halves to even.
LONG Half(LONG value) {
    return static_cast<LONG>(std::lrint(value / 2.0));
}

// The picture's size in pixels; nullopt when it has none that can be read.
std::optional<SIZE> PictureSize(const ::Picture& picture) {
    if (const HBITMAP bitmap = picture.bitmap()) {
        BITMAP info{};
        if (::GetObjectW(bitmap, sizeof(info), &info) != sizeof(info)) {
            return std::nullopt;
        }
        return SIZE{info.bmWidth, std::abs(info.bmHeight)};
    }
    ICONINFO info{};
    if (!picture.icon() || !::GetIconInfo(picture.icon(), &info)) {
        return std::nullopt;
    }
    const UniqueBitmap mask(info.hbmMask);
    const UniqueBitmap colour(info.hbmColor);
    BITMAP bits{};
    if (colour && ::GetObjectW(colour.get(), sizeof(bits), &bits) == sizeof(bits)) {
        return SIZE{bits.bmWidth, std::abs(bits.bmHeight)};
    }
    // A monochrome icon: the mask holds the AND and XOR halves one above the other.
    if (mask && ::GetObjectW(mask.get(), sizeof(bits), &bits) == sizeof(bits)) {
        return SIZE{bits.bmWidth, std::abs(bits.bmHeight) / 2};
    }
    return std::nullopt;
}

// The font as it must be selected into dc so that its points are points at the DPI of the window
// (a DC of a per-monitor aware process measures in the system's DPI).
StdFont FontAtWindowDpi(const StdFont& font, HWND window, HDC dc) {
    const int windowDpi = window ? static_cast<int>(::GetDpiForWindow(window)) : 0;
    const int dcDpi = ::GetDeviceCaps(dc, LOGPIXELSY);
    if (windowDpi <= 0 || dcDpi <= 0 || windowDpi == dcDpi) {
        return font;
    }
    StdFont scaled = font;
    scaled.size = font.size * windowDpi / dcDpi;
    return scaled;
}

} // namespace

ctlUniButtonImageXP::ctlUniButtonImageXP(std::wstring_view name) : UniControl(true), name_(name), caption_(name) {
    BindOleEvents(events);
    UpdateAccessKey();
}

ctlUniButtonImageXP::~ctlUniButtonImageXP() {
    Destroy();
}

// ---- Properties -------------------------------------------------------------------------------------

void ctlUniButtonImageXP::Style(int32_t value) {
    style_ = value;
    MarkPropertyChanged();
    RequestDrawControl();
}

void ctlUniButtonImageXP::xTranspColor(int32_t value) {
    xTranspColor_ = value;
    MarkPropertyChanged();
    RequestDrawControl();
}

void ctlUniButtonImageXP::yTranspColor(int32_t value) {
    yTranspColor_ = value;
    MarkPropertyChanged();
    RequestDrawControl();
}

void ctlUniButtonImageXP::TransparencyType(int32_t value) {
    transparencyType_ = value;
    MarkPropertyChanged();
    RequestDrawControl();
}

void ctlUniButtonImageXP::TransparentColor(int32_t value) {
    transparentColor_ = value;
    MarkPropertyChanged();
    RequestDrawControl();
}

void ctlUniButtonImageXP::BackColor(int32_t value) {
    backColor_ = value;
    MarkPropertyChanged();
    RequestDrawControl();
}

void ctlUniButtonImageXP::Tristate(bool value) {
    MarkPropertyChanged();
    if (value != tristate_) {
        tristate_ = value;
        RequestDrawControl();
    }
}

void ctlUniButtonImageXP::Pressed(bool value) {
    MarkPropertyChanged();
    if (value != pressed_) {
        pressed_ = value;
        RequestDrawControl();
    }
}

void ctlUniButtonImageXP::ForeColor(int32_t value) {
    foreColor_ = value;
    MarkPropertyChanged();
    RequestDrawControl();
}

void ctlUniButtonImageXP::BorderColor(int32_t value) {
    borderColor_ = value;
    MarkPropertyChanged();
    RequestDrawControl();
}

void ctlUniButtonImageXP::ShowFocus(bool value) {
    showFocus_ = value;
    MarkPropertyChanged();
    RequestDrawControl();
}

void ctlUniButtonImageXP::Caption(std::wstring_view value) {
    caption_ = value;
    UpdateAccessKey();
    SurfaceText(caption_);
    MarkPropertyChanged();
    RequestDrawControl();
}

void ctlUniButtonImageXP::Picture(PicturePtr value) {
    picture_ = std::move(value);
    MarkPropertyChanged();
    RequestDrawControl();
}

void ctlUniButtonImageXP::ImagePos(int32_t value) {
    imagePos_ = value;
    MarkPropertyChanged();
    RequestDrawControl();
}

void ctlUniButtonImageXP::DblClickEvent(bool value) {
    dblClickEvent_ = value;
    MarkPropertyChanged();
}

void ctlUniButtonImageXP::Value(bool value) {
    if (value) {
        ClickHandling();
    }
}

void ctlUniButtonImageXP::Default(bool value) {
    SetRole(kDefaultRole, value);
    MarkPropertyChanged();
    RequestDrawControl();
}

void ctlUniButtonImageXP::Cancel(bool value) {
    SetRole(kCancelRole, value);
    MarkPropertyChanged();
    RequestDrawControl();
}

void ctlUniButtonImageXP::SetRole(WPARAM role, bool value) {
    if (value && hwnd()) {
        // One default and one cancel button per form.
        const WPARAM drop = role == kDefaultRole ? kDropDefault : kDropCancel;
        for (HWND sibling = ::GetWindow(::GetParent(hwnd()), GW_CHILD); sibling;
             sibling = ::GetWindow(sibling, GW_HWNDNEXT)) {
            if (sibling != hwnd()) {
                ::SendMessageW(sibling, RoleMessage(), drop, 0);
            }
        }
    }
    (role == kDefaultRole ? default_ : cancel_) = value;
}

bool ctlUniButtonImageXP::RouteDialogCommand(HWND form, WPARAM wParam) noexcept {
    if (HIWORD(wParam) != 0) {
        return false;
    }
    const WPARAM role = LOWORD(wParam) == IDOK ? kDefaultRole : LOWORD(wParam) == IDCANCEL ? kCancelRole : kNoRole;
    if (role == kNoRole || !form) {
        return false;
    }
    for (HWND child = ::GetWindow(form, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        if (static_cast<WPARAM>(::SendMessageW(child, RoleMessage(), kQueryRole, 0)) & role) {
            ::SendMessageW(child, BM_CLICK, 0, 0); // clicks only while enabled
            return true;
        }
    }
    return false;
}

void ctlUniButtonImageXP::UpdateAccessKey() noexcept {
    accessKey_ = 0;
    for (size_t i = 0; i + 1 < caption_.size(); ++i) {
        if (caption_[i] != L'&') {
            continue;
        }
        if (caption_[i + 1] != L'&') {
            accessKey_ = caption_[i + 1];
            return;
        }
        ++i; // "&&" is a literal ampersand
    }
}

void ctlUniButtonImageXP::OnUseRoundRegionsChanged() {
    SurfaceResized();
}

void ctlUniButtonImageXP::ReadProperties(const PropertyBag& p) noexcept {
    SkipOnError([&] { picture_ = p.ReadPicture("Picture"); });
    ReadEnabled(p);
    ReadFont(p);
    SkipOnError([&] { caption_ = p.ReadString("Caption", name_); });
    UpdateAccessKey();
    SkipOnError([&] { backColor_ = p.ReadLong("BackColor", kButtonFace); });
    SkipOnError([&] { foreColor_ = p.ReadLong("ForeColor", kButtonText); });
    SkipOnError([&] { borderColor_ = p.ReadLong("BorderColor", -1); });
    SkipOnError([&] { showFocus_ = p.ReadBool("ShowFocus", true); });
    SkipOnError([&] { tristate_ = p.ReadBool("Tristate", false); });
    SkipOnError([&] { pressed_ = p.ReadBool("Pressed", false); });
    ReadTip(p);
    SkipOnError([&] { style_ = p.ReadLong("Style", -1); });
    ReadRoundedBorders(p);
    ReadBackColorOut(p);
    ReadUseRoundRegions(p);
    SkipOnError([&] { transparencyType_ = p.ReadLong("TransparencyType", 0); });
    SkipOnError([&] { transparentColor_ = p.ReadLong("TransparentColor", -1); });
    SkipOnError([&] { xTranspColor_ = p.ReadInteger("xTranspColor", 0); });
    SkipOnError([&] { yTranspColor_ = p.ReadInteger("yTranspColor", 0); });
    SkipOnError([&] { imagePos_ = p.ReadLong("ImagePos", 0); });
    ReadOLEDropMode(p);
    ReadMousePointer(p);
    ReadMouseIcon(p);
    SkipOnError([&] { dblClickEvent_ = p.ReadBool("DblClickEvent", false); });
    // The form's choice of its default and cancel buttons, stored with the button.
    SkipOnError([&] { SetRole(kDefaultRole, p.ReadBool("Default", false)); });
    SkipOnError([&] { SetRole(kCancelRole, p.ReadBool("Cancel", false)); });
    SurfaceText(caption_);
    UpdateShape();
    RequestDrawControl();
}

void ctlUniButtonImageXP::WriteProperties(PropertyBag& p) const noexcept {
    SkipOnError([&] { p.WritePicture("Picture", picture_); });
    SkipOnError([&] { p.WriteString("Caption", caption_); });
    SkipOnError([&] { p.WriteLong("BackColor", backColor_); });
    SkipOnError([&] { p.WriteLong("ForeColor", foreColor_); });
    SkipOnError([&] { p.WriteLong("BorderColor", borderColor_); });
    SkipOnError([&] { p.WriteBool("ShowFocus", showFocus_); });
    SkipOnError([&] { p.WriteBool("Tristate", tristate_); });
    SkipOnError([&] { p.WriteBool("Pressed", pressed_); });
    SkipOnError([&] { p.WriteLong("Style", style_); });
    SkipOnError([&] { p.WriteLong("TransparencyType", transparencyType_); });
    SkipOnError([&] { p.WriteLong("TransparentColor", transparentColor_); });
    // Stored in 16 bits.
    SkipOnError([&] { p.WriteLong("xTranspColor", static_cast<int16_t>(xTranspColor_)); });
    SkipOnError([&] { p.WriteLong("yTranspColor", static_cast<int16_t>(yTranspColor_)); });
    SkipOnError([&] { p.WriteLong("ImagePos", imagePos_); });
    SkipOnError([&] { p.WriteBool("DblClickEvent", dblClickEvent_); });
    SkipOnError([&] { p.WriteBool("Default", default_); });
    SkipOnError([&] { p.WriteBool("Cancel", cancel_); });
    WriteShared(p);
}

// ---- Drawing ----------------------------------------------------------------------------------------

ctlUniButtonImageXP::FaceLayout ctlUniButtonImageXP::LayOutFace(int32_t imagePos, int width, int height,
                                                                std::optional<SIZE> picture, bool hasCaption,
                                                                const std::function<SIZE(const RECT&)>& measure) {
    const LONG W = width;
    const LONG H = height;
    FaceLayout out;
    if (!picture && !hasCaption) {
        return out;
    }
    if (!hasCaption) {
        out.picture = RECT{0, 0, W, H};
        return out;
    }
    if (!picture) {
        out.caption = RECT{1, 1, W - 1, H - 1};
        const LONG th = measure(out.caption).cy;
        out.caption.top = Half(H - th);
        return out;
    }

    const LONG pw = picture->cx;
    const LONG ph = picture->cy;
    bool besidePicture = false; // the caption shares the width with the picture
    switch (imagePos) {
    case 1:
    case 2:
    case 6:
    case 7:
    case 10:
    case 11:
        besidePicture = true;
        break;
    case 0:
    case 3:
    case 4:
    case 5:
    case 8:
        break;
    default:
        return out; // nothing is laid out
    }
    const SIZE text = measure(RECT{2, 2, besidePicture ? W - pw - 5 : W - 2, H - 2});
    const LONG tw = text.cx;
    const LONG th = text.cy;
    RECT& pic = out.picture;
    RECT& cap = out.caption;
    const LONG pairTop = Half(H - (ph + th + 3));  // a pair over each other, centred
    const LONG pairLeft = Half(W - (pw + tw + 3)); // a pair side by side, centred
    const LONG textTop = Half(H - th);             // the caption centred in the height
    switch (imagePos) {
    case 0: // picture above the caption
        pic = RECT{0, pairTop, W, pairTop + ph};
        cap = RECT{2, pic.bottom + 3, W - 2, pic.bottom + 3 + th};
        break;
    case 1: // picture left of the caption
        pic = RECT{pairLeft, 0, pairLeft + pw, H};
        cap = RECT{pic.right + 3, textTop, pic.right + 3 + tw, textTop + th};
        break;
    case 2: // caption left of the picture
        cap = RECT{pairLeft, textTop, pairLeft + tw, textTop + th};
        pic = RECT{cap.right + 3, 0, cap.right + 3 + pw, H};
        break;
    case 3: // caption above the picture
        cap = RECT{2, pairTop, W - 2, pairTop + th};
        pic = RECT{0, cap.bottom + 3, W, cap.bottom + 3 + ph};
        break;
    case 4: // both centred over each other
        pic = RECT{0, 0, W, H};
        cap = RECT{2, textTop, W - 2, H - 2};
        break;
    case 5: // picture at the top edge, caption below it
        pic = RECT{0, 2, W, ph + 2};
        cap = RECT{2, pic.bottom + 3, W - 2, pic.bottom + 3 + th};
        break;
    case 6:
    case 10: // picture at the left edge
        pic = RECT{2, 0, pw + 2, H};
        cap = RECT{pic.right + 3, textTop, W - 2, textTop + th};
        out.alignment = imagePos == 6 ? DT_LEFT : DT_CENTER;
        break;
    case 7:
    case 11: // picture at the right edge
        pic = RECT{W - 2 - pw, 0, W - 2, H};
        cap = RECT{2, textTop, pic.left - 3, textTop + th};
        out.alignment = imagePos == 7 ? DT_RIGHT : DT_CENTER;
        break;
    case 8: // picture at the bottom edge, caption above it
        pic = RECT{0, H - 2 - ph, W, H - 2};
        cap = RECT{2, pic.top - th - 3, W - 2, pic.top - 3};
        break;
    default:
        break;
    }
    return out;
}

void ctlUniButtonImageXP::DrawControl(HDC dc) noexcept {
    if (Drawing() || !dc || !hwnd()) {
        return;
    }
    const DrawingScope drawing(*this);
    const int saved = ::SaveDC(dc); // text colour and mode go back as they were
    SkipOnError([&] { PaintFace(dc); });
    if (saved) {
        ::RestoreDC(dc, saved);
    }
}

void ctlUniButtonImageXP::PaintFace(HDC dc) {
    const int W = SurfaceWidth();
    const int H = SurfaceHeight();
    const RECT r{0, 0, W, H};
    const bool enabled = Enabled();

    SkipOnError([&] {
        DrawXPFrame(dc, r, backColor_, true, borderColor_, (tristate_ && pressed_) || mouseDown_, default_ && enabled,
                    cancel_ && enabled, hasFocus_ && enabled && showFocus_ && !mouseDown_, RoundedBorders(), style_,
                    BackColorOut(), true);
    });

    std::optional<SIZE> pictureSize;
    if (picture_ && *picture_) {
        pictureSize = PictureSize(*picture_);
    }

    clsFontHDC font;
    SkipOnError([&] { font.SetFontToDCStdFont(dc, FontAtWindowDpi(Font(), hwnd(), dc)); });

    const auto measure = [&](const RECT& area) {
        return MeasureTextInRect(dc, caption_, area.left, area.top, area.right, area.bottom, kTextFlags);
    };
    FaceLayout layout;
    SkipOnError([&] { layout = LayOutFace(imagePos_, W, H, pictureSize, !caption_.empty(), measure); });

    if (!caption_.empty() && !::IsRectEmpty(&layout.caption)) {
        SkipOnError([&] {
            ::SetBkMode(dc, TRANSPARENT);
            DrawColoredText(dc, caption_, layout.caption, enabled ? foreColor_ : kGrayText,
                            kTextFlags | layout.alignment);
        });
    }

    if (pictureSize && !::IsRectEmpty(&layout.picture)) {
        // A system colour code names the colour it stands for; -1 samples the picture's pixel.
        const int32_t transColor = transparencyType_ != 1    ? -1
                                   : transparentColor_ == -1 ? -1
                                                             : TranslateColor(transparentColor_);
        DrawPictureInRect(dc, layout.picture, !enabled, picture_.get(), transparencyType_ != -1, pictureSize->cx,
                          pictureSize->cy, xTranspColor_, yTranspColor_, transColor);
    }
}

void ctlUniButtonImageXP::UpdateShape() noexcept {
    if (UseRoundRegions() && RoundedBorders()) {
        RoundedMask();
    } else {
        MakeOpaque();
    }
}

// ---- Input ------------------------------------------------------------------------------------------

void ctlUniButtonImageXP::ClickHandling() {
    if (!Enabled()) {
        return; // e.g. disabled by a MouseDown handler before the release
    }
    if (tristate_) {
        pressed_ = !pressed_;
        RequestDrawControl();
    }
    Raise(events.Click);
}

void ctlUniButtonImageXP::SurfaceMouseDown(int16_t button, int16_t shift, float x, float y) {
    if (button == 1 && ::GetFocus() != hwnd()) {
        ::SetFocus(hwnd()); // a button takes the focus when it is pressed
    }
    mouseDown_ = button == 1;
    RequestDrawControl();
    Raise(events.MouseDown, button, shift, x, y);
}

void ctlUniButtonImageXP::SurfaceMouseMove(int16_t button, int16_t shift, float x, float y) {
    if (AmbientUserMode()) {
        ShowTip(Tip(), 300);
        // Follows the button only: pressed off the face and still held, the button stays pressed.
        mouseDown_ = button == 1;
    }
    Raise(events.MouseMove, button, shift, x, y);
}

void ctlUniButtonImageXP::SurfaceMouseUp(int16_t button, int16_t shift, float x, float y) {
    mouseDown_ = false;
    RequestDrawControl();
    Raise(events.MouseUp, button, shift, x, y);
}

void ctlUniButtonImageXP::SurfaceClick() {
    ClickHandling();
}

void ctlUniButtonImageXP::SurfaceDblClick() {
    if (dblClickEvent_) {
        Raise(events.DblClick);
    } else {
        ClickHandling();
    }
}

void ctlUniButtonImageXP::SurfaceResized() {
    UpdateShape();
    if (!Drawing()) {
        RequestDrawControl();
    }
    Raise(events.Resize);
}

void ctlUniButtonImageXP::OnKeyDown(WPARAM key) {
    auto keyCode = static_cast<int16_t>(key);
    auto shift = static_cast<int16_t>(ShiftState());
    Raise(events.KeyDown, keyCode, shift);
}

void ctlUniButtonImageXP::OnKeyUp(WPARAM key) {
    auto keyCode = static_cast<int16_t>(key);
    auto shift = static_cast<int16_t>(ShiftState());
    Raise(events.KeyUp, keyCode, shift);
    if (key == VK_SPACE && std::exchange(spaceArmed_, false)) {
        ClickHandling();
    }
}

void ctlUniButtonImageXP::OnChar(WPARAM code) {
    auto keyAscii = static_cast<int16_t>(code);
    Raise(events.KeyPress, keyAscii);
    if (keyAscii == 32 && code == L' ') {
        // The Space key clicks when it is released, so that holding it (which repeats) clicks once.
        spaceArmed_ = true;
    } else if (keyAscii == 32 || keyAscii == 13) {
        ClickHandling();
    }
}

void ctlUniButtonImageXP::OnSetFocus() {
    hasFocus_ = true;
    if (showFocus_) {
        RequestDrawControl();
    }
}

void ctlUniButtonImageXP::ForceLostFocus() noexcept {
    spaceArmed_ = false;
    if (hasFocus_) {
        hasFocus_ = false;
        mouseDown_ = false;
        RequestDrawControl();
    }
}

bool ctlUniButtonImageXP::SurfaceMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if (msg == RoleMessage() && RoleMessage() != 0) {
        if (wParam == kQueryRole) {
            result = (default_ ? kDefaultRole : 0) | (cancel_ ? kCancelRole : 0);
        } else if (wParam == kDropDefault && default_) {
            Default(false);
        } else if (wParam == kDropCancel && cancel_) {
            Cancel(false);
        }
        return true;
    }
    switch (msg) {
    case WM_CREATE:
        // A tab stop, so that the dialog manager's Tab reaches the button.
        ::SetWindowLongPtrW(hwnd(), GWL_STYLE, ::GetWindowLongPtrW(hwnd(), GWL_STYLE) | WS_TABSTOP);
        return false;
    case WM_GETDLGCODE: {
        // A push button to the dialog manager: it looks for the access key in the window text and
        // sends BM_CLICK. Enter is the focused button's own, not the form's default button's.
        result = DLGC_BUTTON | (default_ ? DLGC_DEFPUSHBUTTON : DLGC_UNDEFPUSHBUTTON);
        const auto* message = reinterpret_cast<const MSG*>(lParam);
        if (message && ((message->message == WM_KEYDOWN && message->wParam == VK_RETURN) ||
                        (message->message == WM_CHAR && message->wParam == L'\r'))) {
            result |= DLGC_WANTMESSAGE;
        }
        return true;
    }
    case BM_CLICK: // the access key, the form's default or cancel key
        ClickHandling();
        return true;
    case WM_KEYDOWN:
        OnKeyDown(wParam);
        return true;
    case WM_KEYUP:
        OnKeyUp(wParam);
        return true;
    case WM_CHAR:
        OnChar(wParam);
        return true;
    case WM_SETFOCUS:
        OnSetFocus();
        return true;
    case WM_KILLFOCUS:
        ForceLostFocus();
        return true;
    default:
        return false;
    }
}
