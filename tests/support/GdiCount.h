#pragma once
// The number of live GDI and USER objects of this process, for leak tests: take them before and after
// a loop that creates and destroys objects many times and expect the same numbers.
#include <windows.h>

#include <cstdint>
#include <utility>

// GetGuiResources(GR_GDIOBJECTS) where the system answers it. Wine answers 0; there a GDI handle's
// low 16 bits index the handle table and GetObjectType accepts the bare index, so counting the
// indices 0..0xFFFF it knows counts the process's live objects (stock objects included, which stay
// constant).
inline uint32_t LiveGdiObjectCount() {
    const DWORD reported = ::GetGuiResources(::GetCurrentProcess(), GR_GDIOBJECTS);
    if (reported != 0) {
        return reported;
    }
    uint32_t count = 0;
    for (uintptr_t index = 0; index <= 0xFFFF; ++index) {
        if (::GetObjectType(reinterpret_cast<HGDIOBJ>(index)) != 0) {
            ++count;
        }
    }
    return count;
}

namespace gdi_count_detail {

inline BOOL CALLBACK CountOwnWindow(HWND window, LPARAM context) {
    DWORD process = 0;
    ::GetWindowThreadProcessId(window, &process);
    if (process == ::GetCurrentProcessId()) {
        ++*reinterpret_cast<uint32_t*>(context);
    }
    return TRUE;
}

// Every window of this process: the top-level ones and the message-only ones, and all their
// descendants.
inline uint32_t OwnWindowCount() {
    uint32_t count = 0;
    // EnumChildWindows of the desktop walks every level below it.
    ::EnumChildWindows(::GetDesktopWindow(), CountOwnWindow, reinterpret_cast<LPARAM>(&count));
    for (HWND window = ::FindWindowExW(HWND_MESSAGE, nullptr, nullptr, nullptr); window != nullptr;
         window = ::FindWindowExW(HWND_MESSAGE, window, nullptr, nullptr)) {
        CountOwnWindow(window, reinterpret_cast<LPARAM>(&count));
        ::EnumChildWindows(window, CountOwnWindow, reinterpret_cast<LPARAM>(&count));
    }
    return count;
}

} // namespace gdi_count_detail

// GetGuiResources(GR_USEROBJECTS) where the system answers it. Wine answers 0; there the count is this
// process's windows (every level, message-only ones included) plus its menus, icons and cursors, found
// by their handle-table indices as the GDI count finds its objects (USER handles are 0x20 + 2 x index,
// and IsMenu and GetIconInfo accept the bare value).
inline uint32_t LiveUserObjectCount() {
    const DWORD reported = ::GetGuiResources(::GetCurrentProcess(), GR_USEROBJECTS);
    if (reported != 0) {
        return reported;
    }
    uint32_t count = gdi_count_detail::OwnWindowCount();
    for (uintptr_t value = 0x20; value <= 0xFFEE; value += 2) {
        const auto handle = reinterpret_cast<HANDLE>(value);
        if (::IsMenu(static_cast<HMENU>(handle))) {
            ++count;
            continue;
        }
        ICONINFO info{};
        if (::GetIconInfo(static_cast<HICON>(handle), &info)) {
            // GetIconInfo hands out copies of the icon's bitmaps.
            if (info.hbmMask != nullptr) {
                ::DeleteObject(info.hbmMask);
            }
            if (info.hbmColor != nullptr) {
                ::DeleteObject(info.hbmColor);
            }
            ++count;
        }
    }
    return count;
}

// Both counts at once, for the long leak tests: compare a snapshot before and after the loop.
struct GuiObjectCounts {
    uint32_t gdi = 0;
    uint32_t user = 0;

    static GuiObjectCounts Now() { return {LiveGdiObjectCount(), LiveUserObjectCount()}; }
    friend bool operator==(const GuiObjectCounts&, const GuiObjectCounts&) = default;
};

// Printed by the test framework when two snapshots differ, and by the leak tests for the record.
template <typename Stream> Stream& operator<<(Stream& out, const GuiObjectCounts& counts) {
    out << "GDI objects " << counts.gdi << ", USER objects " << counts.user;
    return out;
}

// The counts before and after `rounds` rounds of some work, taken after two rounds of warm-up, as
// first uses make objects that live as long as the process (stock objects, caches, the thread's
// input-method window). `round` is called with the round's number, the warm-up's being 0 and 1.
template <typename Round>
[[nodiscard]] std::pair<GuiObjectCounts, GuiObjectCounts> CountsAround(int rounds, Round&& round) {
    round(0);
    round(1);
    const GuiObjectCounts before = GuiObjectCounts::Now();
    for (int i = 0; i < rounds; ++i) {
        round(i);
    }
    return {before, GuiObjectCounts::Now()};
}
