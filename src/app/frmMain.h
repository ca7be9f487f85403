#pragma once
// The main window: hidden most of the time, it hosts the notification icon and is the help window.
// A user's close request or minimize only hides it; the program ends through its shutdown sequence.
#include "app/clsTrayArea.h"
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

protected:
    ~MainHost() = default;
};

class frmMain final : public WindowBase {
public:
    static constexpr int ClientWidth = 404; // at 96 dots per inch
    static constexpr int ClientHeight = 287;

    // The icon's identifier and the message its mouse events arrive with.
    static constexpr UINT IconId = 1;
    static constexpr UINT TrayCallbackMessage = WM_APP + 1;

    // The shell call of the notification icon can be replaced (tests record the exact records).
    explicit frmMain(MainHost& host, clsTrayArea::ShellCall shell = {});
    ~frmMain() override;

    // Creates the window hidden, centred on the primary monitor's work area.
    [[nodiscard]] bool Load();
    // Shows the help window in the normal (not minimized) state.
    void ShowHelp() noexcept;
    void HideHelp() noexcept;

    // Puts the program's icon with its tip into the notification area; false when the shell refused.
    bool AddTrayIcon();
    // The first-run hint on the icon.
    bool ShowFirstRunBalloon();
    [[nodiscard]] const clsTrayArea& Tray() const noexcept { return tray_; }

protected:
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
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
};
