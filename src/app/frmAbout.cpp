#include "app/frmAbout.h"

#include <span>

#include "app/FormHelpers.h"
#include "controls/ctlUniButtonImageXP.h"
#include "controls/ctlUniLabel.h"
#include "core/FileVersion.h"
#include "resource.h"
#include "util/ErrorReport.h"

namespace {
constexpr wchar_t kClassName[] = L"TrelvikAbout";
// Fixed single frame with a title bar and its close button.
constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
// The version resource's name (VS_VERSION_INFO).
constexpr WORD kVersionResource = 1;

// The design, at 96 dots per inch.
constexpr LayoutBox kPicture1{0, 0, 310, 61};     // the banner, cut from the top-left of its bitmap
constexpr LayoutBox kImage1{10, 12, 32, 32};      // the emblem, on the banner
constexpr LayoutBox kLblWhat{90, 18, 107, 19};    // on the banner
constexpr LayoutBox kLblVersion{244, 44, 35, 13}; // on the banner; too narrow for its text: it fits it
constexpr LayoutBox kLblAbout{2, 70, 305, 105};
constexpr LayoutBox kLblSite{88, 190, 125, 13};
constexpr LayoutBox kBtnOk{100, 220, 107, 29};
constexpr LayoutBox kLine1{32, 212, 248, 1}; // from (32, 212) to (280, 212)
// How close the version may come to the box's right edge when it grows.
constexpr int kVersionMargin = 4;

const StdFont kFormFont{L"MS Sans Serif", 8.25};

constexpr int kLblWhatId = 101;
constexpr int kLblVersionId = 102;
constexpr int kLblAboutId = 103;

std::wstring WindowText(HWND window) {
    std::wstring text(static_cast<size_t>(::GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<size_t>(::GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}
} // namespace

struct frmAbout::Controls {
    // Plain labels: STATIC windows that the form draws (their window text is their text).
    HWND lblWhat = nullptr;
    HWND lblVersion = nullptr;
    HWND lblAbout = nullptr;
    ctlUniLabel lblSite;
    ctlUniButtonImageXP btnOk{L"btnOk"};
};

std::wstring frmAbout::VersionText() {
    const HMODULE module = ::GetModuleHandleW(nullptr);
    const HRSRC found = ::FindResourceW(module, MAKEINTRESOURCEW(kVersionResource), RT_VERSION);
    const HGLOBAL loaded = found ? ::LoadResource(module, found) : nullptr;
    const void* bytes = loaded ? ::LockResource(loaded) : nullptr;
    if (!bytes) {
        return {};
    }
    const std::span<const uint8_t> resource(static_cast<const uint8_t*>(bytes), ::SizeofResource(module, found));
    const std::optional<FileVersion> version = FindFileVersion(resource);
    return version ? ::VersionText(*version) : std::wstring();
}

std::wstring frmAbout::DescriptionText() {
    return std::wstring(L"Trelvik is a\r\nnice utility for developers!\r\n\r\n\r\n\r\n") + kNoticeLine;
}

frmAbout::frmAbout() = default;

frmAbout::~frmAbout() {
    Destroy();
}

void frmAbout::ShowAbout() {
    if (!IsCreated() && !Create()) {
        return;
    }
    ::ShowWindow(hwnd(), SW_SHOWNORMAL);
    ::BringWindowToTop(hwnd());
    ::SetForegroundWindow(hwnd());
}

void frmAbout::Hide() noexcept {
    if (IsCreated()) {
        ::ShowWindow(hwnd(), SW_HIDE);
    }
}

HWND frmAbout::lblWhat() const noexcept {
    return controls_ ? controls_->lblWhat : nullptr;
}

HWND frmAbout::lblVersion() const noexcept {
    return controls_ ? controls_->lblVersion : nullptr;
}

HWND frmAbout::lblAbout() const noexcept {
    return controls_ ? controls_->lblAbout : nullptr;
}

ctlUniLabel* frmAbout::lblSite() noexcept {
    return controls_ ? &controls_->lblSite : nullptr;
}

ctlUniButtonImageXP* frmAbout::btnOk() noexcept {
    return controls_ ? &controls_->btnOk : nullptr;
}

bool frmAbout::Create() {
    // Nothing of the previous box runs any more: its controls can go.
    retired_.reset();
    ClassInfo cls{kClassName};
    cls.iconResource = IDI_TRELVIK;
    cls.background = static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH));
    if (!CreateCentredWindow(cls, kStyle, L"About Trelvik", ClientWidth, ClientHeight)) {
        return false;
    }
    const int dpi = static_cast<int>(::GetDpiForWindow(hwnd()));
    dpi_ = dpi > 0 ? dpi : kDesignDpi;
    banner_ = LoadBitmapResource(IDB_ABOUT_BANNER);
    hand_ = LoadLinkPointer();
    CreateControls();
    LayOut();
    return true;
}

void frmAbout::CreateControls() {
    controls_ = std::make_unique<Controls>();
    Controls& c = *controls_;
    const auto plainLabel = [this](const std::wstring& text, int id, const LayoutBox& box) {
        return ::CreateWindowExW(0, L"STATIC", text.c_str(), WS_CHILD | WS_VISIBLE | SS_OWNERDRAW, box.left, box.top,
                                 box.width, box.height, hwnd(), reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                 ::GetModuleHandleW(nullptr), nullptr);
    };
    c.lblWhat = plainLabel(L"Trelvik", kLblWhatId, kLblWhat);
    c.lblVersion = plainLabel(VersionText(), kLblVersionId, kLblVersion);
    c.lblAbout = plainLabel(DescriptionText(), kLblAboutId, kLblAbout);

    c.lblSite.events.Click = [this] { OpenSite(hwnd()); };
    (void)c.lblSite.Create(hwnd(), ToRect(kLblSite), SiteLabelProperties(hand_));

    // Destroyed once the click is over: the button is still inside its own event here.
    c.btnOk.events.Click = [this] { ::PostMessageW(hwnd(), WM_CLOSE, 0, 0); };
    (void)c.btnOk.Create(hwnd(), ToRect(kBtnOk),
                         PropertyBag{{"Caption", std::wstring(L"Ok")},
                                     {"RoundedBorders", true},
                                     {"BackColor", UniControl::kButtonFace},
                                     {"ForeColor", UniControl::kButtonText},
                                     {"BackColorOut", int32_t{0xFFFFFF}}, // the form around the rounded corners
                                     {"Font", kFormFont},
                                     {"Default", true},
                                     {"Cancel", true}});
}

void frmAbout::LayOut() {
    if (!controls_) {
        return;
    }
    Controls& c = *controls_;
    emblem_ = LoadProgramIcon(ScaleToDpi(kImage1.width, dpi_));
    titleFont_ = CreateFormFont(L"Arial", 12, true, dpi_);
    plainFont_ = CreateFormFont(kFormFont.name.c_str(), kFormFont.size, false, dpi_);

    PlaceAtDpi(c.lblWhat, kLblWhat, dpi_);
    PlaceAtDpi(c.lblAbout, kLblAbout, dpi_);
    PlaceAtDpi(c.lblSite.hwnd(), kLblSite, dpi_); // the label then fits itself to its text, centred there
    PlaceAtDpi(c.btnOk.hwnd(), kBtnOk, dpi_);

    SIZE text{};
    {
        const WindowDC dc(c.lblVersion);
        if (dc && plainFont_) {
            const SelectGuard font(dc.get(), plainFont_.get());
            const std::wstring version = WindowText(c.lblVersion);
            ::GetTextExtentPoint32W(dc.get(), version.c_str(), static_cast<int>(version.size()), &text);
        }
    }
    const LayoutBox version = FitLabelToText(ScaleToDpi(kLblVersion, dpi_), text.cx, text.cy,
                                             ScaleToDpi(ClientWidth, dpi_), ScaleToDpi(kVersionMargin, dpi_));
    ::SetWindowPos(c.lblVersion, nullptr, version.left, version.top, version.width, version.height,
                   SWP_NOZORDER | SWP_NOACTIVATE);

    const int screenDpi = ScreenDpi();
    SkipOnError([&] {
        c.lblSite.Font(FontAtDpi(SiteLabelFont(), dpi_, screenDpi));
        // The button itself turns points into pixels at its window's DPI.
        const int buttonDpi = c.btnOk.hwnd() ? static_cast<int>(::GetDpiForWindow(c.btnOk.hwnd())) : 0;
        c.btnOk.Font(FontAtDpi(kFormFont, dpi_, buttonDpi > 0 ? buttonDpi : screenDpi));
    });
    ::RedrawWindow(hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void frmAbout::PaintBackground(HDC dc, POINT origin) noexcept {
    const auto shifted = [&](const LayoutBox& designed) {
        LayoutBox box = ScaleToDpi(designed, dpi_);
        box.left -= origin.x;
        box.top -= origin.y;
        return box;
    };
    RECT client{};
    ::GetClientRect(hwnd(), &client);
    ::OffsetRect(&client, -origin.x, -origin.y);
    ::FillRect(dc, &client, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));

    DrawBitmapPart(dc, banner_.get(), shifted(kPicture1), kPicture1.width, kPicture1.height);
    if (emblem_) {
        const LayoutBox box = shifted(kImage1);
        ::DrawIconEx(dc, box.left, box.top, emblem_.get(), box.width, box.height, 0, nullptr, DI_NORMAL);
    }
    const RECT line = ToRect(shifted(kLine1));
    ::FillRect(dc, &line, ::GetSysColorBrush(COLOR_WINDOWTEXT));
}

void frmAbout::Paint(HDC dc) noexcept {
    PaintBackground(dc, POINT{0, 0});
}

void frmAbout::DrawLabel(const DRAWITEMSTRUCT& item) noexcept {
    POINT origin{0, 0};
    ::MapWindowPoints(item.hwndItem, hwnd(), &origin, 1);
    PaintBackground(item.hDC, origin);

    const bool title = item.CtlID == kLblWhatId;
    const bool onBanner = origin.y < ScaleToDpi(kPicture1, dpi_).bottom();
    const UINT flags =
        item.CtlID == kLblAboutId ? DT_CENTER | DT_WORDBREAK | DT_NOPREFIX : DT_LEFT | DT_SINGLELINE | DT_NOPREFIX;
    SkipOnError([&] {
        const std::wstring text = WindowText(item.hwndItem);
        const SelectGuard font(item.hDC, title ? titleFont_.get() : plainFont_.get());
        const int oldMode = ::SetBkMode(item.hDC, TRANSPARENT);
        // The banner is deep blue: its labels are white.
        const COLORREF oldColour = ::SetTextColor(item.hDC, onBanner ? RGB(255, 255, 255) : RGB(0, 0, 0));
        RECT r = item.rcItem;
        ::DrawTextW(item.hDC, text.c_str(), static_cast<int>(text.size()), &r, flags);
        ::SetTextColor(item.hDC, oldColour);
        ::SetBkMode(item.hDC, oldMode);
    });
}

void frmAbout::OnDpiChanged(int dpi, LPARAM suggested) {
    dpi_ = dpi > 0 ? dpi : kDesignDpi;
    ApplySuggestedRect(hwnd(), suggested);
    LayOut();
}

void frmAbout::OnDestroyed() noexcept {
    if (controls_) {
        controls_->lblSite.MouseIcon({});
        retired_ = std::move(controls_);
    }
    hand_.reset();
    banner_.reset();
    emblem_.reset();
    titleFont_.reset();
    plainFont_.reset();
}

LRESULT frmAbout::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_PAINT: {
        const PaintDC dc(hwnd());
        Paint(dc.get());
        return 0;
    }
    case WM_PRINTCLIENT:
        Paint(reinterpret_cast<HDC>(wParam));
        return 0;
    case WM_ERASEBKGND:
        return 1; // Paint covers the whole client area
    case WM_DRAWITEM:
        DrawLabel(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
        return TRUE;
    case WM_ACTIVATE:
        if (LOWORD(wParam) != WA_INACTIVE && !HIWORD(wParam) && controls_ && controls_->btnOk.hwnd()) {
            ::SetFocus(controls_->btnOk.hwnd());
            return 0;
        }
        break;
    case WM_COMMAND:
        // IDOK and IDCANCEL from the dialog keys (Enter, Escape): both press Ok.
        if (ctlUniButtonImageXP::RouteDialogCommand(hwnd(), wParam)) {
            return 0;
        }
        break;
    case WM_DPICHANGED:
        OnDpiChanged(LOWORD(wParam), lParam);
        return 0;
    case WM_CLOSE:
        // The box's own close button ends it, as Ok does.
        Destroy();
        return 0;
    case WM_NCDESTROY:
        OnDestroyed();
        break;
    default:
        break;
    }
    return Default(msg, wParam, lParam);
}
