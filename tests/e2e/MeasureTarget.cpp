// A helper for the end-to-end tests: another program's window for the ruler to measure.
//   MeasureTarget.exe
//       Shows a plain white window titled "Measure me" at (100, 150), 400 x 260 pixels, with a push
//       button "OK" at (300, 220) of it, 80 x 24 pixels; runs until it is closed or killed.
#include <windows.h>

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    ::SetProcessDpiAwarenessContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2);
    WNDCLASSW wc{};
    wc.lpfnWndProc = [](HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) -> LRESULT {
        if (msg == WM_DESTROY) {
            ::PostQuitMessage(0);
            return 0;
        }
        return ::DefWindowProcW(hwnd, msg, wParam, lParam);
    };
    wc.hInstance = instance;
    wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH));
    wc.lpszClassName = L"MeasureTarget";
    if (!::RegisterClassW(&wc)) {
        return 1;
    }
    HWND window = ::CreateWindowExW(0, wc.lpszClassName, L"Measure me", WS_POPUP, 100, 150, 400, 260, nullptr, nullptr,
                                    instance, nullptr);
    if (!window) {
        return 1;
    }
    ::CreateWindowExW(0, L"BUTTON", L"OK", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 300, 220, 80, 24, window, nullptr,
                      instance, nullptr);
    ::ShowWindow(window, SW_SHOW);
    MSG msg;
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    return 0;
}
