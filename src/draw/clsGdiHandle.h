#pragma once
// The GDI handle holder: owns one GDI object (a brush, pen, font, bitmap or region) and deletes it when
// it is replaced or when the holder ends, so that a control can keep a drawing object across messages
// without leaking it. The text box keeps the brush of its back colour in one and hands it to its edit
// window with every colour request.
#include <windows.h>

#include "util/Handles.h"

class clsGdiHandle {
public:
    clsGdiHandle() noexcept = default;
    clsGdiHandle(const clsGdiHandle&) = delete;
    clsGdiHandle& operator=(const clsGdiHandle&) = delete;
    ~clsGdiHandle() { Destroy(); }

    // The handle held (nullptr when empty); the holder keeps owning it.
    [[nodiscard]] HGDIOBJ Handle() const noexcept { return handle_.get(); }
    // Deletes the handle held, then holds (and owns) value. Giving the holder the handle it already
    // holds changes nothing: the handle stays alive.
    void Handle(HGDIOBJ value) noexcept { handle_.reset(value); }
    // Deletes the handle held, if any; the holder becomes empty.
    void Destroy() noexcept { handle_.reset(); }
    // Gives the handle away without deleting it (nullptr when empty); the caller owns it now.
    [[nodiscard]] HGDIOBJ ReleaseHandle() noexcept { return handle_.release(); }

private:
    UniqueGdi<HGDIOBJ> handle_;
};
