#pragma once
// What the help window and the About box share: the maker's site with its link label, and laying a
// fixed form out at the DPI of the monitor it is on. Every place and size of these forms is designed
// at 96 DPI (core/FormLayout.h scales them); fonts are given in points.
#include <windows.h>

#include "controls/PropertyBag.h"
#include "core/FormLayout.h"
#include "util/Handles.h"

// The maker's web site, shown as the link labels' text and opened by them, and the notice line.
inline constexpr wchar_t kSiteAddress[] = L"https://trelvik.org";
inline constexpr wchar_t kNoticeLine[] = L"Copyright \u00A9 The Trelvik authors";

// The hand pointer of a link, owned by the picture (empty when the system has none).
[[nodiscard]] PicturePtr LoadLinkPointer() noexcept;
// The link labels' font: MS Sans Serif 8.25 pt, underlined.
[[nodiscard]] StdFont SiteLabelFont();
// The stored properties of a link label (lblSite): the site address centred in blue on white, MS Sans
// Serif 8.25 pt underlined, sized to its text, the tip "Go to my site!" and the hand pointer.
[[nodiscard]] PropertyBag SiteLabelProperties(PicturePtr hand);
// Opens the site with the system's handler for its address, on behalf of `owner`. A failure (no
// handler, no network) is not reported.
void OpenSite(HWND owner) noexcept;

// The DPI that the drawn labels and the text box turn points into pixels with: the screen DC's. In a
// per-monitor aware process every DC reports the system's DPI, whatever monitor the window is on.
[[nodiscard]] int ScreenDpi() noexcept;
// The font whose points, measured at referenceDpi, give the pixels that `font` has at `dpi`.
[[nodiscard]] StdFont FontAtDpi(const StdFont& font, int dpi, int referenceDpi);
// A font of `points` at `dpi` for a form's own drawing (nullptr when the system refuses it).
[[nodiscard]] UniqueFont CreateFormFont(const wchar_t* face, double points, bool bold, int dpi) noexcept;

[[nodiscard]] RECT ToRect(const LayoutBox& box) noexcept;
// Moves and sizes a child window to the designed box at dpi.
void PlaceAtDpi(HWND child, const LayoutBox& designed, int dpi) noexcept;
// Takes the window rectangle that the system suggests with WM_DPICHANGED.
void ApplySuggestedRect(HWND window, LPARAM suggested) noexcept;

// The program's icon at size x size pixels.
[[nodiscard]] UniqueIcon LoadProgramIcon(int size) noexcept;
// A bitmap resource of the program as a DIB section.
[[nodiscard]] UniqueBitmap LoadBitmapResource(int id) noexcept;
// Draws the top-left sourceWidth x sourceHeight part of the bitmap into the box, stretched smoothly
// where the sizes differ (one to one at 96 DPI).
void DrawBitmapPart(HDC dc, HBITMAP bitmap, const LayoutBox& box, int sourceWidth, int sourceHeight) noexcept;
