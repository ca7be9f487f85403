#include "menu/ctlUTF8Menu.h"

#include <algorithm>
#include <cstdint>
#include <cwchar>
#include <optional>
#include <string>

#include "core/AppError.h"
#include "core/CaptionDecoding.h"
#include "core/MenuCaption.h"
#include "draw/DrawHelpers.h"
#include "sysinfo/WindowsVersion.h"
#include "util/Handles.h"
#include "util/SystemCodePage.h"
#include "winmsg/MSubclass.h"
#include "util/ErrorReport.h"

namespace {

// The messages the control listens to on the attached window, in the order it registers them.
constexpr std::array<UINT, 8> kWindowMessages{WM_DRAWITEM,
                                              WM_MEASUREITEM,
                                              WM_INITMENUPOPUP,
                                              ctlUTF8Menu::WM_APP_MDIFRAME,
                                              ctlUTF8Menu::WM_APP_REQDATA_MI,
                                              ctlUTF8Menu::WM_APP_REQDATA_DI,
                                              ctlUTF8Menu::WM_APP_MDISAVEPOPUP,
                                              WM_SETTINGCHANGE};

// The caption buffer an item is read into: 255 characters and the terminating zero.
constexpr UINT kCaptionBuffer = 256;

// The effective DPI of a monitor. GetDpiForMonitor lives in shcore, which the program does not link
// otherwise; without it the system DPI stands in.
UINT MonitorDpi(HMONITOR monitor) noexcept {
    using GetDpiForMonitorFn = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);
    static const GetDpiForMonitorFn getDpiForMonitor = [] {
        const HMODULE shcore = ::LoadLibraryW(L"shcore.dll");
        const FARPROC proc = shcore ? ::GetProcAddress(shcore, "GetDpiForMonitor") : nullptr;
        return reinterpret_cast<GetDpiForMonitorFn>(reinterpret_cast<void*>(proc));
    }();
    UINT x = 0;
    UINT y = 0;
    if (monitor && getDpiForMonitor && SUCCEEDED(getDpiForMonitor(monitor, 0 /* MDT_EFFECTIVE_DPI */, &x, &y)) &&
        x != 0) {
        return x;
    }
    const UINT system = ::GetDpiForSystem();
    return system != 0 ? system : 96;
}

UINT CursorMonitorDpi() noexcept {
    POINT cursor{};
    (void)::GetCursorPos(&cursor);
    return MonitorDpi(::MonitorFromPoint(cursor, MONITOR_DEFAULTTONEAREST));
}

std::wstring Decode(std::wstring_view text, int32_t stringMode) {
    switch (stringMode) {
    case 1:
        return AnsiUtf8ToString(text, &ToSystemAnsi);
    case 2:
        return DecodeUniString(text, &ToSystemAnsi);
    default:
        return std::wstring(text);
    }
}

int16_t ScaledIconDim(int16_t iconDim, UINT dpi) noexcept {
    return static_cast<int16_t>(std::clamp(ScaleToDpi(iconDim, dpi), -32768, 32767));
}

} // namespace

ctlUTF8Menu::ctlUTF8Menu() noexcept : ctlUTF8Menu(PropertyBag{}) {}

ctlUTF8Menu::ctlUTF8Menu(const PropertyBag& properties) noexcept {
    ReadProperties(properties);
}

ctlUTF8Menu::~ctlUTF8Menu() {
    Detach();
    imageArray_.reset();
}

// ---- Stored properties ---------------------------------------------------------------------------

