// A helper for the end-to-end tests: reads what a screen reader would of another program's windows.
//   WindowText.exe <window class>
//       Prints one line per visible top-level window of that class: its screen rectangle and its text,
//       as "left top width height|text" with the text's line breaks written as \r and \n (UTF-8).
// Exit code 0 when at least one such window was found, 2 when none, 3 for bad arguments.
#include <windows.h>

#include <cstdio>
#include <string>

namespace {

struct Search {
    const wchar_t* className;
    int found = 0;
};

std::string Utf8(const std::wstring& text) {
    std::string out(static_cast<size_t>(::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()),
                                                              nullptr, 0, nullptr, nullptr)),
                    '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), out.data(),
                          static_cast<int>(out.size()), nullptr, nullptr);
    return out;
}

BOOL CALLBACK Visit(HWND hwnd, LPARAM lParam) {
    auto* search = reinterpret_cast<Search*>(lParam);
    wchar_t className[256] = {};
    ::GetClassNameW(hwnd, className, 256);
    if (std::wstring(className) != search->className || !::IsWindowVisible(hwnd)) {
        return TRUE;
    }
    // WM_GETTEXT crosses processes: the text is the window's own, not a cached title.
    const auto length = ::SendMessageW(hwnd, WM_GETTEXTLENGTH, 0, 0);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    ::SendMessageW(hwnd, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<size_t>(length));
    std::wstring escaped;
    for (wchar_t c : text) {
        escaped += c == L'\r' ? std::wstring(L"\\r") : c == L'\n' ? std::wstring(L"\\n") : std::wstring(1, c);
    }
    RECT r{};
    ::GetWindowRect(hwnd, &r);
    std::printf("%ld %ld %ld %ld|%s\n", r.left, r.top, r.right - r.left, r.bottom - r.top, Utf8(escaped).c_str());
    ++search->found;
    return TRUE;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 2) {
        return 3;
    }
    ::SetProcessDpiAwarenessContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2);
    Search search{argv[1]};
    ::EnumWindows(&Visit, reinterpret_cast<LPARAM>(&search));
    std::fflush(stdout);
    return search.found > 0 ? 0 : 2;
}
