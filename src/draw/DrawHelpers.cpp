#include "draw/DrawHelpers.h"

#include <algorithm>
#include <climits>
#include <utility>
#include <vector>

namespace {

// DrawTextW and TextOutW take a pointer and an int count. An empty view may carry no pointer at
// all, and a length beyond INT_MAX must not wrap to -1 (which would mean "read up to a NUL").
const wchar_t* TextPointer(std::wstring_view text) {
    return text.empty() ? L"" : text.data();
}

int TextLength(std::wstring_view text) {
    return static_cast<int>(std::min<size_t>(text.size(), INT_MAX));
}

// One past a coordinate, saturating instead of overflowing at the edge of the 32-bit range.
int OnePast(int value) {
    return value == INT_MAX ? value : value + 1;
}

// The colours of rows (columns) start .. start + n - 1 of a gradient from colourFrom to colourTo that
// lie inside clipLow .. clipHigh - 1, and the first of them. The weight steps through the rows that
// are not returned exactly as through the others, so a partly hidden gradient shows the same colours
// as a fully visible one.
struct GradientRows {
    int64_t first = 0;
    std::vector<uint32_t> pixels; // 0x00RRGGBB, as a 32-bit DIB stores them
};
GradientRows GradientColours(int64_t start, int64_t n, int64_t clipLow, int64_t clipHigh, int32_t colourFrom,
                             int32_t colourTo) {
    GradientRows rows;
    if (n < 1) {
        return rows;
    }
    const int64_t first = std::clamp<int64_t>(clipLow - start, 0, n);
    const int64_t last = std::clamp<int64_t>(clipHigh - start, 0, n);
    if (first >= last) {
        return rows;
    }
    rows.first = start + first;
    const ColorChannels from = SplitColor(colourFrom);
    const ColorChannels to = SplitColor(colourTo);
    // Single precision on purpose: the colours of every row follow from stepping w this way.
    const float step = 1.0f / static_cast<float>(n);
    float w = 1.0f;
    for (int64_t k = 0; k < first; ++k) {
        const float next = std::max(w - step, 0.0f);
        if (next == w) {
            // w has reached 0, or the step is below half a unit of w: it will not change again.
            break;
        }
        w = next;
    }
    rows.pixels.reserve(static_cast<size_t>(last - first));
    for (int64_t k = first; k < last; ++k) {
        const ColorChannels c = GradientRowColor(from, to, w);
        rows.pixels.push_back((static_cast<uint32_t>(c.red) << 16) | (static_cast<uint32_t>(c.green) << 8) |
                              static_cast<uint32_t>(c.blue));
        w = std::max(w - step, 0.0f);
    }
    return rows;
}

// The columns (rows) a one-pixel line from a to b covers, end point excluded (a single pixel at a when
// they are equal), cut to the clip range: first and one past the last; empty when nothing is visible.
std::pair<int64_t, int64_t> LineSpan(int a, int b, int64_t clipLow, int64_t clipHigh) {
    const int64_t low = a < b ? a : a == b ? a : int64_t{b} + 1;
    const int64_t high = a < b ? b : int64_t{a} + 1;
    return {std::max(low, clipLow), std::min(high, clipHigh)};
}

// Paints a gradient strip in one call: the colours as a one-pixel-thick 32-bit DIB, stretched across
// the other axis (replicating the one pixel, so every row keeps its exact colour).
void PaintStrip(HDC dc, const GradientRows& rows, bool vertical, int64_t acrossLow, int64_t acrossHigh) {
    if (rows.pixels.empty() || acrossLow >= acrossHigh) {
        return;
    }
    const int count = static_cast<int>(rows.pixels.size());
    const int across = static_cast<int>(acrossHigh - acrossLow);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = vertical ? 1 : count;
    info.bmiHeader.biHeight = vertical ? -count : -1; // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    const int previousMode = ::SetStretchBltMode(dc, COLORONCOLOR);
    if (vertical) {
        ::StretchDIBits(dc, static_cast<int>(acrossLow), static_cast<int>(rows.first), across, count, 0, 0, 1, count,
                        rows.pixels.data(), &info, DIB_RGB_COLORS, SRCCOPY);
    } else {
        ::StretchDIBits(dc, static_cast<int>(rows.first), static_cast<int>(acrossLow), count, across, 0, 0, count, 1,
                        rows.pixels.data(), &info, DIB_RGB_COLORS, SRCCOPY);
    }
    if (previousMode != 0) {
        ::SetStretchBltMode(dc, previousMode);
    }
}

// The DC's clip box, ordered; false when nothing of the DC can be drawn (or it is no DC).
bool VisibleBox(HDC dc, RECT& box) {
    const int kind = ::GetClipBox(dc, &box);
    if (kind == ERROR || kind == NULLREGION) {
        return false;
    }
    if (box.left > box.right) {
        std::swap(box.left, box.right);
    }
    if (box.top > box.bottom) {
        std::swap(box.top, box.bottom);
    }
    return true;
}

} // namespace