void ctlUTF8Menu::ReadProperties(const PropertyBag& p) noexcept {
    MenuLook& l = look_;
    SkipOnError([&] { l.IconDim = p.ReadInteger("IconDim", 16); });
    SkipOnError([&] { l.FadeBackground = p.ReadBool("FadeBackground", false); });
    SkipOnError([&] { l.MenuBackColor = p.ReadLong("MenuBackColor", MenuLook::kMenu); });
    SkipOnError([&] { l.MenuForeColorNormal = p.ReadLong("MenuForeColorNormal", MenuLook::kMenuText); });
    SkipOnError([&] { l.MenuForeColorDisabled = p.ReadLong("MenuForeColorDisabled", MenuLook::kGrayText); });
    SkipOnError([&] { l.SelectorBackColor = p.ReadLong("SelectorBackColor", MenuLook::kHighlight); });
    SkipOnError([&] { l.SelectorForeColor = p.ReadLong("SelectorForeColor", MenuLook::kHighlightText); });
    SkipOnError([&] { l.ExtSepBackColor = p.ReadLong("ExtSepBackColor", l.MenuBackColor); });
    SkipOnError([&] { l.ExtSepForeColor = p.ReadLong("ExtSepForeColor", l.MenuForeColorNormal); });
    SkipOnError([&] { l.FadeExtSep = p.ReadBool("FadeExtSep", false); });
    SkipOnError([&] { l.SelectorStyle = p.ReadLong("SelectorStyle", -1); });
    SkipOnError([&] { l.FullSelector = p.ReadBool("FullSelector", true); });
    SkipOnError([&] { l.LeftBand = p.ReadBool("LeftBand", false); });
    SkipOnError([&] { l.LeftBandBackColor = p.ReadLong("LeftBandBackColor", MenuLook::kMenu); });
    SkipOnError([&] { l.FadeLeftBand = p.ReadBool("FadeLeftBand", false); });
    SkipOnError([&] { l.Separators3D = p.ReadBool("Separators3D", true); });
    SkipOnError([&] { l.LeftBandSeparators = p.ReadBool("LeftBandSeparators", false); });
    SkipOnError([&] { stringMode_ = p.ReadLong("StringMode", 2); });
    SkipOnError([&] { l.RoundSelector = p.ReadBool("RoundSelector", false); });
    SkipOnError([&] { l.CustomFontFace = p.ReadString("CustomFontFace", L""); });

    // Flat menus paint the bar in their own colour; classic menus in the menu colour.
    BOOL flat = FALSE;
    const bool flatMenus = ::SystemParametersInfoW(SPI_GETFLATMENU, 0, &flat, 0) && flat;
    l.MenuBarColor = flatMenus ? static_cast<int32_t>(::GetSysColor(COLOR_MENUBAR)) : MenuLook::kMenu;
}

void ctlUTF8Menu::WriteProperties(PropertyBag& p) const noexcept {
    const MenuLook& l = look_;
    SkipOnError([&] {
        p.WriteLong("IconDim", l.IconDim);
        p.WriteBool("FadeBackground", l.FadeBackground);
        p.WriteLong("MenuBackColor", l.MenuBackColor);
        p.WriteLong("MenuForeColorNormal", l.MenuForeColorNormal);
        p.WriteLong("MenuForeColorDisabled", l.MenuForeColorDisabled);
        p.WriteLong("SelectorBackColor", l.SelectorBackColor);
        p.WriteLong("SelectorForeColor", l.SelectorForeColor);
        p.WriteLong("ExtSepBackColor", l.ExtSepBackColor);
        p.WriteLong("ExtSepForeColor", l.ExtSepForeColor);
        p.WriteBool("FadeExtSep", l.FadeExtSep);
        p.WriteLong("SelectorStyle", l.SelectorStyle);
        p.WriteBool("FullSelector", l.FullSelector);
        p.WriteBool("LeftBand", l.LeftBand);
        p.WriteLong("LeftBandBackColor", l.LeftBandBackColor);
        p.WriteBool("FadeLeftBand", l.FadeLeftBand);
        p.WriteBool("Separators3D", l.Separators3D);
        p.WriteBool("LeftBandSeparators", l.LeftBandSeparators);
        p.WriteLong("StringMode", stringMode_);
        p.WriteBool("RoundSelector", l.RoundSelector);
        if (!l.CustomFontFace.empty()) {
            p.WriteString("CustomFontFace", l.CustomFontFace);
        }
    });
}

void ctlUTF8Menu::StringMode(int32_t value) {
    if (userMode_) {
        throw AppError(AppError::kToolkitError, "StringMode", "This property can be set only a design time!");
    }
    stringMode_ = value;
}

