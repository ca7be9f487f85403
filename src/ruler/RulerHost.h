#pragma once
// What the ruler needs from the tray menu: the menu's check marks are the live options, and a right
// click on the ruler opens the same menu as the notification icon.
#include "core/Units.h"

#include <windows.h>

class RulerHost {
public:
    [[nodiscard]] virtual UnitChecks UnitCheckMarks() const = 0;
    [[nodiscard]] virtual bool TransparencyChecked() const = 0;
    // Opens the tray menu at a screen position; returns when it has closed.
    virtual void OpenMenu(POINT screenPosition) = 0;

protected:
    ~RulerHost() = default;
};
