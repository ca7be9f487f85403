#include "draw/DrawHelpers.h"

#include <algorithm>
#include <climits>

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

// Draws colourFrom .. colourTo as n one-pixel lines along one axis. `start` and `n` are the first
// row (column) and the count; `drawRow` paints row `start + k` in a colour. Rows outside the DC's
// clip box are not drawn, but the weight still steps through them exactly as if they had been, so a
// partly hidden gradient shows the same colours as a fully visible one.
template <typename DrawRow>
void Gradient(int64_t start, int64_t n, int64_t clipLow, int64_t clipHigh, int32_t colourFrom, int32_t colourTo,
              DrawRow drawRow) {
    if (n < 1) {
        return;
    }
    const int64_t first = std::clamp<int64_t>(clipLow - start, 0, n);
    const int64_t last = std::clamp<int64_t>(clipHigh - start, 0, n);
    if (first >= last) {
        return;
    }
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
    for (int64_t k = first; k < last; ++k) {
        const ColorChannels c = GradientRowColor(from, to, w);
        drawRow(static_cast<int>(start + k), Rgb(c.red, c.green, c.blue));
        w = std::max(w - step, 0.0f);
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
    Gradient(top, int64_t{bottom} - top, box.top, box.bottom, colourFrom, colourTo, [&](int y, int32_t colour) {
        if (left != right) {
            DrawLine(dc, left, y, right, y, colour, 1, PS_SOLID);
        } else {
            SetPixelColor(dc, left, y, colour);
        }
    });
}

void GradientVerticalRect(HDC dc, const RECT& rect, int32_t colourFrom, int32_t colourTo) {
    GradientVertical(dc, rect.left, rect.top, rect.right, rect.bottom, colourFrom, colourTo);
}

void GradientHorizontal(HDC dc, int left, int top, int right, int bottom, int32_t colourFrom, int32_t colourTo) {
    RECT box{};
    if (!VisibleBox(dc, box)) {
        return;
    }
    Gradient(left, int64_t{right} - left, box.left, box.right, colourFrom, colourTo, [&](int x, int32_t colour) {
        if (top != bottom) {
            DrawLine(dc, x, top, x, bottom, colour, 1, PS_SOLID);
        } else {
            SetPixelColor(dc, x, top, colour);
        }
    });
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