// ---- Attachment ----------------------------------------------------------------------------------

void ctlUTF8Menu::Attach(HWND hWnd) {
    if (!userMode_) {
        return;
    }
    // Leave the previous window first: its registrations name this object.
    Detach();
    const int version = WindowsVersion();
    oldPlatform_ = version < 4 || version == 6 || version == 7;
    hwnd_ = hWnd;
    mdiClient_ = ::FindWindowExW(hWnd, nullptr, L"MDIClient", nullptr);
    mdiFrame_ = nullptr;
    LoadMenuFont(CursorMonitorDpi());
    // A child window (an MDI child) has no menu bar: GetMenu would answer its control identifier.
    const bool child = (::GetWindowLongPtrW(hWnd, GWL_STYLE) & WS_CHILD) != 0;
    UseMenu(child ? nullptr : ::GetMenu(hWnd));
    if (::IsWindow(mdiClient_)) {
        if (const HWND child = ActiveMdiChild()) {
            ::SendMessageW(child, WM_APP_MDIFRAME, reinterpret_cast<WPARAM>(hWnd), 0);
        }
    }
}

void ctlUTF8Menu::UseMenu(HMENU menu) {
    Detach();
    menu_ = menu;
    items_.clear();
    nextRecord_ = 0;
    for (const UINT message : kWindowMessages) {
        MSubclass::HookMessage(*this, hwnd_, message, HookBefore);
    }
    if (::IsWindow(mdiClient_)) {
        MSubclass::HookMessage(*this, mdiClient_, WM_MDISETMENU, HookBefore);
    }
    if (menu_) {
        HookMenu(menu_, 0, false);
    }
}

void ctlUTF8Menu::Detach() noexcept {
    // Records exist also without a menu bar (popups hooked as they open): give all of them back.
    if (menu_ || !items_.empty()) {
        RestoreItems();
    }
    if (::IsWindow(hwnd_)) {
        for (const UINT message : kWindowMessages) {
            MSubclass::UnhookMessage(*this, hwnd_, message);
        }
    }
    if (::IsWindow(mdiClient_)) {
        MSubclass::UnhookMessage(*this, mdiClient_, WM_MDISETMENU);
    }
    menu_ = nullptr;
}

void ctlUTF8Menu::Refresh() {
    if (menu_) {
        PurgeItems();
        HookMenu(menu_, 0, false);
    }
}

void ctlUTF8Menu::HookMenu(HMENU menu, int32_t level, bool noRecurse) {
    if (!menu) {
        return;
    }
    const int count = ::GetMenuItemCount(menu);
    for (int p = 0; p < count; ++p) {
        const UINT position = static_cast<UINT>(p);
        std::array<wchar_t, kCaptionBuffer> buffer{};
        MENUITEMINFOW info{sizeof(info)};
        info.fMask =
            oldPlatform_ ? (MIIM_ID | MIIM_TYPE | MIIM_DATA) : (MIIM_ID | MIIM_DATA | MIIM_STRING | MIIM_FTYPE);
        info.dwTypeData = buffer.data();
        info.cch = kCaptionBuffer;
        if (::GetMenuItemInfoW(menu, position, TRUE, &info)) {
            // The system reports the characters it copied, but never trust it past the buffer.
            buffer.back() = L'\0';
            const size_t stored = std::wcslen(buffer.data());
            const UINT cch = static_cast<UINT>(std::min<size_t>(info.cch, stored));
            std::wstring caption(buffer.data(), cch);

            const bool convertible = !caption.empty() || info.fType == MFT_SEPARATOR || !oldPlatform_;
            if (convertible && !(info.fType & MFT_OWNERDRAW)) {
                int32_t kind = level;
                if (!caption.empty()) {
                    if (IsCaptionedSeparator(caption)) {
                        kind = clsCtlUniIMenuItem::kCaptionedSeparator;
                    }
                } else if (oldPlatform_ || (info.fType & MFT_SEPARATOR)) {
                    kind = clsCtlUniIMenuItem::kSeparator;
                }
                const int32_t number = nextRecord_;
                clsCtlUniIMenuItem record;
                record.sText = caption;
                record.iType = kind;
                record.lId = number;
                record.fType = info.fType;
                record.hMenu = menu;
                record.wId = info.wID;
                record.dwTypeData.assign(buffer.data(), stored);
                record.dwItemData = info.dwItemData;
                record.cch = cch;
                items_.insert_or_assign(number, std::move(record));

                MENUITEMINFOW update{sizeof(update)};
                update.fMask = oldPlatform_ ? (MIIM_TYPE | MIIM_DATA) : (MIIM_DATA | MIIM_FTYPE);
                update.fType = info.fType | MFT_OWNERDRAW;
                update.dwItemData = static_cast<ULONG_PTR>(number);
                (void)::SetMenuItemInfoW(menu, position, TRUE, &update);
                ++nextRecord_;
            }
        }
        if (!noRecurse) {
            HookMenu(::GetSubMenu(menu, p), 1, false);
        }
    }
}

