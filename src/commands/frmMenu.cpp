#include "commands/frmMenu.h"

#include "app/clsTrayArea.h"
#include "commands/Autostart.h"
#include "commands/CaptureScreen.h"
#include "ruler/frmRulers.h"
#include "ruler/modMain.h"
#include "sysinfo/WindowsVersion.h"

#include <array>
#include <vector>

namespace {
constexpr wchar_t kClassName[] = L"TrelvikMenu";

UINT Id(MenuId id) noexcept {
    return static_cast<UINT>(id);
}

struct PresetSize {
    MenuId id;
    int width;
    int height;
};
constexpr std::array<MenuId, 5> kUnitItems{MenuId::mnuPoints, MenuId::mnuPixels, MenuId::mnuInches,
                                           MenuId::mnuCentimeters, MenuId::mnuMillimeters};

constexpr std::array<PresetSize, 5> kPresetSizes{{
    {MenuId::mnu320x200, 320, 200},
    {MenuId::mnu640x480, 640, 480},
    {MenuId::mnu800x600, 800, 600},
    {MenuId::mnu1024x768, 1024, 768},
    {MenuId::mnu1280x1024, 1280, 1024},
}};
} // namespace

frmMenu::frmMenu(MenuHost& host, const SettingsStore& settings) : host_(host), settings_(settings) {}

frmMenu::~frmMenu() {
    Destroy();
}

bool frmMenu::Load() {
    if (IsCreated()) {
        return true;
    }
    BuildMenuTree();
    if (!CreateWindowFor(ClassInfo{kClassName}, WS_EX_TOOLWINDOW, WS_POPUP, L"Trelvik menu", 0, 0, 0, 0)) {
        return false;
    }
    SetChecked(MenuId::mnuTransparent, settings_.Get(L"Transp", L"1") == L"1");
    if (WindowsVersion() < 8) {
        // No layered windows before Windows 2000.
        SetChecked(MenuId::mnuTransparent, false);
        SetEnabled(MenuId::mnuTransparent, false);
    }
    SetChecked(MenuId::mnuAutoStart, QueryAutostart(false) == 2);
    SetChecked(MenuId::mnuPixels, true);
    return true;
}

void frmMenu::BuildMenuTree() {
    UniqueMenu advanced(::CreatePopupMenu());
    auto item = [](HMENU menu, MenuId id, const wchar_t* caption) { ::AppendMenuW(menu, MF_STRING, Id(id), caption); };
    item(advanced.get(), MenuId::sep5, L"[SEP]General");
    item(advanced.get(), MenuId::mnuAutoStart, L"Autostart with Windows");
    item(advanced.get(), MenuId::mnuTransparent, L"The ruler is transparent");
    item(advanced.get(), MenuId::sep4, L"[SEP]Scale Mode");
    item(advanced.get(), MenuId::mnuPoints, L"Points");
    item(advanced.get(), MenuId::mnuPixels, L"Pixels");
    item(advanced.get(), MenuId::mnuInches, L"Inches");
    item(advanced.get(), MenuId::mnuCentimeters, L"Centimeters");
    item(advanced.get(), MenuId::mnuMillimeters, L"Millimeters");

    UniqueMenu root(::CreatePopupMenu());
    item(root.get(), MenuId::mnuShowHideRuler, L"Show/Hide Ruler");
    item(root.get(), MenuId::mnuCaptureScreen, L"Capture Screen");
    ::AppendMenuW(root.get(), MF_SEPARATOR, 0, nullptr);
    item(root.get(), MenuId::mnu320x200, L"Size 320x200 px");
    item(root.get(), MenuId::mnu640x480, L"Size 640x480 px");
    item(root.get(), MenuId::mnu800x600, L"Size 800x600 px");
    item(root.get(), MenuId::mnu1024x768, L"Size 1024x768 px");
    item(root.get(), MenuId::mnu1280x1024, L"Size 1280x1024 px");
    ::AppendMenuW(root.get(), MF_SEPARATOR, 0, nullptr);
    // The menu takes ownership of a submenu once it is appended.
    if (::AppendMenuW(root.get(), MF_POPUP, reinterpret_cast<UINT_PTR>(advanced.get()), L"Advanced...")) {
        (void)advanced.release();
    }
    item(root.get(), MenuId::mnuHelp, L"&Help");
    item(root.get(), MenuId::mnuAbout, L"&About");
    ::AppendMenuW(root.get(), MF_SEPARATOR, 0, nullptr);
    item(root.get(), MenuId::mnuExit, L"&Exit");

    UniqueMenu bar(::CreateMenu());
    if (::AppendMenuW(bar.get(), MF_POPUP, reinterpret_cast<UINT_PTR>(root.get()), L"Menu")) {
        (void)root.release();
    }
    menuBar_ = std::move(bar);
}

