#include "util/ModulePath.h"

#include "core/FillGrowing.h"

#include <windows.h>

#include <optional>

std::wstring ModuleFileName() {
    std::wstring path;
    const bool found = FillGrowing(path, MAX_PATH, [](std::wstring& buffer) -> std::optional<size_t> {
        const auto size = static_cast<DWORD>(buffer.size());
        const DWORD length = ::GetModuleFileNameW(nullptr, buffer.data(), size);
        if (length == 0) {
            return std::nullopt;
        }
        // A full buffer may mean the path was cut: ask for more.
        return length < size ? length : size_t{size} + 1;
    });
    return found ? path : std::wstring();
}

std::string Utf8(std::wstring_view text) {
    if (text.empty()) {
        return {};
    }
    const int length = static_cast<int>(text.size());
    const int bytes = ::WideCharToMultiByte(CP_UTF8, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
    if (bytes <= 0) {
        return {};
    }
    std::string out(static_cast<size_t>(bytes), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.data(), length, out.data(), bytes, nullptr, nullptr);
    return out;
}

std::string ProgramErrorSource(std::string_view member) {
    std::wstring name = ModuleFileName();
    name.erase(0, name.find_last_of(L"\\/") + 1);
    const size_t dot = name.rfind(L'.');
    if (dot != std::wstring::npos && dot > 0) {
        name.resize(dot);
    }
    std::string source = Utf8(name);
    source += '.';
    source += member;
    return source;
}