void ctlUTF8Menu::HookPopup(HMENU popup) {
    if (popup) {
        PurgeItems();
        HookMenu(popup, 1, true);
    }
}

int ctlUTF8Menu::FindItemPosition(const clsCtlUniIMenuItem& record) const noexcept {
    // Looked up by position in the record's own menu, not by command: separators share identifier 0
    // and popup items carry their submenu as identifier, so a command lookup can find another item.
    const int count = ::GetMenuItemCount(record.hMenu);
    for (int p = 0; p < count; ++p) {
        MENUITEMINFOW info{sizeof(info)};
        info.fMask = MIIM_ID | MIIM_DATA | (oldPlatform_ ? MIIM_TYPE : MIIM_FTYPE);
        if (::GetMenuItemInfoW(record.hMenu, static_cast<UINT>(p), TRUE, &info) && info.wID == record.wId &&
            (info.fType & MFT_OWNERDRAW) && info.dwItemData == static_cast<ULONG_PTR>(record.lId)) {
            return p;
        }
    }
    return -1;
}

void ctlUTF8Menu::PurgeItems() noexcept {
    for (auto it = items_.begin(); it != items_.end();) {
        if (FindItemPosition(it->second) < 0) {
            it = items_.erase(it);
        } else {
            ++it;
        }
    }
}

void ctlUTF8Menu::RestoreItems() noexcept {
    while (!items_.empty()) {
        const clsCtlUniIMenuItem& record = items_.begin()->second;
        const int position = FindItemPosition(record);
        if (position >= 0) {
            std::wstring text = record.dwTypeData;
            MENUITEMINFOW info{sizeof(info)};
            info.fMask = oldPlatform_ ? (MIIM_ID | MIIM_TYPE | MIIM_DATA) : (MIIM_ID | MIIM_DATA | MIIM_FTYPE);
            info.fType = record.fType;
            info.wID = record.wId;
            info.dwItemData = record.dwItemData;
            info.dwTypeData = text.data();
            info.cch = record.cch;
            (void)::SetMenuItemInfoW(record.hMenu, static_cast<UINT>(position), TRUE, &info);
        }
        items_.erase(items_.begin());
    }
    nextRecord_ = 0;
}

void ctlUTF8Menu::LoadMenuFont(UINT dpi) {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof(metrics);
    if (!::SystemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0, dpi)) {
        metrics = NONCLIENTMETRICSW{};
        metrics.cbSize = sizeof(metrics);
        (void)::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0);
    }
    font_ = metrics.lfMenuFont;
    fontDpi_ = dpi;
    if (!look_.CustomFontFace.empty()) {
        // Cut to fit, keeping the terminating zero.
        const size_t n = std::min<size_t>(look_.CustomFontFace.size(), LF_FACESIZE - 1);
        std::fill(std::begin(font_.lfFaceName), std::end(font_.lfFaceName), L'\0');
        std::copy_n(look_.CustomFontFace.begin(), n, font_.lfFaceName);
    }
    // The measuring font follows: the old one is selected out before it goes.
    measureSelection_.reset();
    measureFont_.reset(::CreateFontIndirectW(&font_));
    if (!measureDc_) {
        measureDc_.reset(::CreateCompatibleDC(nullptr));
    }
    if (measureDc_ && measureFont_) {
        measureSelection_.emplace(measureDc_.get(), measureFont_.get());
    }
}

