#include "commands/frmMenu.h"

#include "core/AppError.h"

#include "commands/Autostart.h"
#include "commands/CaptureScreen.h"
#include "ruler/frmRulers.h"
#include "ruler/modMain.h"
#include "resource.h"
#include "sysinfo/WindowsVersion.h"
#include "winmsg/PopupMenu.h"

#include <array>
#include <vector>

namespace {

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

// Every command's caption, as the menu is built with it.
struct ItemCaption {
    MenuId id;
    const wchar_t* caption;
};
constexpr std::array<ItemCaption, 19> kCaptions{{
    {MenuId::mnuShowHideRuler, L"Show/Hide Ruler"},
    {MenuId::mnuCaptureScreen, L"Capture Screen"},
    {MenuId::mnu320x200, L"Size 320x200 px"},
    {MenuId::mnu640x480, L"Size 640x480 px"},
    {MenuId::mnu800x600, L"Size 800x600 px"},
    {MenuId::mnu1024x768, L"Size 1024x768 px"},
    {MenuId::mnu1280x1024, L"Size 1280x1024 px"},
    {MenuId::sep5, L"[SEP]General"},
    {MenuId::mnuAutoStart, L"Autostart with Windows"},
    {MenuId::mnuTransparent, L"The ruler is transparent"},
    {MenuId::sep4, L"[SEP]Scale Mode"},
    {MenuId::mnuPoints, L"Points"},
    {MenuId::mnuPixels, L"Pixels"},
    {MenuId::mnuInches, L"Inches"},
    {MenuId::mnuCentimeters, L"Centimeters"},
    {MenuId::mnuMillimeters, L"Millimeters"},
    {MenuId::mnuHelp, L"&Help"},
    {MenuId::mnuAbout, L"&About"},
    {MenuId::mnuExit, L"&Exit"},
}};

const wchar_t* CaptionOf(MenuId id) noexcept {
    for (const ItemCaption& item : kCaptions) {
        if (item.id == id) {
            return item.caption;
        }
    }
    return L"";
}

constexpr std::array<PresetSize, 5> kPresetSizes{{
    {MenuId::mnu320x200, 320, 200},
    {MenuId::mnu640x480, 640, 480},
    {MenuId::mnu800x600, 800, 600},
    {MenuId::mnu1024x768, 1024, 768},
    {MenuId::mnu1280x1024, 1280, 1024},
}};
// The look of the tray menu: gradient items, a rounded blue-grey selector with white text, 3-D
// separators, no left band. The window turns the gradient on when it is created.
PropertyBag TrayMenuLook() {
    constexpr int32_t menu = static_cast<int32_t>(0x80000004);
    constexpr int32_t menuText = static_cast<int32_t>(0x80000007);
    return PropertyBag{{"IconDim", int32_t{16}},
                       {"FadeBackground", false},
                       {"MenuBackColor", menu},
                       {"MenuForeColorNormal", menuText},
                       {"MenuForeColorDisabled", static_cast<int32_t>(0x80000011)},
                       {"SelectorBackColor", int32_t{0x00A78A7F}},
                       {"SelectorForeColor", int32_t{0x00FFFFFF}},
                       {"ExtSepBackColor", menu},
                       {"ExtSepForeColor", menuText},
                       {"FadeExtSep", false},
                       {"SelectorStyle", int32_t{-1}},
                       {"FullSelector", true},
                       {"LeftBand", false},
                       {"LeftBandBackColor", menu},
                       {"FadeLeftBand", false},
                       {"Separators3D", true},
                       {"LeftBandSeparators", false},
                       {"StringMode", int32_t{2}},
                       {"RoundSelector", true}};
}

// The pictures' resources (each at 100, 150 and 200 percent: the identifier plus 0, 1, 2) and their
// size at 100 percent.
struct PictureResource {
    WORD id;
    int width;
};
constexpr std::array<PictureResource, 5> kPictureResources{{
    {IDB_MENU_ABOUT, 16},
    {IDB_MENU_SETTINGS, 14},
    {IDB_MENU_EXIT, 14},
    {IDB_MENU_ADDON, 16},
    {IDB_MENU_SCREEN, 16},
}};
constexpr std::array<int, 3> kPictureScales{100, 150, 200};
} // namespace

frmMenu::frmMenu(MenuHost& host, SettingsStore& settings)
    : host_(host), settings_(settings), ctlUTF8Menu1_(TrayMenuLook()) {
    ctlUTF8Menu1_.events.ItemPicture = [this](std::wstring& sItemText, const Picture*& oItemPic, int16_t& iItemPicWidth,
                                              int16_t&, bool&, bool,
                                              UINT) { OnItemPicture(sItemText, oItemPic, iItemPicWidth); };
}

frmMenu::~frmMenu() {
    Destroy();
}

