#include "draw/clsFontHDC.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "core/AppError.h"
#include "draw/DrawHelpers.h"

namespace {

UniqueFont MakeFont(int height, int width, bool bold, bool italic, bool underline, bool strikeout, int16_t quality,
                    const std::wstring& faceName) {
    return UniqueFont(::CreateFontW(height, width, 0, 0, bold ? FW_BOLD : FW_NORMAL, italic ? 1 : 0, underline ? 1 : 0,
                                    strikeout ? 1 : 0, DEFAULT_CHARSET, 0, 0, static_cast<DWORD>(quality), 0,
                                    faceName.c_str()));
}

} // namespace

void clsFontHDC::Destroy() noexcept {
    if (dc_) {
        if (previousFont_) {
            ::SelectObject(dc_, previousFont_);
        }
        dc_ = nullptr;
        previousFont_ = nullptr;
    }
    font_.reset();
}

void clsFontHDC::Select(HDC dc, UniqueFont font) noexcept {
    font_ = std::move(font);
    const HGDIOBJ previous = ::SelectObject(dc, font_.get());
    if (previous && previous != HGDI_ERROR) {
        dc_ = dc;
        previousFont_ = previous;
    }
}

void clsFontHDC::SetFontToDC(HDC dc, const std::wstring& name, int16_t sizePoints, int32_t foreColor, bool bold,
                             bool italic, bool underline, bool strikeout, int16_t quality, int16_t charWeightInc,
                             bool force96Dpi) {
    if (!dc) {
        throw AppError(AppError::kToolkitError, "clsFontHDC.SetFontToDC", "Cannot use this DC!");
    }
    const int resolution = force96Dpi ? 96 : ::GetDeviceCaps(dc, LOGPIXELSY);
    // Negative: the character height (without internal leading) in pixels.
    const int height = -::MulDiv(sizePoints, resolution, 72);
    // A longer name would not fit a LOGFONT's face-name field.
    const std::wstring faceName = name.substr(0, std::min<size_t>(name.size(), LF_FACESIZE - 1));

    Destroy();
    UniqueFont font = MakeFont(height, 0, bold, italic, underline, strikeout, quality, faceName);
    if (!font) {
        return;
    }
    Select(dc, std::move(font));
    if (foreColor != -1) {
        ::SetTextColor(dc, static_cast<COLORREF>(TranslateColor(foreColor)));
    }
    if (charWeightInc != 0) {
        TEXTMETRICW metrics{};
        if (!::GetTextMetricsW(dc, &metrics)) {
            return;
        }
        // The same font made narrower or wider by asking for another average width.
        const int width = std::max(1, static_cast<int>(metrics.tmAveCharWidth) + charWeightInc);
        Destroy();
        font = MakeFont(height, width, bold, italic, underline, strikeout, quality, faceName);
        if (font) {
            Select(dc, std::move(font));
        }
    }
}

void clsFontHDC::SetFontToDCStdFont(HDC dc, const StdFont& font, int32_t foreColor, int16_t quality,
                                    int16_t charWeightInc, bool force96Dpi) {
    // Whole points, halves to even; a size beyond the 16-bit range (or not a number) is cut to it
    // rather than wrapped.
    double size = std::nearbyint(font.size);
    if (std::isnan(size)) {
        size = 0;
    }
    size = std::clamp(size, static_cast<double>(std::numeric_limits<int16_t>::min()),
                      static_cast<double>(std::numeric_limits<int16_t>::max()));
    SetFontToDC(dc, font.name, static_cast<int16_t>(size), foreColor, font.bold, font.italic, font.underline,
                font.strikethrough, quality, charWeightInc, force96Dpi);
}