// ---- Records -------------------------------------------------------------------------------------

std::wstring ctlUTF8Menu::ItemKey(int32_t number) {
    return L"K" + std::to_wstring(number);
}

std::vector<std::wstring> ctlUTF8Menu::ItemKeys() const {
    std::vector<std::wstring> keys;
    keys.reserve(items_.size());
    for (const auto& [number, record] : items_) {
        keys.push_back(ItemKey(number));
    }
    return keys;
}

const clsCtlUniIMenuItem* ctlUTF8Menu::Item(std::wstring_view key) const noexcept {
    if (key.size() < 2 || key.front() != L'K') {
        return nullptr;
    }
    int64_t number = 0;
    for (const wchar_t c : key.substr(1)) {
        if (c < L'0' || c > L'9' || number > INT32_MAX) {
            return nullptr;
        }
        number = number * 10 + (c - L'0');
    }
    if (number > INT32_MAX || ItemKey(static_cast<int32_t>(number)) != key) {
        return nullptr;
    }
    const auto it = items_.find(static_cast<int32_t>(number));
    return it == items_.end() ? nullptr : &it->second;
}

const clsCtlUniIMenuItem& ctlUTF8Menu::RecordFor(ULONG_PTR itemData, const char* source) const {
    if (itemData <= static_cast<ULONG_PTR>(INT32_MAX)) {
        const auto it = items_.find(static_cast<int32_t>(itemData));
        if (it != items_.end()) {
            return it->second;
        }
    }
    throw AppError(AppError::kToolkitError, source, "No menu item record K" + std::to_string(itemData));
}

const Picture& ctlUTF8Menu::picChecked(UINT dpi) {
    if (!checkMark_ || checkMarkDpi_ != dpi) {
        checkMark_ = MakeCheckMark(dpi);
        checkMarkDpi_ = dpi;
    }
    return checkMark_;
}

// ---- Measuring and drawing -----------------------------------------------------------------------

UINT ctlUTF8Menu::MeasureDpi(int32_t kind) const noexcept {
    if (kind == clsCtlUniIMenuItem::kMenuBar && ::IsWindow(hwnd_)) {
        return MonitorDpi(::MonitorFromWindow(hwnd_, MONITOR_DEFAULTTONEAREST));
    }
    return popupDpi_ != 0 ? popupDpi_ : CursorMonitorDpi();
}

MenuItemContent ctlUTF8Menu::ResolveContent(const clsCtlUniIMenuItem& record, int32_t stringMode, bool selected,
                                            UINT dpi) {
    MenuItemContent content;
    content.kind = record.iType;
    if (record.iType == clsCtlUniIMenuItem::kSeparator) {
        return content;
    }
    const bool captioned = record.iType == clsCtlUniIMenuItem::kCaptionedSeparator;
    const int16_t iconDim = ScaledIconDim(look_.IconDim, dpi);

    std::wstring text(CaptionPart(record.sText));
    const Picture* picture = nullptr;
    int16_t width = captioned ? 0 : iconDim;
    int16_t height = width;
    bool transparent = true;
    if (!captioned && imageArray_) {
        const int32_t index = ImageIndexOf(record.sText);
        if (index != -1) {
            picture = imageArray_->Item(index);
        }
    }
    if (events.ItemPicture) {
        events.ItemPicture(text, picture, width, height, transparent, selected, dpi);
    }
    content.text = Decode(DisplayCaption(text), stringMode);
    if (!captioned) {
        content.picture = picture;
        content.pictureWidth = std::max(width, iconDim);
        content.pictureHeight = std::max(height, iconDim);
        content.transparent = transparent;
        if (record.iType == clsCtlUniIMenuItem::kPopup) {
            content.shortcut = ShortcutPart(record.sText);
        }
    }
    return content;
}

