// Start-up: the time from starting Trelvik.exe (CreateProcessW) to its first visible window, the
// ruler, beside the same time for a bare window program built with the same compiler and link flags
// (bare_window.exe: a class, a window, ShowWindow, a message loop). The two start alternately in one
// run, so that whatever else the machine does falls on both; each ends before the next starts, so every
// start of Trelvik is a first instance. The steps on the way are timed from outside too: the process
// made, its first window (hidden), the first visible one, and the message loop first waiting for input.
// Figures only; nothing here passes or fails.
//
//   startup_bench [path of Trelvik.exe]      (default: the program in the build folder)
#include "TrelvikProcess.h"

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <exception>
#include <iterator>
#include <optional>
#include <vector>

namespace {

constexpr int kWarmUp = 2;
constexpr int kRuns = 15;
constexpr DWORD kWindowTimeoutMs = 20000;
constexpr DWORD kExitTimeoutMs = 10000;

// Milliseconds from just before CreateProcessW to each step seen from outside. The program's own
// windows come in the order of its start-up: the main window (hidden; it is the help window, which makes
// its controls when first shown), the tray menu's window, the ruler window, the ruler shown.
struct StartTimes {
    double created = 0.0; // CreateProcessW returned (the process made, its first thread resumed)
    double window = 0.0;  // the first window of the process exists, shown or not
    double visible = 0.0; // a window of the process is visible
    double idle = 0.0;    // its message loop first waits for input
    double main = 0.0;    // Trelvik: its main window exists
    double menu = 0.0;    // Trelvik: the tray menu's window exists
    double ruler = 0.0;   // Trelvik: the ruler window exists (before it is drawn and shown)
};

enum class Program { Trelvik, Bare };

bool EndProgram(Program program, bench::ChildProcess& child, HWND visibleWindow) {
    if (program == Program::Trelvik) {
        return bench::ExitProgram(child, kExitTimeoutMs);
    }
    ::PostMessageW(visibleWindow, WM_CLOSE, 0, 0);
    if (child.WaitForExit(kExitTimeoutMs)) {
        return child.ExitCode() == 0;
    }
    child.Kill();
    return false;
}

// One look at the top-level windows of a process: the same work for both programs, so that the looking
// weighs on both starts alike.
struct WindowsSeen {
    bool any = false;
    HWND visible = nullptr;
    HWND main = nullptr;
    bool menu = false;
    bool ruler = false;
};

WindowsSeen LookAtWindows(DWORD pid) noexcept {
    struct Look {
        DWORD pid;
        WindowsSeen seen;
    } look{pid, {}};
    ::EnumWindows(
        [](HWND window, LPARAM data) -> BOOL {
            auto& l = *reinterpret_cast<Look*>(data);
            DWORD owner = 0;
            ::GetWindowThreadProcessId(window, &owner);
            if (owner != l.pid) {
                return TRUE;
            }
            l.seen.any = true;
            if (!l.seen.visible && ::IsWindowVisible(window)) {
                l.seen.visible = window;
            }
            wchar_t name[64] = {};
            ::GetClassNameW(window, name, static_cast<int>(std::size(name)));
            if (std::wcscmp(name, bench::kMainClass) == 0) {
                l.seen.main = window;
            } else if (std::wcscmp(name, bench::kMenuClass) == 0) {
                l.seen.menu = true;
            } else if (std::wcscmp(name, bench::kRulerClass) == 0) {
                l.seen.ruler = true;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&look));
    return look.seen;
}

std::optional<StartTimes> TimeOneStart(Program program, const std::wstring& exe) {
    bench::ChildProcess child;
    StartTimes times;
    const double start = bench::NowMs();
    if (!child.Start(exe)) {
        std::fprintf(stderr, "startup_bench: %ls cannot be started (error %lu)\n", exe.c_str(), ::GetLastError());
        return std::nullopt;
    }
    times.created = bench::NowMs() - start;

    // Looked at about every millisecond; a step is timed when it is first seen.
    const ULONGLONG deadline = ::GetTickCount64() + kWindowTimeoutMs;
    HWND visible = nullptr;
    for (;;) {
        const WindowsSeen seen = LookAtWindows(child.Id());
        const double now = bench::NowMs() - start;
        const auto firstSeen = [now](bool isThere, double& step) {
            if (isThere && step == 0.0) {
                step = now;
            }
        };
        firstSeen(seen.any, times.window);
        firstSeen(seen.main != nullptr, times.main);
        firstSeen(seen.menu, times.menu);
        firstSeen(seen.ruler, times.ruler);
        if ((visible = seen.visible) != nullptr) {
            times.visible = now;
            break;
        }
        if (!child.IsRunning() || ::GetTickCount64() > deadline) {
            std::fprintf(stderr, "startup_bench: %ls showed no window\n", exe.c_str());
            return std::nullopt;
        }
        ::Sleep(1);
    }
    (void)::WaitForInputIdle(child.Handle(), kWindowTimeoutMs);
    times.idle = bench::NowMs() - start;

    if (!EndProgram(program, child, visible)) {
        std::fprintf(stderr, "startup_bench: %ls did not end cleanly\n", exe.c_str());
        return std::nullopt;
    }
    return times;
}

struct Series {
    std::vector<StartTimes> starts;

    [[nodiscard]] double Median(double StartTimes::*step) const {
        std::vector<double> values;
        for (const StartTimes& t : starts) {
            values.push_back(t.*step);
        }
        return bench::Median(std::move(values));
    }
    [[nodiscard]] double Fastest(double StartTimes::*step) const {
        double fastest = starts.front().*step;
        for (const StartTimes& t : starts) {
            fastest = std::min(fastest, t.*step);
        }
        return fastest;
    }
};

void PrintRow(const char* name, const Series& s) {
    std::printf("  %-13s %9.1f %9.1f %9.1f %9.1f %9.1f\n", name, s.Median(&StartTimes::created),
                s.Median(&StartTimes::window), s.Median(&StartTimes::visible), s.Median(&StartTimes::idle),
                s.Fastest(&StartTimes::visible));
}

int Run(const std::wstring& trelvikExe, const std::wstring& bareExe) {
    const bench::SavedSettings saved(L"Software\\TrelvikStartupBench");
    // As after an earlier run: the ruler shown at its default place, no first-run balloon or help.
    if (!bench::SavedSettings::Store(L"FirstTime", L"1") || !bench::SavedSettings::Store(L"ShowRuler", L"1")) {
        std::fprintf(stderr, "startup_bench: the settings cannot be stored\n");
        return 1;
    }
    Series trelvik;
    Series bare;
    for (int run = 0; run < kWarmUp + kRuns; ++run) {
        const std::optional<StartTimes> t = TimeOneStart(Program::Trelvik, trelvikExe);
        const std::optional<StartTimes> b = TimeOneStart(Program::Bare, bareExe);
        if (!t || !b) {
            return 1;
        }
        if (run >= kWarmUp) {
            trelvik.starts.push_back(*t);
            bare.starts.push_back(*b);
        }
    }

    std::printf("From start (CreateProcessW) to the first visible window, Trelvik (the ruler) and a bare window\n");
    std::printf("program started alternately: medians of %d starts each after %d warm-up starts, in milliseconds.\n",
                kRuns, kWarmUp);
    std::printf("  %-13s %9s %9s %9s %9s %9s\n", "", "created", "window", "visible", "idle", "fastest");
    PrintRow("Trelvik.exe", trelvik);
    PrintRow("bare window", bare);
    std::printf("  created: CreateProcessW returned; window: the first window exists (hidden or shown); idle: the\n");
    std::printf("  message loop first waits for input; fastest: the fastest start to a visible window.\n");
    const double ratio = trelvik.Median(&StartTimes::visible) / bare.Median(&StartTimes::visible);
    std::printf("  visible: Trelvik %.2fx the bare program (goal <= 1.10x)\n\n", ratio);

    std::printf("Where Trelvik's start goes, seen from outside (medians: ms from start, and from the step before):\n");
    const struct {
        const char* step;
        double StartTimes::*time;
    } steps[] = {
        {"main window made (hidden)", &StartTimes::main}, {"tray menu window made", &StartTimes::menu},
        {"ruler window made", &StartTimes::ruler},        {"ruler drawn and shown", &StartTimes::visible},
        {"waiting for input", &StartTimes::idle},
    };
    double before = 0.0;
    for (const auto& step : steps) {
        const double at = trelvik.Median(step.time);
        std::printf("  %-28s %7.1f  %+7.1f\n", step.step, at, at - before);
        before = at;
    }
    return 0;
}

} // namespace

int main() {
    const std::wstring trelvikExe = bench::FindTrelvikExe();
    const std::wstring bareExe = bench::ThisExeFolder() + L"bare_window.exe";
    if (trelvikExe.empty() || !bench::FileExists(bareExe)) {
        std::fprintf(stderr, "startup_bench: Trelvik.exe or bare_window.exe not found (build the benchmarks target)\n");
        return 1;
    }
    try {
        return Run(trelvikExe, bareExe);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "startup_bench: %s\n", error.what());
        return 1;
    }
}
