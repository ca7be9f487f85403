#include "controls/ctlUniLabel.h"

#include <algorithm>
#include <cmath>

#include "controls/modCtlCommon_ctl.h"
#include "draw/DrawHelpers.h"
#include "draw/XPFrame.h"

namespace {

// The lines of a caption: CR LF and a lone CR both end a line.
std::vector<std::wstring_view> CaptionLines(std::wstring_view caption) {
    std::vector<std::wstring_view> lines;
    size_t start = 0;
    for (size_t i = 0; i < caption.size(); ++i) {
        if (caption[i] == L'\r') {
            lines.push_back(caption.substr(start, i - start));
            if (i + 1 < caption.size() && caption[i + 1] == L'\n') {
                ++i;
            }
            start = i + 1;
        }
    }
    lines.push_back(caption.substr(start));
    return lines;
}

template <typename Handler, typename... Args> void Raise(const Handler& handler, Args&... args) {
    if (handler) {
        handler(args...);
    }
}

} // namespace

ctlUniLabel::ctlUniLabel() noexcept : UniControl(false) {
    BindOleEvents(events);
}

ctlUniLabel::~ctlUniLabel() {
    Destroy();
}

// ---- Properties -------------------------------------------------------------------------------------

void ctlUniLabel::Relayout() {
    UpdateShape();
    RequestDrawControl();
}

void ctlUniLabel::Caption(std::wstring_view value) {
    caption_ = value;
    MarkPropertyChanged();
    SurfaceText(caption_);
    Relayout();
}

void ctlUniLabel::BackColor(int32_t value) {
    backColor_ = value;
    MarkPropertyChanged();
    RequestDrawControl();
}

void ctlUniLabel::Margin(int16_t value) {
    margin_ = value;
    MarkPropertyChanged();
    Relayout();
}

void ctlUniLabel::Style(int32_t value) {
    style_ = value;
    MarkPropertyChanged();
    RequestDrawControl();
}

void ctlUniLabel::ForeColor(int32_t value) {
    foreColor_ = value;
    MarkPropertyChanged();
    RequestDrawControl();
}

void ctlUniLabel::BorderColor(int32_t value) {
    borderColor_ = value;
    MarkPropertyChanged();
    RequestDrawControl();
}

void ctlUniLabel::Alignment(int32_t value) {
    alignment_ = value;
    MarkPropertyChanged();
    Relayout();
}

void ctlUniLabel::VAlignment(int32_t value) {
    vAlignment_ = value;
    MarkPropertyChanged();
    Relayout();
}

void ctlUniLabel::BackStyle(int32_t value) {
    backStyle_ = value;
    MarkPropertyChanged();
    Relayout();
}

void ctlUniLabel::BorderStyle(int32_t value) {
    borderStyle_ = value;
    MarkPropertyChanged();
    Relayout();
}

void ctlUniLabel::AutoSize(bool value) {
    if (value == autoSize_) {
        return;
    }
    autoSize_ = value;
    MarkPropertyChanged();
    Relayout();
}

void ctlUniLabel::OnFontChanged() {
    Relayout();
}

void ctlUniLabel::OnRoundedBordersChanged() {
    Relayout();
}

void ctlUniLabel::ReadProperties(const PropertyBag& p) noexcept {
    SkipOnError([&] { caption_ = p.ReadString("Caption", L""); });
    SkipOnError([&] { backColor_ = p.ReadLong("BackColor", kButtonFace); });
    SkipOnError([&] { foreColor_ = p.ReadLong("ForeColor", kButtonText); });
    SkipOnError([&] { borderColor_ = p.ReadLong("BorderColor", -1); });
    SkipOnError([&] { alignment_ = p.ReadLong("Alignment", 0); });
    SkipOnError([&] { vAlignment_ = p.ReadLong("VAlignment", 0); });
    SkipOnError([&] { backStyle_ = p.ReadLong("BackStyle", 1); });
    SkipOnError([&] { borderStyle_ = p.ReadLong("BorderStyle", 0); });
    SkipOnError([&] { autoSize_ = p.ReadBool("AutoSize", false); });
    ReadTip(p);
    SkipOnError([&] { style_ = p.ReadLong("Style", 0); });
    ReadEnabled(p);
    SkipOnError([&] { margin_ = p.ReadInteger("Margin", 0); });
    ReadRoundedBorders(p);
    ReadBackColorOut(p);
    ReadUseRoundRegions(p);
    ReadFont(p);
    ReadOLEDropMode(p);
    ReadMousePointer(p);
    ReadMouseIcon(p);
    SurfaceText(caption_);
    SkipOnError([&] { Relayout(); });
}