void ctlUTF8Menu::MeasureMenuItem(MEASUREITEMSTRUCT& measure, int32_t stringMode, HDC dc) {
    const clsCtlUniIMenuItem& record = RecordFor(measure.itemData, "ctlUTF8Menu.MeasureMenuItem");
    const UINT dpi = MeasureDpi(record.iType);
    if (dpi != fontDpi_) {
        LoadMenuFont(dpi);
    }
    // The control's own measuring DC (a memory DC compatible with the screen measures text as the
    // window's DC does), or the caller's with the menu font selected for the call.
    UniqueFont font;
    std::optional<SelectGuard> select;
    if (dc) {
        font.reset(::CreateFontIndirectW(&font_));
        select.emplace(dc, font.get());
    }
    const HDC target = dc ? dc : measureDc_.get();
    if (!target) {
        throw AppError(AppError::kToolkitError, "ctlUTF8Menu.MeasureMenuItem", "Cannot use this DC!");
    }
    const MenuItemContent content = ResolveContent(record, stringMode, false, dpi);
    MeasureItemContent(target, look_, content, dpi, measure.itemWidth, measure.itemHeight);
}

void ctlUTF8Menu::DrawMenuItem(const DRAWITEMSTRUCT& draw, int32_t stringMode) {
    const clsCtlUniIMenuItem& record = RecordFor(draw.itemData, "ctlUTF8Menu.DrawMenuItem");
    const HWND menuWindow = ::WindowFromDC(draw.hDC);
    const UINT windowDpi = menuWindow ? ::GetDpiForWindow(menuWindow) : 0;
    const UINT dpi = windowDpi != 0 ? windowDpi : MeasureDpi(record.iType);
    const bool selected = (draw.itemState & kItemSelected) && !(draw.itemState & kItemDisabled);
    const MenuItemContent content = ResolveContent(record, stringMode, selected, dpi);

    // The DC carries the system menu font; only a custom face needs a font of its own.
    UniqueFont font;
    if (!look_.CustomFontFace.empty()) {
        if (dpi != fontDpi_) {
            LoadMenuFont(dpi);
        }
        font.reset(::CreateFontIndirectW(&font_));
    }
    const SelectGuard select(draw.hDC, font.get());
    DrawItemContent(draw.hDC, draw.rcItem, draw.itemState, look_, content, dpi, picChecked(dpi));
}

// ---- Messages ------------------------------------------------------------------------------------

HWND ctlUTF8Menu::ActiveMdiChild() const noexcept {
    if (!::IsWindow(mdiClient_)) {
        return nullptr;
    }
    BOOL maximized = FALSE;
    return reinterpret_cast<HWND>(::SendMessageW(mdiClient_, WM_MDIGETACTIVE, 0, reinterpret_cast<LPARAM>(&maximized)));
}

void ctlUTF8Menu::OnInitMenuPopup(LRESULT& lReturn, HWND hWnd, WPARAM wParam, LPARAM lParam) {
    const auto popup = reinterpret_cast<HMENU>(wParam);
    // The popup opens at the cursor: its items are measured for that monitor's DPI.
    popupDpi_ = CursorMonitorDpi();
    // The high word says the popup is a window menu (a system menu).
    const bool windowMenu = HighWord(static_cast<int32_t>(lParam)) != 0;
    if (popup && popup != ::GetSystemMenu(hWnd, FALSE)) {
        if (::IsWindow(mdiClient_)) {
            const HWND child = ActiveMdiChild();
            const bool childSystemMenu = ::IsWindow(child) && ::GetSystemMenu(child, FALSE) == popup;
            if (!childSystemMenu && !windowMenu) {
                HookPopup(popup);
                lReturn = 0;
                return;
            }
        } else if (::IsWindow(mdiFrame_)) {
            if (!windowMenu) {
                ::SendMessageW(mdiFrame_, WM_APP_MDISAVEPOPUP, wParam, lParam);
                lReturn = 0;
                return;
            }
        } else if (!windowMenu) {
            HookPopup(popup);
            lReturn = 0;
            return;
        }
    }
    lReturn = MSubclass::CallPreviousProc(hWnd, WM_INITMENUPOPUP, wParam, lParam);
}

