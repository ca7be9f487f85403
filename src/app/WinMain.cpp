// Trelvik: an on-screen ruler that lives in the notification area.
#include "app/App.h"
#include "app/SingleInstance.h"

#include <windows.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    // One program per session: a later start shows the first one's ruler and ends.
    SingleInstance instance;
    if (!instance.Claim()) {
        (void)ActivateFirstInstance(frmMain::ClassName);
        return 0;
    }
    App app;
    if (!app.Start()) {
        return 1;
    }
    return app.Run();
}