uint32_t SysColor(int index) noexcept {
    return ::GetSysColor(index);
}

UniqueBrush CreateColorBrush(int32_t colour) {
    return UniqueBrush(::CreateSolidBrush(static_cast<COLORREF>(TranslateColor(colour))));
}

UniquePen CreateColorPen(int style, int width, int32_t colour) {
    return UniquePen(::CreatePen(style, width, static_cast<COLORREF>(TranslateColor(colour))));
}

void FillOrFrameRect(HDC dc, const RECT& rect, int32_t colour, bool fill) {
    const UniqueBrush brush = CreateColorBrush(colour);
    if (!brush) {
        // FillRect would read a null brush as a system colour index.
        return;
    }
    if (fill) {
        ::FillRect(dc, &rect, brush.get());
    } else {
        ::FrameRect(dc, &rect, brush.get());
    }
}

void FillOrFrameRectXY(HDC dc, int left, int top, int right, int bottom, int32_t colour, bool fill) {
    const RECT rect{left, top, right, bottom};
    FillOrFrameRect(dc, rect, colour, fill);
}

void DrawLine(HDC dc, int x1, int y1, int x2, int y2, int32_t colour, int16_t width, int style) {
    const UniquePen pen = CreateColorPen(style, width, colour);
    if (!pen) {
        // Without our pen LineTo would draw with whatever pen the DC holds.
        return;
    }
    const SelectGuard select(dc, pen.get());
    ::MoveToEx(dc, x1, y1, nullptr);
    ::LineTo(dc, x2, y2);
}

void SetPixelColor(HDC dc, int x, int y, int32_t colour) {
    ::SetPixel(dc, x, y, static_cast<COLORREF>(TranslateColor(colour)));
}

void GradientVertical(HDC dc, int left, int top, int right, int bottom, int32_t colourFrom, int32_t colourTo) {
    RECT box{};
    if (!VisibleBox(dc, box)) {
        return;
    }
    const auto [acrossLow, acrossHigh] = LineSpan(left, right, box.left, box.right);
    PaintStrip(dc, GradientColours(top, int64_t{bottom} - top, box.top, box.bottom, colourFrom, colourTo), true,
               acrossLow, acrossHigh);
}

void GradientVerticalRect(HDC dc, const RECT& rect, int32_t colourFrom, int32_t colourTo) {
    GradientVertical(dc, rect.left, rect.top, rect.right, rect.bottom, colourFrom, colourTo);
}

void GradientHorizontal(HDC dc, int left, int top, int right, int bottom, int32_t colourFrom, int32_t colourTo) {
    RECT box{};
    if (!VisibleBox(dc, box)) {
        return;
    }
    const auto [acrossLow, acrossHigh] = LineSpan(top, bottom, box.top, box.bottom);
    PaintStrip(dc, GradientColours(left, int64_t{right} - left, box.left, box.right, colourFrom, colourTo), false,
               acrossLow, acrossHigh);
}

void DrawRoundRect(HDC dc, int left, int top, int right, int bottom, bool filled, int32_t fillColour,
                   int32_t frameColour, int16_t frameWidth, int frameStyle, int16_t corner) {
    UniqueBrush brush;
    HGDIOBJ brushToUse = ::GetStockObject(NULL_BRUSH);
    if (filled) {
        brush = CreateColorBrush(fillColour);
        if (!brush) {
            return;
        }
        brushToUse = brush.get();
    }
    UniquePen pen;
    HGDIOBJ penToUse = ::GetStockObject(NULL_PEN);
    if (frameWidth > 0) {
        pen = CreateColorPen(frameStyle, frameWidth, frameColour);
        if (!pen) {
            return;
        }
        penToUse = pen.get();
    } else {
        // With the null pen RoundRect leaves out the right and bottom edge; grow so the filled area
        // covers what a one-pixel frame would have.
        right = OnePast(right);
        bottom = OnePast(bottom);
    }
    // The guards are declared after the objects they select, so they put the old ones back first.
    const SelectGuard selectBrush(dc, brushToUse);
    const SelectGuard selectPen(dc, penToUse);
    ::RoundRect(dc, left, top, right, bottom, corner, corner);
}

