// Trelvik: an on-screen ruler that lives in the notification area.
#include "app/App.h"

#include <windows.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    App app;
    if (!app.Start()) {
        return 1;
    }
    return app.Run();
}