void frmMenu::CheckResMenu() {
    const int w = VirtualScreenWidth();
    const int h = VirtualScreenHeight();
    for (const PresetSize& size : kPresetSizes) {
        SetEnabled(size.id, w >= size.width && h >= size.height);
    }
}

HMENU frmMenu::mnuMenu() const noexcept {
    return menuBar_ ? ::GetSubMenu(menuBar_.get(), 0) : nullptr;
}

bool frmMenu::IsChecked(MenuId id) const noexcept {
    const UINT state = ::GetMenuState(mnuMenu(), Id(id), MF_BYCOMMAND);
    return state != static_cast<UINT>(-1) && (state & MF_CHECKED);
}

void frmMenu::SetChecked(MenuId id, bool checked) noexcept {
    ::CheckMenuItem(mnuMenu(), Id(id), MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED));
}

bool frmMenu::IsEnabled(MenuId id) const noexcept {
    const UINT state = ::GetMenuState(mnuMenu(), Id(id), MF_BYCOMMAND);
    return state != static_cast<UINT>(-1) && !(state & (MF_DISABLED | MF_GRAYED));
}

void frmMenu::SetEnabled(MenuId id, bool enabled) noexcept {
    ::EnableMenuItem(mnuMenu(), Id(id), MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
}

std::wstring frmMenu::Caption(MenuId id) const {
    MENUITEMINFOW info{sizeof(info)};
    info.fMask = MIIM_STRING;
    if (!::GetMenuItemInfoW(mnuMenu(), Id(id), FALSE, &info)) {
        return {};
    }
    std::vector<wchar_t> text(info.cch + 1);
    info.dwTypeData = text.data();
    info.cch = static_cast<UINT>(text.size());
    if (!::GetMenuItemInfoW(mnuMenu(), Id(id), FALSE, &info)) {
        return {};
    }
    return std::wstring(text.data());
}

UnitChecks frmMenu::UnitCheckMarks() const {
    return UnitChecks{IsChecked(MenuId::mnuPoints), IsChecked(MenuId::mnuInches), IsChecked(MenuId::mnuCentimeters),
                      IsChecked(MenuId::mnuMillimeters)};
}

bool frmMenu::TransparencyChecked() const {
    return IsChecked(MenuId::mnuTransparent);
}

void frmMenu::OpenMenu(POINT screenPosition) {
    HMENU popup = mnuMenu();
    if (!popup || !IsCreated()) {
        return;
    }
    // Owned by this hidden window, which becomes the foreground window without moving the keyboard
    // focus of a shown one (under X that focus change would close the popup as soon as it opened).
    clsTrayArea::PopupMenu(hwnd(), popup, screenPosition);
}

void frmMenu::OnCommand(MenuId id) {
    switch (id) {
    case MenuId::mnuShowHideRuler:
        host_.Rulers().ToggleShown();
        break;
    case MenuId::mnuCaptureScreen:
        (void)CaptureScreen(host_.Rulers(), hwnd());
        break;
    case MenuId::mnuAutoStart:
        // Written to the system at shutdown.
        SetChecked(id, !IsChecked(id));
        break;
    case MenuId::mnuTransparent:
        SetChecked(id, !IsChecked(id));
        host_.Rulers().CheckTransparency();
        break;
    case MenuId::mnuPoints:
    case MenuId::mnuPixels:
    case MenuId::mnuInches:
    case MenuId::mnuCentimeters:
    case MenuId::mnuMillimeters:
        SelectUnit(id);
        break;
    case MenuId::mnuHelp:
        host_.ShowHelp();
        break;
    case MenuId::mnuAbout:
        host_.ShowAbout();
        break;
    case MenuId::mnuExit:
        Destroy();
        break;
    default:
        for (const PresetSize& size : kPresetSizes) {
            if (size.id == id && IsEnabled(id)) {
                host_.Rulers().SetSize(size.width, size.height);
            }
        }
        break;
    }
}

void frmMenu::SelectUnit(MenuId unit) {
    for (MenuId item : kUnitItems) {
        SetChecked(item, item == unit);
    }
    host_.Rulers().CreateRulers();
}

LRESULT frmMenu::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_COMMAND:
        if (lParam == 0 && HIWORD(wParam) == 0) {
            OnCommand(static_cast<MenuId>(LOWORD(wParam)));
            return 0;
        }
        break;
    case WM_DESTROY:
        OnDestroy();
        return 0;
    default:
        break;
    }
    return Default(msg, wParam, lParam);
}

void frmMenu::OnDestroy() {
    settings_.Save(L"Transp", IsChecked(MenuId::mnuTransparent) ? L"1" : L"0");
    ApplyAutostart(false, IsChecked(MenuId::mnuAutoStart) ? 2 : 0);
    host_.DestroyRemainingWindows();
}
