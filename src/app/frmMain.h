#pragma once
// The main window: hidden most of the time, it hosts the notification icon and is the help window.
// A user's close request or minimize only hides it; the program ends through its shutdown sequence.
//
// As the help window it shows the backdrop with the program's icon and a ruler strip, the help text in
// a read-only text box (which takes the focus), the maker's notice, a link to the maker's site and a
// "Close this window" button (the cancel button: Escape hides the window too, where the message loop
// does dialog navigation). It is laid out for the DPI of the monitor it is on, and again when that
// changes; at 96 DPI every place and size is its design.
#include <string>

#include "app/clsTrayArea.h"
#include "controls/ctlUniButtonImageXP.h"
#include "controls/ctlUniLabel.h"
#include "controls/ctlUniTextBoxXP.h"
#include "controls/ctlUniTooltipManager.h"
#include "util/Handles.h"
#include "winmsg/WindowBase.h"

class MainHost {
public:
    // Runs the orderly shutdown (what Exit does): settings saved, windows destroyed, loop ended.
    virtual void Shutdown() = 0;
    // A left click on the notification icon: the ruler is shown or hidden, the help window and the
    // About box are hidden.
    virtual void OnIconLeftClick() = 0;
    // The tray menu that a right click on the icon opens, and the hidden window that owns it while it
    // is open (and so receives its commands).
    [[nodiscard]] virtual HMENU TrayMenu() = 0;
    [[nodiscard]] virtual HWND TrayMenuOwner() = 0;
    // A later start of the program asks this one to show its ruler in front.
    virtual void ShowRulerInFront() = 0;

protected:
    ~MainHost() = default;
};

class frmMain final : public WindowBase {
public:
    // The window class, by which a later start of the program finds this one.
    static constexpr wchar_t ClassName[] = L"TrelvikMain";
    static constexpr int ClientWidth = 404; // at 96 dots per inch
    static constexpr int ClientHeight = 287;

    // The icon's identifier and the message its mouse events arrive with.
    static constexpr UINT IconId = 1;
    static constexpr UINT TrayCallbackMessage = WM_APP + 1;

    // The help text: ten lines joined by CR LF, with no line break after the last.
    [[nodiscard]] static const std::wstring& HelpText();

    // The shell call of the notification icon can be replaced (tests record the exact records).
    explicit frmMain(MainHost& host, clsTrayArea::ShellCall shell = {});
    ~frmMain() override;

    // Creates the window hidden, centred on the primary monitor's work area, with its controls and the
    // help text.
    [[nodiscard]] bool Load();
    // Shows the help window in the normal (not minimized) state.
    // Shows the window, making its controls and pictures on the first showing: a program started with
    // the help hidden does not wait for them.
    void ShowHelp() noexcept;
    void HideHelp() noexcept;
    // Moves the window onto the work area of the monitor of `ruler` (screen pixels), where the ruler
    // does not cover it: beside it where there is room, else below (or above) it.
    void PlaceBeside(const RECT& ruler) noexcept;

    // Puts the program's icon with its tip into the notification area; false when the shell refused.
    bool AddTrayIcon();
    // The first-run hint on the icon.
    bool ShowFirstRunBalloon();
    [[nodiscard]] const clsTrayArea& Tray() const noexcept { return tray_; }

    // The DPI the window is laid out for.
    [[nodiscard]] int Dpi() const noexcept { return dpi_; }
    // The controls, for the keyboard loop and tests; windows once the help has been shown.
    [[nodiscard]] ctlUniTextBoxXP& txtInfo() noexcept { return txtInfo_; }
    [[nodiscard]] ctlUniLabel& lblCopy() noexcept { return lblCopy_; }
    [[nodiscard]] ctlUniLabel& lblSite() noexcept { return lblSite_; }
    [[nodiscard]] ctlUniButtonImageXP& btnClose() noexcept { return btnClose_; }

protected:
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    // The controls and pictures, once.
    void MakeContent();
    void CreateControls();
    // Places, sizes, fonts and pictures for dpi_.
    void LayOut();
    void Paint(HDC dc) noexcept;
    void OnActivate(bool active) noexcept;
    void OnDpiChanged(int dpi, LPARAM suggested);
    void OnInfoMouseMove(int16_t button) noexcept;
    void OnTrayEvent(UINT event);
    void OnSize(UINT state);
    void OnEndSession(bool ending);
    void OnDestroy();

    MainHost& host_;
    UniqueIcon smallIcon_; // the notification icon's picture
    // Enables the tips of every drawn control of the program (the ruler's ball included).
    ctlUniTooltipManager ctlUniTooltipManager1_;
    clsTrayArea tray_;
    // Sent by the shell when the taskbar (re)starts: icons must be added again.
    UINT taskbarCreated_ = ::RegisterWindowMessageW(L"TaskbarCreated");

    int dpi_ = 96;
    bool contentMade_ = false;
    UniqueBitmap backdrop_; // Image1
    UniqueBitmap strip_;    // Image5
    UniqueIcon bigIcon_;    // Image3, at 48 x 48 designed pixels
    PicturePtr hand_;       // lblSite's pointer
    ctlUniTextBoxXP txtInfo_;
    ctlUniLabel lblCopy_;
    ctlUniLabel lblSite_;
    ctlUniButtonImageXP btnClose_{L"btnClose"};
    // The control that had the focus when the window was last deactivated.
    HWND focus_ = nullptr;
};
