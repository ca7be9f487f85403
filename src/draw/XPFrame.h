#pragma once
// The face painter of the drawn controls (labels, image buttons, the text box, tips) and of the
// owner-drawn menu's selector. Colours are COLORREF values as int32_t; a value with the top bit set
// is a system colour code, and -1 means automatic where an argument says so. Both painters leave the
// rectangle as it is, paint nothing outside it and nothing at all for an empty or inverted one, and
// leave the DC as they found it: every object they create is deleted, every selection and the clip
// region are put back.
#include <windows.h>

#include <cstdint>

// border unless it is -1. For -1: the back colour shaded by -68, a very light back (grey value above
// 208) first brought down to grey value 208. White gives 0x8C8C8C, 0xC0C0C0 gives 0x7C7C7C.
[[nodiscard]] int32_t AutoBorderColor(int32_t border, int32_t back);

// Paints a control face of style 0..8 (-1, and any other value, is style 3) in the back colour:
// the body of the style, then, when drawBorder is set, a one-pixel border (border -1: automatic),
// the style's inner lines and, when rounded, softened corners with `outer` (-1: back) outside them.
// Then the overlays, border or not: the default-button frame one pixel in (0xECBEA0; it wins over
// the cancel-button frame, 0x808080) and the focus rectangle two pixels in. adaptive makes the
// highlights of styles 0, 4, 7 and 8 follow the brightness of the back colour.
void DrawXPFrame(HDC dc, const RECT& rect, int32_t back, bool drawBorder, int32_t border, bool pressed, bool isDefault,
                 bool isCancel, bool focus, bool rounded, int32_t style = -1, int32_t outer = -1, bool adaptive = true);

// The text box frame: clears the ring one pixel in to the back colour, then draws either only a
// bottom line (onlyBottom; the outer ring in back), a square border, or a rounded border with
// `outer` (-1: back) outside its corners. border -1 is automatic.
void DrawTextBoxFrame(HDC dc, const RECT& rect, int32_t back, int32_t border, bool rounded, int32_t outer,
                      bool onlyBottom);
