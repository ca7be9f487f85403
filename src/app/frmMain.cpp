#include "app/frmMain.h"

#include "app/SingleInstance.h"
#include "winmsg/PopupMenu.h"
#include "util/ErrorReport.h"

#include "app/FormHelpers.h"
#include "controls/modCtlCommon_ctl.h"
#include "resource.h"

#include <iterator>

namespace {
// Fixed single frame with a title bar; the controls paint themselves, so the form's own painting
// leaves them out.
constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
constexpr wchar_t kIconTip[] = L"Left click to show/hide the ruler, Right click for the menu";

// The design, at 96 dots per inch.
constexpr LayoutBox kImage1{4, 2, 400, 200}; // the backdrop
constexpr LayoutBox kImage3{38, 30, 48, 48}; // the program's icon
constexpr LayoutBox kImage5{16, 90, 97, 18}; // a ruler strip
constexpr LayoutBox kTxtInfo{120, 8, 271, 181};
constexpr LayoutBox kLblCopy{6, 204, 391, 17};
constexpr LayoutBox kLblSite{134, 226, 125, 13};
constexpr LayoutBox kBtnClose{112, 250, 175, 31};
// Between the help window and the ruler on the first run.
constexpr int kGapToRuler = 8;

const StdFont kInfoFont{L"Arial", 9.75};
const StdFont kFormFont{L"MS Sans Serif", 8.25};

constexpr int32_t kBlack = 0x000000;
constexpr int32_t kWhite = 0xFFFFFF;
constexpr int32_t kLightGrey = 0xC0C0C0;

LayoutBox BoxOf(const RECT& r) {
    return LayoutBox{r.left, r.top, r.right - r.left, r.bottom - r.top};
}
} // namespace

const std::wstring& frmMain::HelpText() {
    static const std::wstring text = [] {
        const wchar_t* const lines[] = {
            L"Trelvik is a program that permits you to:",
            L"- Test if your application windows fit in a certain screen resolution (very useful for developers!);",
            L"- Measure any window by dragging the red ball (left-upper corner).",
            L"",
            L"How to use this program:",
            L"- Move the ruler by dragging it",
            L"- Measure a certain window by dragging the red ball over it",
            L"- Show/Hide the ruler by left-clicking over the notify icon",
            L"- Show the options by right-clicking over the notify icon or the ruler window",
            L"- The ruler can be resized using the mouse",
        };
        std::wstring joined = lines[0];
        for (size_t i = 1; i < std::size(lines); ++i) {
            joined += L"\r\n";
            joined += lines[i];
        }
        return joined;
    }();
    return text;
}

frmMain::frmMain(MainHost& host, clsTrayArea::ShellCall shell) : host_(host), tray_(std::move(shell), ::GetVersion()) {}

frmMain::~frmMain() {
    Destroy();
}

bool frmMain::Load() {
    if (IsCreated()) {
        return true;
    }
    smallIcon_ = LoadProgramIcon(::GetSystemMetrics(SM_CXSMICON));
    ClassInfo cls{ClassName};
    cls.iconResource = IDI_TRELVIK;
    cls.background = static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH));

    if (!CreateCentredWindow(cls, kStyle, L"Trelvik", ClientWidth, ClientHeight)) {
        return false;
    }
    const int dpi = static_cast<int>(::GetDpiForWindow(hwnd()));
    dpi_ = dpi > 0 ? dpi : kDesignDpi;
    // On at once: the manager serves every drawn control of the program, the ruler's ball included.
    ctlUniTooltipManager1_.ReadProperties(PropertyBag{{"ActivateTips", true},
                                                      {"TipBgColor", ctlUniTooltipManager::kTipBackground},
                                                      {"TipFgColor", ctlUniTooltipManager::kTipText},
                                                      {"Font", kFormFont}});
    return true;
}

void frmMain::MakeContent() {
    if (contentMade_) {
        return;
    }
    contentMade_ = true;
    backdrop_ = LoadBitmapResource(IDB_HELP_BACKDROP);
    strip_ = LoadBitmapResource(IDB_HELP_STRIP);
    hand_ = LoadLinkPointer();
    CreateControls();
    LayOut();
}

