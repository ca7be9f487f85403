#pragma once
// The main window: hidden most of the time, it hosts the notification icon and is the help window.
// A user's close request or minimize only hides it; the program ends through its shutdown sequence.
#include "util/Handles.h"
#include "winmsg/WindowBase.h"

class MainHost {
public:
    // Runs the orderly shutdown (what Exit does): settings saved, windows destroyed, loop ended.
    virtual void Shutdown() = 0;

protected:
    ~MainHost() = default;
};

class frmMain final : public WindowBase {
public:
    static constexpr int ClientWidth = 404; // at 96 dots per inch
    static constexpr int ClientHeight = 287;

    explicit frmMain(MainHost& host);
    ~frmMain() override;

    // Creates the window hidden, centred on the primary monitor's work area.
    [[nodiscard]] bool Load();
    // Shows the help window in the normal (not minimized) state.
    void ShowHelp() noexcept;
    void HideHelp() noexcept;

protected:
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    void OnSize(UINT state);
    void OnEndSession(bool ending);
    void OnDestroy();

    MainHost& host_;
    UniqueIcon icon_;
    UniqueIcon smallIcon_;
};
