#pragma once
// The program: its settings store and its windows, created on first use and destroyed in the order of
// the shutdown sequence. Everything runs on the one GUI thread.
#include "app/frmAbout.h"
#include "app/frmMain.h"
#include "commands/MenuHost.h"
#include "commands/frmMenu.h"
#include "ruler/frmRulers.h"
#include "util/SettingsStore.h"

#include <initializer_list>
#include <memory>

class App final : public MainHost, public MenuHost {
public:
    App();
    ~App();
    App(const App&) = delete;
    App& operator=(const App&) = delete;

    // The start-up sequence; false when the main windows cannot be created.
    [[nodiscard]] bool Start();
    // Runs the message loop until the main window is gone; returns the exit code.
    int Run();
    // Gives the message to the dialog keys (Tab, Enter, Escape, access keys) of the active window when
    // it is one of `forms` and visible; true when they took it (it is then translated and dispatched).
    [[nodiscard]] static bool RouteDialogKeys(MSG& msg, std::initializer_list<HWND> forms) noexcept;

    // MainHost
    void Shutdown() override;
    void OnIconLeftClick() override;
    void ShowRulerInFront() override;
    [[nodiscard]] HMENU TrayMenu() override { return menu_.mnuMenu(); }
    [[nodiscard]] HWND TrayMenuOwner() override { return menu_.hwnd(); }
    // MenuHost
    frmRulers& Rulers() override;
    [[nodiscard]] frmRulers* ExistingRulers() override;
    void ShowHelp() override;
    void ShowAbout() override;
    void DestroyRemainingWindows() override;

private:
    SettingsStore settings_;
    frmMain main_;
    frmMenu menu_;
    std::unique_ptr<frmRulers> rulers_;
    frmAbout about_;
    bool firstRun_ = false;
};
