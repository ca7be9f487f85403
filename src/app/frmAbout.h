#pragma once
// The About box: a small fixed window titled "About Trelvik", shown without blocking the program.
#include "winmsg/WindowBase.h"

class frmAbout final : public WindowBase {
public:
    frmAbout() = default;
    ~frmAbout() override;

    // Creates the window on first use and shows it.
    void ShowAbout();
    void Hide() noexcept;

protected:
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
};