void ctlUTF8Menu::OnMdiSetMenu(WPARAM wParam) {
    const auto menu = reinterpret_cast<HMENU>(wParam);
    if (menu && menu != menu_) {
        UseMenu(menu);
        if (const HWND child = ActiveMdiChild()) {
            ::SendMessageW(child, WM_APP_MDIFRAME, reinterpret_cast<WPARAM>(hwnd_), 0);
        }
    }
}

void ctlUTF8Menu::WindowProc(bool /*bBefore*/, bool& bStopMsg, LRESULT& lReturn, HWND hWnd, UINT uMsg, WPARAM wParam,
                             LPARAM lParam) noexcept {
    try {
        switch (uMsg) {
        case WM_SETTINGCHANGE:
            // The window's own procedure still runs and answers.
            lReturn = 0;
            LoadMenuFont(fontDpi_ != 0 ? fontDpi_ : CursorMonitorDpi());
            break;
        case WM_DRAWITEM: {
            bStopMsg = true;
            const auto* request = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
            if (wParam != 0 || !request || request->CtlType != ODT_MENU) {
                // A control's item, not a menu's.
                lReturn = MSubclass::CallPreviousProc(hWnd, uMsg, wParam, lParam);
                break;
            }
            DRAWITEMSTRUCT copy = *request;
            if (!items_.empty()) {
                DrawMenuItem(copy, stringMode_);
            } else if (::IsWindow(mdiFrame_)) {
                ::SendMessageW(mdiFrame_, WM_APP_REQDATA_DI, static_cast<WPARAM>(stringMode_),
                               reinterpret_cast<LPARAM>(&copy));
            }
            lReturn = 1;
            break;
        }
        case WM_MEASUREITEM: {
            bStopMsg = true;
            auto* request = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
            if (wParam != 0 || !request || request->CtlType != ODT_MENU) {
                lReturn = MSubclass::CallPreviousProc(hWnd, uMsg, wParam, lParam);
                break;
            }
            MEASUREITEMSTRUCT copy = *request;
            if (::IsWindow(mdiFrame_)) {
                ::SendMessageW(mdiFrame_, WM_APP_REQDATA_MI, static_cast<WPARAM>(stringMode_),
                               reinterpret_cast<LPARAM>(&copy));
            } else {
                MeasureMenuItem(copy, stringMode_);
            }
            *request = copy;
            lReturn = 1;
            break;
        }
        case WM_INITMENUPOPUP:
            bStopMsg = true;
            OnInitMenuPopup(lReturn, hWnd, wParam, lParam);
            break;
        case WM_MDISETMENU:
            OnMdiSetMenu(wParam);
            break;
        case WM_APP_MDIFRAME:
            bStopMsg = true;
            mdiFrame_ = reinterpret_cast<HWND>(wParam);
            lReturn = 1;
            break;
        case WM_APP_REQDATA_MI:
            bStopMsg = true;
            if (auto* request = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam)) {
                MEASUREITEMSTRUCT copy = *request;
                MeasureMenuItem(copy, static_cast<int32_t>(wParam));
                *request = copy;
                lReturn = 1;
            }
            break;
        case WM_APP_REQDATA_DI:
            bStopMsg = true;
            if (const auto* request = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam)) {
                const DRAWITEMSTRUCT copy = *request;
                DrawMenuItem(copy, static_cast<int32_t>(wParam));
                lReturn = 1;
            }
            break;
        case WM_APP_MDISAVEPOPUP:
            bStopMsg = true;
            HookPopup(reinterpret_cast<HMENU>(wParam));
            break;
        default:
            break;
        }
    } catch (const std::exception& error) {
        ReportCaughtError(error, "ctlUTF8Menu.WindowProc");
        // Discarded: the message keeps the stop flag and return value it had when the error came.
    }
}
