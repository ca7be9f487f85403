#pragma once
// Drawing shortcuts and the Win32 side of the colour arithmetic, shared by the ruler, the owner-drawn
// menu and the drawn controls. Colours are COLORREF values as int32_t; a negative value is a system
// colour code (low five bits index GetSysColor). Every drawing routine takes the target DC first,
// creates and deletes its own GDI objects and selects back whatever it selected. None of them checks
// GDI results: a failed brush or pen simply draws nothing.
#include <windows.h>

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/Color.h"
#include "util/Handles.h"

// ---- Colours -------------------------------------------------------------------------------------

// GetSysColor(index), in the shape the core colour functions take as their system colour lookup.
uint32_t SysColor(int index) noexcept;

// The core colour functions with the live system colour table.
inline int32_t TranslateColor(int32_t colour) {
    return TranslateColor(colour, &SysColor);
}
inline ColorChannels SplitColor(int32_t colour) {
    return SplitColor(colour, &SysColor);
}
inline int32_t ShadeColor(int32_t colour, int16_t amount) {
    return ShadeColor(colour, amount, &SysColor);
}
inline int32_t BlendColors(int32_t colourA, int32_t colourB, int16_t percent) {
    return BlendColors(colourA, colourB, percent, &SysColor);
}
inline int32_t ColorLuminance(int32_t colour) {
    return ColorLuminance(colour, &SysColor);
}
inline int32_t ShadeToLuminance(int32_t colour, int16_t target) {
    return ShadeToLuminance(colour, target, &SysColor);
}

// A solid brush of the (translated) colour; empty if the system refuses one.
[[nodiscard]] UniqueBrush CreateColorBrush(int32_t colour);
// CreatePen(style, width, translated colour); style is a PS_* value (0 solid ... 5 null, 6 inside frame).
[[nodiscard]] UniquePen CreateColorPen(int style, int width, int32_t colour);

// ---- Shapes --------------------------------------------------------------------------------------

// FillRect when fill is true, otherwise FrameRect (a one-pixel outline), in the colour.
void FillOrFrameRect(HDC dc, const RECT& rect, int32_t colour, bool fill);
void FillOrFrameRectXY(HDC dc, int left, int top, int right, int bottom, int32_t colour, bool fill);

// A line from (x1, y1) towards (x2, y2); the end point itself is not drawn.
void DrawLine(HDC dc, int x1, int y1, int x2, int y2, int32_t colour, int16_t width = 1, int style = PS_SOLID);

void SetPixelColor(HDC dc, int x, int y, int32_t colour);

// Gradients, one solid row (column) at a time. With n = bottom - top rows (right - left columns),
// row k mixes w = 1 - k/n of colourFrom with the rest of colourTo, w stepped in single precision:
// row 0 is exactly colourFrom, the last row is 1/n colourFrom and (n-1)/n colourTo. A row is a
// one-pixel line from left to right (end point excluded, so columns left .. right-1); when left ==
// right it is the single pixel at column left (horizontally: columns, one pixel each when top ==
// bottom). n < 1 draws nothing.
// Only rows inside the DC's clip box are drawn (the weights still count every row), so a gradient of
// any height never overflows a row counter. The visible rows are painted in one call, as a strip of
// their colours stretched across (each row keeps its exact colour, with the DC's copy mode).
void GradientVertical(HDC dc, int left, int top, int right, int bottom, int32_t colourFrom, int32_t colourTo);
void GradientVerticalRect(HDC dc, const RECT& rect, int32_t colourFrom, int32_t colourTo);
void GradientHorizontal(HDC dc, int left, int top, int right, int bottom, int32_t colourFrom, int32_t colourTo);

// RoundRect with corner ellipses corner x corner. The inside is fillColour when filled, otherwise
// left untouched; the outline is a frameStyle pen of frameWidth in frameColour. A frameWidth of 0 or
// less draws no outline, and then right and bottom grow by one so the filled area keeps the size a
// framed shape would have (RoundRect without a pen stops one pixel short).
void DrawRoundRect(HDC dc, int left, int top, int right, int bottom, bool filled, int32_t fillColour,
                   int32_t frameColour, int16_t frameWidth, int frameStyle, int16_t corner);
void DrawRoundRectRect(HDC dc, const RECT& rect, bool filled, int32_t fillColour, int32_t frameColour,
                       int16_t frameWidth, int frameStyle, int16_t corner);

// ---- Text ----------------------------------------------------------------------------------------

// TextOutW of the whole text with the DC's current font, text colour and alignment.
void DrawTextAt(HDC dc, std::wstring_view text, int x, int y);
// DrawTextW of the whole text into the rectangle; returns the height DrawTextW reports.
int DrawTextInRect(HDC dc, std::wstring_view text, const RECT& rect, UINT flags);
// Sets the text colour (it stays set in the DC afterwards), then DrawTextInRect.
int DrawColoredText(HDC dc, std::wstring_view text, const RECT& rect, int32_t colour, UINT flags);
int DrawColoredTextXY(HDC dc, std::wstring_view text, int left, int top, int right, int bottom, int32_t colour,
                      UINT flags);

// The size of the text as one line (flags | DT_CALCRECT | DT_SINGLELINE) with the DC's font.
[[nodiscard]] SIZE MeasureText(HDC dc, std::wstring_view text, UINT flags);
// The size of the text word-wrapped into the rectangle (flags | DT_CALCRECT | DT_WORDBREAK).
[[nodiscard]] SIZE MeasureTextInRect(HDC dc, std::wstring_view text, int left, int top, int right, int bottom,
                                     UINT flags);

// ---- Words, keys, characters ---------------------------------------------------------------------

// Bits 0-15 and 16-31 of a 32-bit value, each as a signed 16-bit number.
[[nodiscard]] constexpr int16_t LowWord(int32_t value) {
    return static_cast<int16_t>(static_cast<uint32_t>(value) & 0xFFFFu);
}
[[nodiscard]] constexpr int16_t HighWord(int32_t value) {
    return static_cast<int16_t>(static_cast<uint32_t>(value) >> 16);
}
// low in bits 0-15 and high in bits 16-31; a negative low does not spill into the high word.
[[nodiscard]] constexpr int32_t MakeLong(int16_t low, int16_t high) {
    return static_cast<int32_t>((static_cast<uint32_t>(static_cast<uint16_t>(high)) << 16) |
                                static_cast<uint16_t>(low));
}

// True while the key is held down (GetAsyncKeyState bit 0x8000).
[[nodiscard]] bool IsKeyDown(int virtualKey);
// 1 for Shift, 2 for Ctrl, 4 for Alt, added up over the keys held down.
[[nodiscard]] int ShiftState();

// The UTF-16 code (0 ... 65535) of the first character; 0 for an empty text.
[[nodiscard]] int32_t CharCode(std::wstring_view text);
// The one-character text of a UTF-16 code; a negative code counts from 65536 (-1 is U+FFFF). Only
// the low 16 bits are used, so every code gives exactly one character.
[[nodiscard]] std::wstring CharFromCode(int32_t code);

// The text's UTF-16LE code units, two bytes each, low byte first.
[[nodiscard]] std::vector<uint8_t> StringToBytes(std::wstring_view text);
// The inverse; a trailing odd byte, which is half a code unit, is dropped.
[[nodiscard]] std::wstring BytesToString(std::span<const uint8_t> bytes);
