#include "app/frmMain.h"

#include "controls/modCtlCommon_ctl.h"
#include "resource.h"

namespace {
constexpr wchar_t kClassName[] = L"TrelvikMain";
constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
constexpr wchar_t kIconTip[] = L"Left click to show/hide the ruler, Right click for the menu";

UniqueIcon LoadAppIcon(int size) {
    return UniqueIcon(static_cast<HICON>(
        ::LoadImageW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_TRELVIK), IMAGE_ICON, size, size, 0)));
}
} // namespace

frmMain::frmMain(MainHost& host, clsTrayArea::ShellCall shell) : host_(host), tray_(std::move(shell), ::GetVersion()) {}

frmMain::~frmMain() {
    Destroy();
}

bool frmMain::Load() {
    if (IsCreated()) {
        return true;
    }
    smallIcon_ = LoadAppIcon(::GetSystemMetrics(SM_CXSMICON));
    ClassInfo cls{kClassName};
    cls.iconResource = IDI_TRELVIK;
    cls.background = static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH));

    // The fixed layout is designed at 96 dots per inch.
    if (!CreateCentredWindow(cls, kStyle, L"Trelvik", ClientWidth, ClientHeight)) {
        return false;
    }
    ctlUniTooltipManager1_.ReadProperties(PropertyBag{{"ActivateTips", true},
                                                      {"TipBgColor", ctlUniTooltipManager::kTipBackground},
                                                      {"TipFgColor", ctlUniTooltipManager::kTipText},
                                                      {"Font", StdFont{L"MS Sans Serif", 8.25}}});
    return true;
}

void frmMain::ShowHelp() noexcept {
    if (!IsCreated()) {
        return;
    }
    if (::IsIconic(hwnd())) {
        ::ShowWindow(hwnd(), SW_RESTORE);
    }
    ::ShowWindow(hwnd(), SW_SHOW);
}

void frmMain::HideHelp() noexcept {
    if (IsCreated()) {
        ::ShowWindow(hwnd(), SW_HIDE);
    }
}

bool frmMain::AddTrayIcon() {
    if (!IsCreated()) {
        return false;
    }
    tray_.hWnd(hwnd());
    // A message of our own: mouse moves over the help window must never read as icon clicks.
    tray_.Message(TrayCallbackMessage);
    return tray_.AddIcon(IconId, kIconTip, smallIcon_.get());
}

bool frmMain::ShowFirstRunBalloon() {
    return tray_.ShowBalloonTip(L"Hey, look here!", L"Trelvik", NIIF_INFO, 30000);
}

LRESULT frmMain::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == TrayCallbackMessage) {
        OnTrayEvent(LOWORD(lParam));
        return 0;
    }
    if (msg == taskbarCreated_ && taskbarCreated_ != 0) {
        // A restarted taskbar has forgotten our icon; it is the user's only handle on the program.
        (void)AddTrayIcon();
        return 0;
    }
    switch (msg) {
    case WM_SYSCOMMAND:
        // The title-bar close button, the window menu's Close and Alt+F4 all arrive here: the user
        // only hides the help window.
        if ((wParam & 0xFFF0) == SC_CLOSE) {
            HideHelp();
            return 0;
        }
        break;
    case WM_CLOSE:
        // Not from the user (that was SC_CLOSE above): another program asks us to close. End
        // orderly, so the settings are saved and no process is left without its icon.
        host_.Shutdown();
        return 0;
    case WM_SIZE:
        OnSize(static_cast<UINT>(wParam));
        break;
    case WM_QUERYENDSESSION:
        return TRUE;
    case WM_ENDSESSION:
        OnEndSession(wParam != FALSE);
        return 0;
    case WM_DESTROY:
        OnDestroy();
        return 0;
    default:
        break;
    }
    return Default(msg, wParam, lParam);
}

void frmMain::OnTrayEvent(UINT event) {
    switch (event) {
    case WM_LBUTTONUP:
        host_.OnIconLeftClick();
        break;
    case WM_RBUTTONUP:
        // Owned by the hidden menu window: making the shown help window foreground instead would move
        // the keyboard focus, which under X closes the popup at once.
        clsTrayArea::PopupMenu(host_.TrayMenuOwner(), host_.TrayMenu());
        break;
    default:
        break;
    }
}

void frmMain::OnSize(UINT state) {
    if (state == SIZE_MINIMIZED) {
        HideHelp();
    }
}

void frmMain::OnEndSession(bool ending) {
    // The session ends right after this message: save everything now, as Exit would.
    if (ending) {
        host_.Shutdown();
    }
}

void frmMain::OnDestroy() {
    tray_.RemoveAllIcons();
    // The tips of the whole program go with the help window.
    UnloadToolTipWindow();
    // The main window is the last window of the program: the message loop ends with it.
    ::PostQuitMessage(0);
}
