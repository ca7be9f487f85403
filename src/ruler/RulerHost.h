#pragma once
// What the ruler needs from the tray menu: the menu's check marks are the live options, and a right
// click on the ruler opens the same menu as the notification icon.
#include "core/Units.h"

#include <windows.h>

class RulerHost {
public:
    [[nodiscard]] virtual UnitChecks UnitCheckMarks() const = 0;
    [[nodiscard]] virtual bool TransparencyChecked() const = 0;
    // Opens the tray menu at a screen position on behalf of the given window, which owns the popup
    // while it is open and passes the menu's messages on through RouteMenuMessage.
    virtual void OpenMenu(HWND requester, POINT screenPosition) = 0;
    // Hands a menu message (command, measure, draw ...) that reached the popup's owner to the menu's
    // window. False when the message is not a menu message.
    virtual bool RouteMenuMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
        (void)msg, (void)wParam, (void)lParam, (void)result;
        return false;
    }

protected:
    ~RulerHost() = default;
};
