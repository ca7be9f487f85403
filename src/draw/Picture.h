#pragma once
// A picture: a bitmap or an icon handle that the picture owns and frees when it ends.
#include <windows.h>

#include <utility>

class Picture {
public:
    enum class Kind { None, Bitmap, Icon };

    Picture() noexcept = default;
    [[nodiscard]] static Picture FromBitmap(HBITMAP bitmap) noexcept { return Picture(Kind::Bitmap, bitmap); }
    [[nodiscard]] static Picture FromIcon(HICON icon) noexcept { return Picture(Kind::Icon, icon); }

    Picture(const Picture&) = delete;
    Picture& operator=(const Picture&) = delete;
    Picture(Picture&& other) noexcept
        : kind_(std::exchange(other.kind_, Kind::None)), handle_(std::exchange(other.handle_, nullptr)) {}
    Picture& operator=(Picture&& other) noexcept {
        if (this != &other) {
            reset();
            kind_ = std::exchange(other.kind_, Kind::None);
            handle_ = std::exchange(other.handle_, nullptr);
        }
        return *this;
    }
    ~Picture() { reset(); }

    [[nodiscard]] Kind kind() const noexcept { return kind_; }
    [[nodiscard]] explicit operator bool() const noexcept { return handle_ != nullptr; }
    [[nodiscard]] HBITMAP bitmap() const noexcept {
        return kind_ == Kind::Bitmap ? static_cast<HBITMAP>(handle_) : nullptr;
    }
    [[nodiscard]] HICON icon() const noexcept { return kind_ == Kind::Icon ? static_cast<HICON>(handle_) : nullptr; }

    // Frees the handle now.
    void reset() noexcept {
        if (handle_) {
            if (kind_ == Kind::Icon) {
                ::DestroyIcon(static_cast<HICON>(handle_));
            } else {
                ::DeleteObject(handle_);
            }
        }
        handle_ = nullptr;
        kind_ = Kind::None;
    }

private:
    Picture(Kind kind, HANDLE handle) noexcept : kind_(handle ? kind : Kind::None), handle_(handle) {}

    Kind kind_ = Kind::None;
    HANDLE handle_ = nullptr;
};