void ctlUniLabel::WriteProperties(PropertyBag& p) const noexcept {
    SkipOnError([&] { p.WriteString("Caption", caption_); });
    SkipOnError([&] { p.WriteLong("BackColor", backColor_); });
    SkipOnError([&] { p.WriteLong("ForeColor", foreColor_); });
    SkipOnError([&] { p.WriteLong("BorderColor", borderColor_); });
    SkipOnError([&] { p.WriteLong("Alignment", alignment_); });
    SkipOnError([&] { p.WriteLong("VAlignment", vAlignment_); });
    SkipOnError([&] { p.WriteLong("BackStyle", backStyle_); });
    SkipOnError([&] { p.WriteLong("BorderStyle", borderStyle_); });
    SkipOnError([&] { p.WriteBool("AutoSize", autoSize_); });
    SkipOnError([&] { p.WriteLong("Style", style_); });
    SkipOnError([&] { p.WriteLong("Margin", margin_); });
    WriteShared(p);
}

// ---- Drawing ----------------------------------------------------------------------------------------

void ctlUniLabel::UpdateShape() noexcept {
    if (backStyle_ != 0 && !UseRoundRegions()) {
        return;
    }
    if (!hwnd()) {
        return;
    }
    const WindowDC dc(hwnd());
    if (dc) {
        DrawControl(dc.get());
    }
}

void ctlUniLabel::Refresh(bool now) {
    UpdateShape();
    if (now && hwnd()) {
        const WindowDC dc(hwnd());
        if (dc) {
            DrawControl(dc.get());
            return;
        }
    }
    RequestDrawControl();
}

void ctlUniLabel::DrawControl(HDC dc) noexcept {
    if (dc) {
        DrawLabel(dc);
    }
}

void ctlUniLabel::DrawLabel(HDC external) noexcept {
    if (Drawing() || !hwnd()) {
        return;
    }
    const DrawingScope drawing(*this);
    SkipOnError([&] {
        const HDC dc = external ? external : ImageDC();
        if (dc) {
            clsFontHDC font;
            font.SetFontToDCStdFont(dc, Font());
            AutoSizeLayout(dc);
        }
    });
    if (!external) {
        // The surface may have changed size: the image follows it now that nothing draws into it.
        EnsureImageSize();
    }
    const HDC dc = external ? external : ImageDC();
    if (!dc) {
        return;
    }
    SkipOnError([&] { PaintFace(dc); });
    if (!external) {
        ShowImage();
    }
}

void ctlUniLabel::AutoSizeLayout(HDC dc) {
    if (!autoSize_) {
        return;
    }
    int w = 0;
    for (const std::wstring_view line : CaptionLines(caption_)) {
        w = std::max(w, static_cast<int>(MeasureText(dc, line, 0).cx));
    }
    if (w <= 0) {
        return;
    }
    RECT area{0, 0, w, 1};
    ::DrawTextW(dc, caption_.c_str(), static_cast<int>(caption_.size()), &area, DT_CALCRECT | DT_EXPANDTABS);
    const int h = area.bottom - area.top;
    const int e = (borderStyle_ == 1 ? 4 : 0) + 2 * margin_;
    const int oldWidth = SurfaceWidth();
    if (oldWidth == w + e && SurfaceHeight() == h + e) {
        return;
    }
    const int width = w + e;
    const int height = h + e;

    // Keep the anchor: the left edge, the centre or the right edge as Alignment says.
    UINT flags = SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOMOVE;
    POINT place{};
    SkipOnError([&] {
        RECT frame{};
        if (!::GetWindowRect(hwnd(), &frame)) {
            return;
        }
        place = POINT{frame.left, frame.top};
        ::MapWindowPoints(nullptr, ::GetParent(hwnd()), &place, 1);
        int left = place.x;
        if (alignment_ == 2) {
            left += static_cast<int>(std::lrint((oldWidth - width) / 2.0));
        } else if (alignment_ == 1) {
            left += oldWidth - width;
        }
        if (left != place.x) {
            place.x = left;
            flags &= ~static_cast<UINT>(SWP_NOMOVE);
        }
    });
    ::SetWindowPos(hwnd(), nullptr, place.x, place.y, width, height, flags);
}

