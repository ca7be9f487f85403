#pragma once
// Base of every window of the program: one C++ object per window, bound to its HWND from
// WM_NCCREATE to WM_NCDESTROY. Derived classes handle messages in HandleMessage and call named
// On... handlers from there. Windows are neither copyable nor movable: the HWND points at the object.
#include <windows.h>

class WindowBase {
public:
    WindowBase(const WindowBase&) = delete;
    WindowBase& operator=(const WindowBase&) = delete;
    WindowBase(WindowBase&&) = delete;
    WindowBase& operator=(WindowBase&&) = delete;

    [[nodiscard]] HWND hwnd() const noexcept { return hwnd_; }
    // True while the window exists (created and not yet destroyed).
    [[nodiscard]] bool IsCreated() const noexcept { return hwnd_ != nullptr; }
    [[nodiscard]] bool IsVisible() const noexcept { return hwnd_ && ::IsWindowVisible(hwnd_); }
    // The window's rectangle in screen pixels; empty while there is no window.
    [[nodiscard]] RECT Bounds() const noexcept {
        RECT r{};
        if (hwnd_) {
            ::GetWindowRect(hwnd_, &r);
        }
        return r;
    }
    // Destroys the window; its WM_DESTROY handling runs while the object is fully alive.
    void Destroy() noexcept;

protected:
    WindowBase() = default;
    // The last resort only: by the time a base destructor runs, the derived object is gone, so the
    // window is unbound first (no message reaches a half-destroyed object) and its WM_DESTROY handling
    // does not run. Every derived window therefore calls Destroy() in its own destructor, so that a
    // window destroyed by its C++ owner goes through the same handling as one the system destroys.
    virtual ~WindowBase();

    // A window class is registered once for the process and outlives every window object, so it may
    // only refer to resources that live as long: shared resource icons and cursors (loaded with
    // LR_SHARED or LoadCursorW, never destroyed) and stock brushes.
    struct ClassInfo {
        const wchar_t* name;
        UINT style = 0;
        HCURSOR cursor = nullptr; // a shared cursor; the arrow when empty
        WORD iconResource = 0;    // icon resource of this program (large and small), shared
        HBRUSH background = nullptr;
    };
    // Registers the class on first use and creates the window bound to this object.
    [[nodiscard]] bool CreateWindowFor(const ClassInfo& cls, DWORD exStyle, DWORD style, const wchar_t* title, int x,
                                       int y, int width, int height, HWND parent = nullptr) noexcept;
    // Creates a top-level window whose client area is clientWidth x clientHeight at 96 dots per inch,
    // scaled to the resolution of the monitor it lands on, centred on the primary monitor's work area.
    [[nodiscard]] bool CreateCentredWindow(const ClassInfo& cls, DWORD style, const wchar_t* title, int clientWidth,
                                           int clientHeight) noexcept;

    // Handles one message; the default passes it to DefWindowProcW. Must not throw out (the static
    // window procedure catches anything and falls back to the default handling).
    virtual LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam);
    [[nodiscard]] LRESULT Default(UINT msg, WPARAM wParam, LPARAM lParam) noexcept {
        return ::DefWindowProcW(hwnd_, msg, wParam, lParam);
    }

private:
    static LRESULT CALLBACK StaticWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) noexcept;
    HWND hwnd_ = nullptr;
};

// Runs the queued messages of this thread (what a modal wait or a test does between steps).
void PumpPendingMessages() noexcept;
