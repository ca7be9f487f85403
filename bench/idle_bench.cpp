// What the running program costs while nobody uses it: the CPU time Trelvik.exe uses over 10 s with the
// ruler shown and nothing touched, then over 10 s with the help window shown as well. Idle, the program
// should run nothing at all: no timer, no polling. Under Wine on Linux the scheduler's own count of the
// times the program's thread was woken is printed beside it, which shows even a slow timer that two
// decimals of CPU seconds would not.
//
// The program runs as a user starts it (its settings as after an earlier run, so no first-run help),
// with the pointer parked away from its windows, and ends through the tray menu's Exit. Its stored
// settings are put back as they were afterwards. Figures only; nothing here passes or fails.
//
//   idle_bench [path of Trelvik.exe]      (default: the program in the build folder)
#include "TrelvikProcess.h"

#include <cstdio>
#include <exception>
#include <optional>

namespace {

constexpr DWORD kSettleMs = 1000;
constexpr DWORD kMeasureMs = 10000;
constexpr DWORD kWindowTimeoutMs = 20000;

struct Reading {
    double cpuSeconds = 0.0;
    std::optional<bench::SchedulerCount> host;
};

Reading Read(const bench::ChildProcess& trelvik, const std::optional<bench::HostProcess>& host) {
    Reading reading{bench::CpuSeconds(trelvik), std::nullopt};
    if (host) {
        reading.host = host->Count();
    }
    return reading;
}

// Lets what the last step started settle, then reads the program's account over kMeasureMs.
void MeasureIdle(const char* label, const bench::ChildProcess& trelvik, const std::optional<bench::HostProcess>& host) {
    (void)::WaitForInputIdle(trelvik.Handle(), kWindowTimeoutMs);
    ::Sleep(kSettleMs);
    const Reading before = Read(trelvik, host);
    ::Sleep(kMeasureMs);
    const Reading after = Read(trelvik, host);
    std::printf("  %-24s CPU %5.2f s", label, after.cpuSeconds - before.cpuSeconds);
    if (before.host && after.host) {
        const uint64_t wakeUps = after.host->wakeUps - before.host->wakeUps;
        std::printf("   (%.2f ms on a CPU, woken %llu times: %.1f/s)", after.host->cpuMs - before.host->cpuMs,
                    static_cast<unsigned long long>(wakeUps), static_cast<double>(wakeUps) * 1000.0 / kMeasureMs);
    }
    std::printf("\n");
    std::fflush(stdout);
}

int Run(const std::wstring& exe) {
    const bench::SavedSettings saved(L"Software\\TrelvikIdleBench");
    // As after an earlier run: the ruler shown at its default place, no first-run balloon or help.
    if (!bench::SavedSettings::Store(L"FirstTime", L"1") || !bench::SavedSettings::Store(L"ShowRuler", L"1")) {
        std::fprintf(stderr, "idle_bench: the settings cannot be stored\n");
        return 1;
    }
    // Nothing touched: the pointer rests in a corner away from the ruler and the help window.
    ::SetCursorPos(::GetSystemMetrics(SM_XVIRTUALSCREEN) + ::GetSystemMetrics(SM_CXVIRTUALSCREEN) - 1,
                   ::GetSystemMetrics(SM_YVIRTUALSCREEN) + ::GetSystemMetrics(SM_CYVIRTUALSCREEN) - 1);

    bench::ChildProcess trelvik;
    if (!trelvik.Start(exe)) {
        std::fprintf(stderr, "idle_bench: %ls cannot be started (error %lu)\n", exe.c_str(), ::GetLastError());
        return 1;
    }
    if (!bench::WaitForWindowOf(trelvik, bench::kRulerClass, true, kWindowTimeoutMs)) {
        std::fprintf(stderr, "idle_bench: the ruler did not appear\n");
        return 1;
    }
    const std::optional<bench::HostProcess> host =
        bench::HostProcess::Find(exe.substr(exe.find_last_of(L"\\/") + 1).c_str());

    std::printf("Trelvik.exe left alone: CPU time (kernel and user) over %.0f s, after %.0f s to settle.\n",
                kMeasureMs / 1000.0, kSettleMs / 1000.0);
    if (host) {
        std::printf("In brackets the host scheduler's count: time on a CPU and the times the program was woken.\n");
    }
    MeasureIdle("ruler shown:", trelvik, host);

    if (!bench::SendMenuCommand(trelvik, MenuId::mnuHelp) ||
        !bench::WaitForWindowOf(trelvik, bench::kMainClass, true, kWindowTimeoutMs)) {
        std::fprintf(stderr, "idle_bench: the help window did not appear\n");
        return 1;
    }
    MeasureIdle("ruler and help shown:", trelvik, host);

    if (!bench::ExitProgram(trelvik)) {
        std::fprintf(stderr, "idle_bench: the program did not end cleanly through Exit\n");
        return 1;
    }
    return 0;
}

} // namespace

int main() {
    const std::wstring exe = bench::FindTrelvikExe();
    if (exe.empty()) {
        std::fprintf(stderr, "idle_bench: Trelvik.exe not found (give its path as the argument)\n");
        return 1;
    }
    try {
        return Run(exe);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "idle_bench: %s\n", error.what());
        return 1;
    }
}