void frmMain::CreateControls() {
    // Created in tab order: the text box, then the button.
    txtInfo_.events.MouseMove = [this](int16_t& button, int16_t&, float&, float&) { OnInfoMouseMove(button); };
    // A multi-line edit asks the dialog keys for every key, Escape included, and would keep it (some
    // systems' edits even close their parent with it, here the text box): Escape is the form's.
    txtInfo_.events.KeyDown = [this](int16_t& keyCode, int16_t&) {
        if (keyCode == VK_ESCAPE) {
            keyCode = 0;
            ::PostMessageW(hwnd(), WM_COMMAND, IDCANCEL, 0);
        }
    };
    (void)txtInfo_.Create(hwnd(), ToRect(kTxtInfo),
                          PropertyBag{{"Text", HelpText()},
                                      {"Locked", true},
                                      {"MultiLine", true},
                                      {"ScrollBars", int32_t{2}},
                                      {"Font", kInfoFont},
                                      {"ForeColor", kBlack},
                                      {"BackColor", kWhite},
                                      {"BorderColor", kWhite}});

    (void)lblCopy_.Create(hwnd(), ToRect(kLblCopy),
                          PropertyBag{{"Caption", std::wstring(kNoticeLine)},
                                      {"Alignment", int32_t{2}},
                                      {"ForeColor", kBlack},
                                      {"BackColor", kLightGrey},
                                      {"Font", kFormFont}});
    lblCopy_.Style(3); // set as the window is made, not stored

    lblSite_.events.Click = [this] { OpenSite(hwnd()); };
    (void)lblSite_.Create(hwnd(), ToRect(kLblSite), SiteLabelProperties(hand_));

    btnClose_.events.Click = [this] { HideHelp(); };
    (void)btnClose_.Create(hwnd(), ToRect(kBtnClose),
                           PropertyBag{{"Caption", std::wstring(L"Close this window")},
                                       {"RoundedBorders", true},
                                       {"BackColor", UniControl::kButtonFace},
                                       {"ForeColor", UniControl::kButtonText},
                                       {"BackColorOut", kWhite}, // the form around the rounded corners
                                       {"Font", kFormFont},
                                       {"Cancel", true}});
}

void frmMain::LayOut() {
    bigIcon_ = LoadProgramIcon(ScaleToDpi(kImage3.width, dpi_));
    const int screenDpi = ScreenDpi();
    PlaceAtDpi(txtInfo_.hwnd(), kTxtInfo, dpi_);
    PlaceAtDpi(lblCopy_.hwnd(), kLblCopy, dpi_);
    PlaceAtDpi(lblSite_.hwnd(), kLblSite, dpi_); // the label then fits itself to its text, centred there
    PlaceAtDpi(btnClose_.hwnd(), kBtnClose, dpi_);
    SkipOnError([&] {
        txtInfo_.Font(FontAtDpi(kInfoFont, dpi_, screenDpi));
        lblCopy_.Font(FontAtDpi(kFormFont, dpi_, screenDpi));
        lblSite_.Font(FontAtDpi(SiteLabelFont(), dpi_, screenDpi));
        // The button itself turns points into pixels at its window's DPI.
        const int buttonDpi = btnClose_.hwnd() ? static_cast<int>(::GetDpiForWindow(btnClose_.hwnd())) : 0;
        btnClose_.Font(FontAtDpi(kFormFont, dpi_, buttonDpi > 0 ? buttonDpi : screenDpi));
    });
    ::InvalidateRect(hwnd(), nullptr, TRUE);
}

void frmMain::Paint(HDC dc) noexcept {
    DrawBitmapPart(dc, backdrop_.get(), ScaleToDpi(kImage1, dpi_), kImage1.width, kImage1.height);
    if (bigIcon_) {
        const LayoutBox box = ScaleToDpi(kImage3, dpi_);
        ::DrawIconEx(dc, box.left, box.top, bigIcon_.get(), box.width, box.height, 0, nullptr, DI_NORMAL);
    }
    DrawBitmapPart(dc, strip_.get(), ScaleToDpi(kImage5, dpi_), kImage5.width, kImage5.height);
}

