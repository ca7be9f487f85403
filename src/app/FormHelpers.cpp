#include "app/FormHelpers.h"

#include <shellapi.h>

#include <cmath>

#include "resource.h"
#include "util/ErrorReport.h"

namespace {
// The system's hand pointer (OCR_HAND), loaded as a cursor of our own so that it can be destroyed.
constexpr WORD kSystemHandPointer = 32649;
} // namespace

PicturePtr LoadLinkPointer() noexcept {
    auto cursor = static_cast<HCURSOR>(
        ::LoadImageW(nullptr, MAKEINTRESOURCEW(kSystemHandPointer), IMAGE_CURSOR, 0, 0, LR_DEFAULTSIZE));
    if (!cursor) {
        return {};
    }
    try {
        return std::make_shared<const Picture>(Picture::FromIcon(cursor));
    } catch (const std::exception& error) {
        ReportCaughtError(error, "LoadLinkPointer");
        ::DestroyCursor(cursor);
        return {};
    }
}

StdFont SiteLabelFont() {
    StdFont font{L"MS Sans Serif", 8.25};
    font.underline = true;
    return font;
}

PropertyBag SiteLabelProperties(PicturePtr hand) {
    return PropertyBag{{"Caption", std::wstring(kSiteAddress)},
                       {"Alignment", int32_t{2}},
                       {"AutoSize", true},
                       {"BackColor", int32_t{0xFFFFFF}},
                       {"ForeColor", int32_t{0xFF0000}}, // blue: red is the low byte
                       {"Font", SiteLabelFont()},
                       {"Tip", std::wstring(L"Go to my site!")},
                       {"MousePointer", int32_t{99}},
                       {"MouseIcon", std::move(hand)}};
}

void OpenSite(HWND owner) noexcept {
    (void)::ShellExecuteW(owner, L"open", kSiteAddress, nullptr, nullptr, SW_SHOWNORMAL);
}

int ScreenDpi() noexcept {
    const WindowDC screen(nullptr);
    const int dpi = screen ? ::GetDeviceCaps(screen.get(), LOGPIXELSY) : 0;
    return dpi > 0 ? dpi : kDesignDpi;
}

StdFont FontAtDpi(const StdFont& font, int dpi, int referenceDpi) {
    StdFont scaled = font;
    if (dpi > 0 && referenceDpi > 0) {
        scaled.size = font.size * dpi / referenceDpi;
    }
    return scaled;
}

UniqueFont CreateFormFont(const wchar_t* face, double points, bool bold, int dpi) noexcept {
    LOGFONTW log{};
    log.lfHeight = -static_cast<LONG>(std::lrint(points * dpi / 72.0));
    log.lfWeight = bold ? FW_BOLD : FW_NORMAL;
    log.lfCharSet = DEFAULT_CHARSET;
    ::lstrcpynW(log.lfFaceName, face, LF_FACESIZE);
    return UniqueFont(::CreateFontIndirectW(&log));
}

RECT ToRect(const LayoutBox& box) noexcept {
    return RECT{box.left, box.top, box.right(), box.bottom()};
}

void PlaceAtDpi(HWND child, const LayoutBox& designed, int dpi) noexcept {
    if (!child) {
        return;
    }
    const LayoutBox box = ScaleToDpi(designed, dpi);
    ::SetWindowPos(child, nullptr, box.left, box.top, box.width, box.height, SWP_NOZORDER | SWP_NOACTIVATE);
}

void ApplySuggestedRect(HWND window, LPARAM suggested) noexcept {
    const auto* r = reinterpret_cast<const RECT*>(suggested);
    if (r) {
        ::SetWindowPos(window, nullptr, r->left, r->top, r->right - r->left, r->bottom - r->top,
                       SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

UniqueIcon LoadProgramIcon(int size) noexcept {
    return UniqueIcon(static_cast<HICON>(
        ::LoadImageW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_TRELVIK), IMAGE_ICON, size, size, 0)));
}

UniqueBitmap LoadBitmapResource(int id) noexcept {
    return UniqueBitmap(static_cast<HBITMAP>(
        ::LoadImageW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
}

void DrawBitmapPart(HDC dc, HBITMAP bitmap, const LayoutBox& box, int sourceWidth, int sourceHeight) noexcept {
    if (!dc || !bitmap) {
        return;
    }
    const UniqueMemoryDC source(::CreateCompatibleDC(dc));
    if (!source) {
        return;
    }
    const SelectGuard selected(source.get(), bitmap);
    if (!selected.selected()) {
        return;
    }
    if (box.width == sourceWidth && box.height == sourceHeight) {
        ::BitBlt(dc, box.left, box.top, box.width, box.height, source.get(), 0, 0, SRCCOPY);
        return;
    }
    const int oldMode = ::SetStretchBltMode(dc, HALFTONE);
    POINT oldOrigin{};
    ::SetBrushOrgEx(dc, 0, 0, &oldOrigin);
    ::StretchBlt(dc, box.left, box.top, box.width, box.height, source.get(), 0, 0, sourceWidth, sourceHeight, SRCCOPY);
    ::SetBrushOrgEx(dc, oldOrigin.x, oldOrigin.y, nullptr);
    ::SetStretchBltMode(dc, oldMode);
}
