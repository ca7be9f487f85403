// A helper for the end-to-end tests: reads what a screen reader would of another program's windows.
//   WindowText.exe <window class>
//       Prints one line per visible top-level window of that class: its screen rectangle and its text,
//       as "left top width height|text" with the text's line breaks written as \r and \n (UTF-8).
//   WindowText.exe --children <window class>
//       Prints every top-level window of that class, shown or hidden, as
//       "window <handle> <shown 0|1> <client left> <client top> <client width> <client height>|text" (the
//       client area in screen pixels), each followed by its child windows (all levels) as
//       "child <handle> <class> <left> <top> <width> <height> <style> <selection start> <selection end>|text":
//       the child's client area in the top-level window's client coordinates, its style in hex, and
//       for EDIT windows the selection (EM_GETSEL), -1 -1 for others.
// Exit code 0 when at least one such window was found, 2 when none, 3 for bad arguments.
#include <windows.h>

#include <cstdio>
#include <string>

namespace {

struct Search {
    const wchar_t* className;
    bool children = false;
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

std::wstring ClassOf(HWND hwnd) {
    wchar_t className[256] = {};
    ::GetClassNameW(hwnd, className, 256);
    return className;
}

// The window's text as UTF-8 with its line breaks written as \r and \n.
std::string EscapedText(HWND hwnd) {
    // WM_GETTEXT crosses processes: the text is the window's own, not a cached title.
    const auto length = ::SendMessageW(hwnd, WM_GETTEXTLENGTH, 0, 0);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    ::SendMessageW(hwnd, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<size_t>(length));
    std::wstring escaped;
    for (wchar_t c : text) {
        escaped += c == L'\r' ? std::wstring(L"\\r") : c == L'\n' ? std::wstring(L"\\n") : std::wstring(1, c);
    }
    return Utf8(escaped);
}

BOOL CALLBACK VisitChild(HWND child, LPARAM lParam) {
    const HWND top = reinterpret_cast<HWND>(lParam);
    RECT r{};
    ::GetClientRect(child, &r);
    POINT origin{0, 0};
    ::MapWindowPoints(child, top, &origin, 1);
    long start = -1;
    long end = -1;
    const std::wstring className = ClassOf(child);
    if (::lstrcmpiW(className.c_str(), L"EDIT") == 0) {
        // Without pointers EM_GETSEL answers both ends packed into its result, also across processes.
        const auto packed = static_cast<DWORD>(::SendMessageW(child, EM_GETSEL, 0, 0));
        start = LOWORD(packed);
        end = HIWORD(packed);
    }
    std::printf("child %p %s %ld %ld %ld %ld %lx %ld %ld|%s\n", static_cast<void*>(child), Utf8(className).c_str(),
                origin.x, origin.y, r.right, r.bottom, static_cast<unsigned long>(::GetWindowLongW(child, GWL_STYLE)),
                start, end, EscapedText(child).c_str());
    return TRUE;
}

void PrintWithChildren(HWND hwnd) {
    RECT r{};
    ::GetClientRect(hwnd, &r);
    POINT origin{0, 0};
    ::ClientToScreen(hwnd, &origin);
    std::printf("window %p %d %ld %ld %ld %ld|%s\n", static_cast<void*>(hwnd), ::IsWindowVisible(hwnd) ? 1 : 0,
                origin.x, origin.y, r.right, r.bottom, EscapedText(hwnd).c_str());
    ::EnumChildWindows(hwnd, &VisitChild, reinterpret_cast<LPARAM>(hwnd));
}

BOOL CALLBACK Visit(HWND hwnd, LPARAM lParam) {
    auto* search = reinterpret_cast<Search*>(lParam);
    if (ClassOf(hwnd) != search->className) {
        return TRUE;
    }
    if (search->children) {
        PrintWithChildren(hwnd);
        ++search->found;
        return TRUE;
    }
    if (!::IsWindowVisible(hwnd)) {
        return TRUE;
    }
    RECT r{};
    ::GetWindowRect(hwnd, &r);
    std::printf("%ld %ld %ld %ld|%s\n", r.left, r.top, r.right - r.left, r.bottom - r.top, EscapedText(hwnd).c_str());
    ++search->found;
    return TRUE;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    const bool children = argc == 3 && std::wstring(argv[1]) == L"--children";
    if (argc != 2 && !children) {
        return 3;
    }
    ::SetProcessDpiAwarenessContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2);
    Search search{argv[argc - 1], children};
    ::EnumWindows(&Visit, reinterpret_cast<LPARAM>(&search));
    std::fflush(stdout);
    return search.found > 0 ? 0 : 2;
}