void frmMain::ShowHelp() noexcept {
    if (!IsCreated()) {
        return;
    }
    SkipOnError([&] { MakeContent(); });
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

void frmMain::PlaceBeside(const RECT& ruler) noexcept {
    if (!IsCreated()) {
        return;
    }
    // A move onto a monitor of another DPI resizes the window (WM_DPICHANGED): then it is placed again
    // with its new size.
    for (int pass = 0; pass < 2; ++pass) {
        MONITORINFO monitor{sizeof(monitor)};
        if (!::GetMonitorInfoW(::MonitorFromRect(&ruler, MONITOR_DEFAULTTONEAREST), &monitor)) {
            return;
        }
        const LayoutBox window = BoxOf(Bounds());
        const LayoutPoint place = ::PlaceClearOf(BoxOf(monitor.rcWork), BoxOf(ruler), window.width, window.height,
                                                 ScaleToDpi(kGapToRuler, dpi_));
        const int dpiBefore = dpi_;
        ::SetWindowPos(hwnd(), nullptr, place.x, place.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        if (dpi_ == dpiBefore) {
            return;
        }
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
    if (msg == ShowRulerMessage() && ShowRulerMessage() != 0) {
        // Started again: the user wants the ruler, not a second program.
        host_.ShowRulerInFront();
        return 1;
    }
    switch (msg) {
    case WM_PAINT: {
        const PaintDC dc(hwnd());
        Paint(dc.get());
        return 0;
    }
    case WM_PRINTCLIENT: {
        const auto dc = reinterpret_cast<HDC>(wParam);
        RECT client{};
        ::GetClientRect(hwnd(), &client);
        ::FillRect(dc, &client, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
        Paint(dc);
        return 0;
    }
    case WM_ACTIVATE:
        if (LOWORD(wParam) == WA_INACTIVE) {
            OnActivate(false);
        } else if (!HIWORD(wParam)) { // not minimized
            OnActivate(true);
            return 0;
        }
        break;
    case WM_COMMAND:
        // IDCANCEL from the dialog keys (Escape): the cancel button, "Close this window".
        if (ctlUniButtonImageXP::RouteDialogCommand(hwnd(), wParam)) {
            return 0;
        }
        break;
    case WM_DPICHANGED:
        OnDpiChanged(LOWORD(wParam), lParam);
        return 0;
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

void frmMain::OnActivate(bool active) noexcept {
    if (!active) {
        const HWND focus = ::GetFocus();
        if (focus && ::IsChild(hwnd(), focus)) {
            focus_ = focus;
        }
        return;
    }
    // Back to the control that had the focus; the help text the first time.
    HWND target = focus_ && ::IsWindow(focus_) && ::IsChild(hwnd(), focus_) ? focus_ : txtInfo_.hWnd();
    ::SetFocus(target ? target : hwnd());
}

void frmMain::OnDpiChanged(int dpi, LPARAM suggested) {
    dpi_ = dpi > 0 ? dpi : kDesignDpi;
    ApplySuggestedRect(hwnd(), suggested);
    if (contentMade_) {
        LayOut();
    }
}

void frmMain::OnInfoMouseMove(int16_t button) noexcept {
    // No text stays selected under the resting mouse. Not while a button is held, which is the user
    // selecting; and only when something is selected, as setting the selection scrolls the caret into
    // view, which would undo the user's scrolling.
    SkipOnError([&] {
        if (button == 0 && txtInfo_.SelLength() != 0) {
            txtInfo_.SelLength(0);
        }
    });
}

void frmMain::OnTrayEvent(UINT event) {
    switch (event) {
    case WM_LBUTTONUP:
        host_.OnIconLeftClick();
        break;
    case WM_RBUTTONUP:
        // Owned by the hidden menu window: making the shown help window foreground instead would move
        // the keyboard focus, which under X closes the popup at once.
        ShowPopupMenuAtCursor(host_.TrayMenuOwner(), host_.TrayMenu());
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
