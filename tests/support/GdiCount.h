#pragma once
// The number of live GDI objects of this process, for leak tests: take it before and after a loop
// that creates and destroys objects many times and expect the same number.
#include <windows.h>

#include <cstdint>

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