bool frmMenu::Load() {
    if (IsCreated()) {
        return true;
    }
    BuildMenuTree();
    if (!CreateWindowFor(ClassInfo{ClassName}, WS_EX_TOOLWINDOW, WS_POPUP, L"Trelvik menu", 0, 0, 0, 0)) {
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
    ctlUTF8Menu1_.FadeBackground(true);
    try {
        ctlUTF8Menu1_.Attach(hwnd());
    } catch (const AppError&) {
        // Without the control the menu still works, as the system's plain popup.
    }
    return true;
}

void frmMenu::OnItemPicture(const std::wstring& caption, const Picture*& picture, int16_t iconDim) const {
    struct Match {
        MenuId item;
        MenuPicture picture;
    };
    static constexpr std::array<Match, 9> kMatches{{
        {MenuId::mnuAbout, MenuPicture::About},
        {MenuId::mnuHelp, MenuPicture::Settings},
        {MenuId::mnuExit, MenuPicture::Exit},
        {MenuId::mnuShowHideRuler, MenuPicture::Addon},
        {MenuId::mnu320x200, MenuPicture::Screen},
        {MenuId::mnu640x480, MenuPicture::Screen},
        {MenuId::mnu800x600, MenuPicture::Screen},
        {MenuId::mnu1024x768, MenuPicture::Screen},
        {MenuId::mnu1280x1024, MenuPicture::Screen},
    }};
    for (const Match& match : kMatches) {
        // Exact and case-sensitive, "&" marks included: the captions as the menu holds them.
        if (caption == CaptionOf(match.item)) {
            picture = PictureFor(match.picture, iconDim);
            return;
        }
    }
}

const Picture* frmMenu::PictureFor(MenuPicture which, int16_t iconDim) const {
    const PictureResource& resource = kPictureResources[static_cast<size_t>(which)];
    // The largest drawing that fits the picture box of the menu's DPI: never scaled by the system.
    size_t scale = 0;
    for (size_t i = 1; i < kPictureScales.size(); ++i) {
        if (::MulDiv(resource.width, kPictureScales[i], 100) <= iconDim) {
            scale = i;
        }
    }
    Picture& picture = pictures_[static_cast<size_t>(which)][scale];
    if (!picture) {
        picture = Picture::FromBitmap(
            static_cast<HBITMAP>(::LoadImageW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(resource.id + scale),
                                              IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    }
    return picture ? &picture : nullptr;
}

void frmMenu::BuildMenuTree() {
    UniqueMenu advanced(::CreatePopupMenu());
    auto item = [](HMENU menu, MenuId id) { ::AppendMenuW(menu, MF_STRING, Id(id), CaptionOf(id)); };
    item(advanced.get(), MenuId::sep5);
    item(advanced.get(), MenuId::mnuAutoStart);
    item(advanced.get(), MenuId::mnuTransparent);
    item(advanced.get(), MenuId::sep4);
    item(advanced.get(), MenuId::mnuPoints);
    item(advanced.get(), MenuId::mnuPixels);
    item(advanced.get(), MenuId::mnuInches);
    item(advanced.get(), MenuId::mnuCentimeters);
    item(advanced.get(), MenuId::mnuMillimeters);

    UniqueMenu root(::CreatePopupMenu());
    item(root.get(), MenuId::mnuShowHideRuler);
    item(root.get(), MenuId::mnuCaptureScreen);
    ::AppendMenuW(root.get(), MF_SEPARATOR, 0, nullptr);
    item(root.get(), MenuId::mnu320x200);
    item(root.get(), MenuId::mnu640x480);
    item(root.get(), MenuId::mnu800x600);
    item(root.get(), MenuId::mnu1024x768);
    item(root.get(), MenuId::mnu1280x1024);
    ::AppendMenuW(root.get(), MF_SEPARATOR, 0, nullptr);
    // The menu takes ownership of a submenu once it is appended.
    if (::AppendMenuW(root.get(), MF_POPUP, reinterpret_cast<UINT_PTR>(advanced.get()), L"Advanced...")) {
        (void)advanced.release();
    }
    item(root.get(), MenuId::mnuHelp);
    item(root.get(), MenuId::mnuAbout);
    ::AppendMenuW(root.get(), MF_SEPARATOR, 0, nullptr);
    item(root.get(), MenuId::mnuExit);

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
    return CaptionOf(id);
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
    ShowPopupMenu(hwnd(), popup, screenPosition);
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
    case WM_SYSCOMMAND:
        // Alt+F4 while this hidden window has the keyboard (after the menu was opened and closed) is
        // no way to end the program; WM_CLOSE sent by another program still ends it in order.
        if ((wParam & 0xFFF0) == SC_CLOSE) {
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
    ctlUTF8Menu1_.Detach();
    settings_.Save(L"Transp", IsChecked(MenuId::mnuTransparent) ? L"1" : L"0");
    ApplyAutostart(false, IsChecked(MenuId::mnuAutoStart) ? 2 : 0);
    host_.DestroyRemainingWindows();
}
