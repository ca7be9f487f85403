#pragma once
// What the tray menu's commands need from the application: its windows, created on first use.
class frmRulers;

class MenuHost {
public:
    // The ruler window, created hidden at its stored place if it does not exist yet.
    virtual frmRulers& Rulers() = 0;
    // The ruler window if it has been created, else null.
    [[nodiscard]] virtual frmRulers* ExistingRulers() = 0;
    // Shows the help window (the main window) in the normal state.
    virtual void ShowHelp() = 0;
    // Shows the About box, creating it if needed.
    virtual void ShowAbout() = 0;
    // The end of the shutdown sequence, after the menu has stored its options: destroys the ruler
    // (which stores its place), the measuring overlay, the About box and the main window.
    virtual void DestroyRemainingWindows() = 0;

protected:
    ~MenuHost() = default;
};
