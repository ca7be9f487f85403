#include "util/SystemCodePage.h"

#include <windows.h>

#include <limits>

std::string ToSystemAnsi(std::wstring_view text) {
    if (text.empty() || text.size() > static_cast<size_t>(std::numeric_limits<int>::max())) {
        return {};
    }
    const int units = static_cast<int>(text.size());
    const int size = ::WideCharToMultiByte(CP_ACP, 0, text.data(), units, nullptr, 0, nullptr, nullptr);
    if (size <= 0) {
        return {};
    }
    std::string bytes(static_cast<size_t>(size), '\0');
    const int written = ::WideCharToMultiByte(CP_ACP, 0, text.data(), units, bytes.data(), size, nullptr, nullptr);
    bytes.resize(written > 0 ? static_cast<size_t>(written) : 0);
    return bytes;
}

std::wstring FromSystemAnsi(std::string_view bytes) {
    if (bytes.empty() || bytes.size() > static_cast<size_t>(std::numeric_limits<int>::max())) {
        return {};
    }
    const int count = static_cast<int>(bytes.size());
    const int size = ::MultiByteToWideChar(CP_ACP, 0, bytes.data(), count, nullptr, 0);
    if (size <= 0) {
        return {};
    }
    std::wstring text(static_cast<size_t>(size), L'\0');
    const int written = ::MultiByteToWideChar(CP_ACP, 0, bytes.data(), count, text.data(), size);
    text.resize(written > 0 ? static_cast<size_t>(written) : 0);
    return text;
}