void DrawRoundRectRect(HDC dc, const RECT& rect, bool filled, int32_t fillColour, int32_t frameColour,
                       int16_t frameWidth, int frameStyle, int16_t corner) {
    DrawRoundRect(dc, rect.left, rect.top, rect.right, rect.bottom, filled, fillColour, frameColour, frameWidth,
                  frameStyle, corner);
}

void DrawTextAt(HDC dc, std::wstring_view text, int x, int y) {
    ::TextOutW(dc, x, y, TextPointer(text), TextLength(text));
}

int DrawTextInRect(HDC dc, std::wstring_view text, const RECT& rect, UINT flags) {
    // DrawTextW may write to the rectangle (DT_CALCRECT); the caller's stays as it was.
    RECT area = rect;
    return ::DrawTextW(dc, TextPointer(text), TextLength(text), &area, flags);
}

int DrawColoredText(HDC dc, std::wstring_view text, const RECT& rect, int32_t colour, UINT flags) {
    ::SetTextColor(dc, static_cast<COLORREF>(TranslateColor(colour)));
    return DrawTextInRect(dc, text, rect, flags);
}

int DrawColoredTextXY(HDC dc, std::wstring_view text, int left, int top, int right, int bottom, int32_t colour,
                      UINT flags) {
    const RECT rect{left, top, right, bottom};
    return DrawColoredText(dc, text, rect, colour, flags);
}

SIZE MeasureText(HDC dc, std::wstring_view text, UINT flags) {
    RECT area{};
    ::DrawTextW(dc, TextPointer(text), TextLength(text), &area, flags | DT_CALCRECT | DT_SINGLELINE);
    return SIZE{area.right - area.left, area.bottom - area.top};
}

SIZE MeasureTextInRect(HDC dc, std::wstring_view text, int left, int top, int right, int bottom, UINT flags) {
    RECT area{left, top, right, bottom};
    ::DrawTextW(dc, TextPointer(text), TextLength(text), &area, flags | DT_CALCRECT | DT_WORDBREAK);
    return SIZE{area.right - area.left, area.bottom - area.top};
}

bool IsKeyDown(int virtualKey) {
    return (::GetAsyncKeyState(virtualKey) & 0x8000) != 0;
}

int ShiftState() {
    return (IsKeyDown(VK_SHIFT) ? 1 : 0) + (IsKeyDown(VK_CONTROL) ? 2 : 0) + (IsKeyDown(VK_MENU) ? 4 : 0);
}

int32_t CharCode(std::wstring_view text) {
    return text.empty() ? 0 : static_cast<int32_t>(static_cast<uint16_t>(text.front()));
}

std::wstring CharFromCode(int32_t code) {
    // The low 16 bits: -1 .. -32768 are the same as code + 65536, and larger values cannot make
    // anything but a single UTF-16 unit either.
    return std::wstring(1, static_cast<wchar_t>(static_cast<uint16_t>(static_cast<uint32_t>(code) & 0xFFFFu)));
}

std::vector<uint8_t> StringToBytes(std::wstring_view text) {
    std::vector<uint8_t> bytes;
    bytes.reserve(text.size() * 2);
    for (const wchar_t ch : text) {
        const auto unit = static_cast<uint16_t>(ch);
        bytes.push_back(static_cast<uint8_t>(unit & 0xFFu));
        bytes.push_back(static_cast<uint8_t>(unit >> 8));
    }
    return bytes;
}

std::wstring BytesToString(std::span<const uint8_t> bytes) {
    std::wstring text;
    text.reserve(bytes.size() / 2);
    for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
        text.push_back(static_cast<wchar_t>(bytes[i] | (bytes[i + 1] << 8)));
    }
    return text;
}