void ctlUniLabel::PaintFace(HDC dc) {
    // The surface's fore colour follows the enabled state.
    SkipOnError([&] {
        if (!Enabled()) {
            if (SurfaceForeColor() != kGrayText) {
                SurfaceForeColor(kGrayText);
            }
        } else if (SurfaceForeColor() != foreColor_) {
            SurfaceForeColor(foreColor_);
        }
    });
    const int width = SurfaceWidth();
    const int height = SurfaceHeight();
    RECT r{0, 0, width, height};

    SkipOnError([&] {
        if (backStyle_ != 0) {
            DrawXPFrame(dc, r, backColor_, borderStyle_ == 1, borderColor_, false, false, false, false,
                        RoundedBorders(), style_, BackColorOut(), true);
        } else {
            FillOrFrameRect(dc, r, backColor_, true);
        }
    });

    int inset = 0;
    if (borderStyle_ == 1) {
        inset = autoSize_ ? margin_ + 2 : 2;
    } else if (autoSize_) {
        inset = margin_;
    }
    ::InflateRect(&r, -inset, -inset);

    clsFontHDC font;
    SkipOnError([&] { font.SetFontToDCStdFont(dc, Font()); });

    if (!autoSize_ && vAlignment_ != 0) {
        SkipOnError([&] {
            const int h = MeasureTextInRect(dc, caption_, 0, 0, width, height, DT_EXPANDTABS).cy;
            r.top = vAlignment_ == 1 ? static_cast<int>(std::lrint((r.bottom - h) / 2.0)) : r.bottom - h;
            r.top = std::max(0L, r.top);
        });
    }

    UINT flags = DT_EXPANDTABS;
    if (!autoSize_) {
        flags |= DT_WORDBREAK;
    }
    if (alignment_ == 2) {
        flags |= DT_CENTER;
    } else if (alignment_ == 1) {
        flags |= DT_RIGHT;
    }

    if (backStyle_ == 0) {
        // The text mask: the caption in white on black; only its pixels stay part of the window.
        SkipOnError([&] {
            clsMEMDC mask;
            mask.CreateDC(width, height);
            mask.DrawBackColor(0);
            mask.BkColor(0);
            {
                clsFontHDC maskFont;
                maskFont.SetFontToDCStdFont(mask.hDC(), Font());
                ::SetBkMode(mask.hDC(), TRANSPARENT);
                DrawColoredText(mask.hDC(), caption_, r, 0xFFFFFF, flags);
            }
            const ::Picture picture = mask.Picture();
            ApplyMask(picture.bitmap());
        });
    } else if (UseRoundRegions()) {
        RoundedMask();
    } else {
        MakeOpaque();
    }

    SkipOnError([&] {
        ::SetBkMode(dc, TRANSPARENT);
        DrawColoredText(dc, caption_, r, SurfaceForeColor(), flags);
    });
}

// ---- Input ------------------------------------------------------------------------------------------

void ctlUniLabel::SurfaceMouseDown(int16_t button, int16_t shift, float x, float y) {
    Raise(events.MouseDown, button, shift, x, y);
}

void ctlUniLabel::SurfaceMouseMove(int16_t button, int16_t shift, float x, float y) {
    if (AmbientUserMode()) {
        ShowTip(Tip(), 300);
    }
    Raise(events.MouseMove, button, shift, x, y);
}

void ctlUniLabel::SurfaceMouseUp(int16_t button, int16_t shift, float x, float y) {
    Raise(events.MouseUp, button, shift, x, y);
}

void ctlUniLabel::SurfaceClick() {
    Raise(events.Click);
}

void ctlUniLabel::SurfaceDblClick() {
    Raise(events.DblClick);
}

void ctlUniLabel::SurfaceResized() {
    if (!Drawing()) {
        RequestDrawControl();
    }
    Raise(events.Resize);
}
