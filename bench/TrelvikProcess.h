#pragma once
// What the benchmarks that run the real program share: finding Trelvik.exe and the other programs
// built beside the benchmarks, starting a program so that it never outlives the benchmark, finding its
// windows from outside, ending it the way a user's Exit does, keeping the program's stored settings as
// they were, and reading how often and how long its threads ran.
#include "BenchTiming.h"
#include "app/frmMain.h"
#include "commands/frmMenu.h"
#include "ruler/frmRulers.h"
#include "util/Handles.h"

#include <windows.h>

#include <tlhelp32.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cwchar>
#include <iterator>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace bench {

// The program's window classes: the hidden main window (the help window), the hidden window that owns
// the tray menu, and the ruler.
inline constexpr const wchar_t* kMainClass = frmMain::ClassName;
inline constexpr const wchar_t* kMenuClass = frmMenu::ClassName;
inline constexpr const wchar_t* kRulerClass = frmRulers::ClassName;
// Where the program keeps its settings (under HKEY_CURRENT_USER).
inline constexpr wchar_t kProgramKey[] = L"Software\\Trelvik";
inline constexpr wchar_t kSettingsKey[] = L"Software\\Trelvik\\Settings";

// Kernel calls that fail with INVALID_HANDLE_VALUE rather than null.
inline UniqueHandle AdoptHandle(HANDLE handle) noexcept {
    return UniqueHandle(handle == INVALID_HANDLE_VALUE ? nullptr : handle);
}

inline bool RunningOnWine() noexcept {
    const HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll");
    return ntdll && ::GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

inline std::wstring ThisExeFolder() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) {
            return {};
        }
        if (length < path.size()) {
            path.resize(length);
            break;
        }
        path.resize(path.size() * 2);
    }
    const size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash + 1);
}

inline bool FileExists(const std::wstring& path) noexcept {
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

// The program to run: the first command-line argument when there is one, else Trelvik.exe in the build
// folder (the benchmarks are built one folder below it) or beside this benchmark. Empty when not found.
inline std::wstring FindTrelvikExe() {
    int argc = 0;
    LPWSTR* argv = ::CommandLineToArgvW(::GetCommandLineW(), &argc);
    std::wstring given = argv && argc > 1 ? argv[1] : L"";
    ::LocalFree(argv);
    if (!given.empty()) {
        return FileExists(given) ? given : std::wstring();
    }
    const std::wstring folder = ThisExeFolder();
    for (const wchar_t* candidate : {L"..\\Trelvik.exe", L"Trelvik.exe"}) {
        std::wstring path = folder + candidate;
        if (FileExists(path)) {
            return path;
        }
    }
    return {};
}

// A program started by a benchmark. It lives in a job that ends it when the benchmark's handle closes,
// so that it is gone even when the benchmark itself crashes; a benchmark that leaves it running ends it
// here.
class ChildProcess {
public:
    ChildProcess() = default;
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;
    ~ChildProcess() { Kill(); }

    [[nodiscard]] bool Start(const std::wstring& exe) {
        Kill();
        job_.reset(::CreateJobObjectW(nullptr, nullptr));
        if (job_) {
            JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
            limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
            ::SetInformationJobObject(job_.get(), JobObjectExtendedLimitInformation, &limits, sizeof(limits));
        }
        std::wstring commandLine = L"\"" + exe + L"\"";
        STARTUPINFOW startup{};
        startup.cb = sizeof(startup);
        PROCESS_INFORMATION info{};
        // Suspended until it is in the job, so nothing it starts escapes the job either.
        if (!::CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, CREATE_SUSPENDED, nullptr,
                              nullptr, &startup, &info)) {
            return false;
        }
        process_.reset(info.hProcess);
        id_ = info.dwProcessId;
        if (job_) {
            ::AssignProcessToJobObject(job_.get(), info.hProcess);
        }
        ::ResumeThread(info.hThread);
        ::CloseHandle(info.hThread);
        return true;
    }

    [[nodiscard]] HANDLE Handle() const noexcept { return process_.get(); }
    [[nodiscard]] DWORD Id() const noexcept { return id_; }
    [[nodiscard]] bool IsRunning() const noexcept {
        return process_ && ::WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT;
    }
    // Waits for the program to end; true when it has (or never started).
    [[nodiscard]] bool WaitForExit(DWORD timeoutMs) const noexcept {
        return !process_ || ::WaitForSingleObject(process_.get(), timeoutMs) == WAIT_OBJECT_0;
    }
    [[nodiscard]] DWORD ExitCode() const noexcept {
        DWORD code = STILL_ACTIVE;
        if (process_) {
            ::GetExitCodeProcess(process_.get(), &code);
        }
        return code;
    }
    // Ends the program at once if it still runs and waits until it is gone.
    void Kill() noexcept {
        if (IsRunning()) {
            ::TerminateProcess(process_.get(), 1);
            ::WaitForSingleObject(process_.get(), 10000);
        }
        job_.reset();
    }

private:
    UniqueHandle process_;
    UniqueHandle job_;
    DWORD id_ = 0;
};

// A top-level window of process `pid` of class `className` (any class when null), visible only when
// `visibleOnly`. Null when there is none.
inline HWND FindWindowOf(DWORD pid, const wchar_t* className, bool visibleOnly) noexcept {
    struct Search {
        DWORD pid;
        const wchar_t* className;
        bool visibleOnly;
        HWND found;
    } search{pid, className, visibleOnly, nullptr};
    ::EnumWindows(
        [](HWND window, LPARAM data) -> BOOL {
            auto& s = *reinterpret_cast<Search*>(data);
            DWORD owner = 0;
            ::GetWindowThreadProcessId(window, &owner);
            if (owner != s.pid || (s.visibleOnly && !::IsWindowVisible(window))) {
                return TRUE;
            }
            if (s.className) {
                wchar_t name[64] = {};
                ::GetClassNameW(window, name, static_cast<int>(std::size(name)));
                if (std::wcscmp(name, s.className) != 0) {
                    return TRUE;
                }
            }
            s.found = window;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// Polls (every millisecond or so) until the window exists; null when the process ends or `timeoutMs`
// passes first.
inline HWND WaitForWindowOf(const ChildProcess& child, const wchar_t* className, bool visibleOnly,
                            DWORD timeoutMs) noexcept {
    const ULONGLONG deadline = ::GetTickCount64() + timeoutMs;
    for (;;) {
        if (const HWND window = FindWindowOf(child.Id(), className, visibleOnly)) {
            return window;
        }
        if (!child.IsRunning() || ::GetTickCount64() > deadline) {
            return nullptr;
        }
        ::Sleep(1);
    }
}

// Runs a tray-menu command in the running program, as a click on the item does.
inline bool SendMenuCommand(const ChildProcess& child, MenuId command) noexcept {
    const HWND menu = FindWindowOf(child.Id(), kMenuClass, false);
    return menu && ::PostMessageW(menu, WM_COMMAND, MAKEWPARAM(static_cast<UINT>(command), 0), 0);
}

// Ends the program with the tray menu's Exit (which saves its settings) and waits until the process is
// gone; when it does not go within `timeoutMs` it is ended at once. True for an orderly exit with code 0.
inline bool ExitProgram(ChildProcess& child, DWORD timeoutMs = 10000) noexcept {
    if (!child.IsRunning()) {
        return false;
    }
    if (SendMenuCommand(child, MenuId::mnuExit) && child.WaitForExit(timeoutMs)) {
        return child.ExitCode() == 0;
    }
    child.Kill();
    return false;
}

// One registry value as it was, put back (or deleted again, when there was none) on request.
class SavedValue {
public:
    SavedValue(HKEY root, std::wstring key, std::wstring name)
        : root_(root), key_(std::move(key)), name_(std::move(name)) {
        DWORD bytes = 0;
        if (::RegGetValueW(root_, key_.c_str(), name_.c_str(), RRF_RT_ANY, &type_, nullptr, &bytes) != ERROR_SUCCESS) {
            return;
        }
        data_.resize(bytes);
        if (::RegGetValueW(root_, key_.c_str(), name_.c_str(), RRF_RT_ANY | RRF_NOEXPAND, &type_, data_.data(),
                           &bytes) != ERROR_SUCCESS) {
            throw std::runtime_error("a registry value of the program cannot be read");
        }
        data_.resize(bytes);
        existed_ = true;
    }

    [[nodiscard]] bool Restore() const noexcept {
        if (!existed_) {
            const LSTATUS status = ::RegDeleteKeyValueW(root_, key_.c_str(), name_.c_str());
            return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND;
        }
        return ::RegSetKeyValueW(root_, key_.c_str(), name_.c_str(), type_, data_.data(),
                                 static_cast<DWORD>(data_.size())) == ERROR_SUCCESS;
    }

private:
    HKEY root_;
    std::wstring key_;
    std::wstring name_;
    bool existed_ = false;
    DWORD type_ = REG_NONE;
    std::vector<BYTE> data_;
};

// Keeps what the program stores in the registry as it was before the benchmark ran, and puts it back at
// the end: its settings (HKCU\Software\Trelvik, kept under a key of the benchmark's own meanwhile; the
// runs' settings are deleted) and its autostart entries (which its Exit writes or removes).
class SavedSettings {
public:
    explicit SavedSettings(const wchar_t* backupKey) : backupKey_(backupKey) {
        ::RegDeleteTreeW(HKEY_CURRENT_USER, backupKey_.c_str());
        UniqueKey program;
        if (::RegOpenKeyExW(HKEY_CURRENT_USER, kProgramKey, 0, KEY_READ, program.put()) != ERROR_SUCCESS) {
            return; // nothing stored: nothing to bring back
        }
        UniqueKey backup;
        if (::RegCreateKeyExW(HKEY_CURRENT_USER, backupKey_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                              backup.put(), nullptr) != ERROR_SUCCESS ||
            ::RegCopyTreeW(program.get(), nullptr, backup.get()) != ERROR_SUCCESS) {
            throw std::runtime_error("the stored settings cannot be kept aside");
        }
        existed_ = true;
    }
    SavedSettings(const SavedSettings&) = delete;
    SavedSettings& operator=(const SavedSettings&) = delete;

    ~SavedSettings() {
        for (const SavedValue& value : autostart_) {
            if (!value.Restore()) {
                std::fprintf(stderr, "bench: an autostart entry of the program could not be put back\n");
            }
        }
        ::RegDeleteTreeW(HKEY_CURRENT_USER, kProgramKey);
        if (!existed_) {
            return;
        }
        UniqueKey backup;
        UniqueKey program;
        if (::RegOpenKeyExW(HKEY_CURRENT_USER, backupKey_.c_str(), 0, KEY_READ, backup.put()) == ERROR_SUCCESS &&
            ::RegCreateKeyExW(HKEY_CURRENT_USER, kProgramKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, program.put(),
                              nullptr) == ERROR_SUCCESS &&
            ::RegCopyTreeW(backup.get(), nullptr, program.get()) == ERROR_SUCCESS) {
            backup.reset();
            ::RegDeleteTreeW(HKEY_CURRENT_USER, backupKey_.c_str());
            return;
        }
        // Left where it is rather than lost.
        std::fprintf(stderr, "bench: the stored settings could not be put back; they are under HKCU\\%ls\n",
                     backupKey_.c_str());
    }

    // Stores one setting as the program writes them (REG_SZ).
    static bool Store(const wchar_t* name, const wchar_t* value) noexcept {
        UniqueKey settings;
        if (::RegCreateKeyExW(HKEY_CURRENT_USER, kSettingsKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, settings.put(),
                              nullptr) != ERROR_SUCCESS) {
            return false;
        }
        const auto bytes = static_cast<DWORD>((std::wcslen(value) + 1) * sizeof(wchar_t));
        return ::RegSetValueExW(settings.get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value), bytes) ==
               ERROR_SUCCESS;
    }

private:
    std::wstring backupKey_;
    bool existed_ = false;
    // The entries are named after the executable's file name.
    const SavedValue autostart_[2] = {
        {HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows\\CurrentVersion\\Run", L"Trelvik"},
        {HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce", L"Trelvik"},
    };
};

// Seconds of CPU (kernel and user) that the process has used. Wine answers GetProcessTimes for another
// process with the caller's own times, while it reads each thread's from the system: there the threads
// are added up (a thread that ended meanwhile drops out, which this single-threaded program has none of).
inline double CpuSeconds(const ChildProcess& child) noexcept {
    const auto seconds = [](const FILETIME& kernel, const FILETIME& user) {
        const auto value = [](const FILETIME& t) {
            return static_cast<double>((static_cast<uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime) / 1e7;
        };
        return value(kernel) + value(user);
    };
    FILETIME created{}, exited{}, kernel{}, user{};
    if (!RunningOnWine()) {
        return ::GetProcessTimes(child.Handle(), &created, &exited, &kernel, &user) ? seconds(kernel, user) : 0.0;
    }
    double total = 0.0;
    const UniqueHandle snapshot = AdoptHandle(::CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0));
    if (!snapshot) {
        return 0.0;
    }
    THREADENTRY32 entry{};
    entry.dwSize = sizeof(entry);
    for (BOOL more = ::Thread32First(snapshot.get(), &entry); more; more = ::Thread32Next(snapshot.get(), &entry)) {
        if (entry.th32OwnerProcessID != child.Id()) {
            continue;
        }
        const UniqueHandle thread(::OpenThread(THREAD_QUERY_LIMITED_INFORMATION, FALSE, entry.th32ThreadID));
        if (thread && ::GetThreadTimes(thread.get(), &created, &exited, &kernel, &user)) {
            total += seconds(kernel, user);
        }
    }
    return total;
}

// The scheduler's own account of a process under Wine, read from the host's /proc through Wine's drive
// of the host file system: nanoseconds on a CPU and the number of times its threads were put on one (a
// thread blocked in its message loop is put on a CPU only when something wakes it: a message, a timer).
// Elsewhere, or when the process cannot be found there, nothing.
struct SchedulerCount {
    double cpuMs = 0.0;
    uint64_t wakeUps = 0;
};

class HostProcess {
public:
    // The host process of the Windows program `exeName` running in this benchmark's Wine prefix (one
    // program per prefix session). Not found when there is none or this is not Wine on Linux.
    static std::optional<HostProcess> Find(const wchar_t* exeName) {
        if (!RunningOnWine()) {
            return std::nullopt;
        }
        const std::string prefix = EnvironmentEntry(ReadFile(L"Z:\\proc\\self\\environ"), "WINEPREFIX=");
        // The kernel's process name: the file name, cut to 15 characters.
        std::string comm;
        for (const wchar_t* c = exeName; *c && comm.size() < 15; ++c) {
            comm += static_cast<char>(*c);
        }
        comm += '\n';
        WIN32_FIND_DATAW found{};
        const HANDLE search = ::FindFirstFileW(L"Z:\\proc\\*", &found);
        if (search == INVALID_HANDLE_VALUE) {
            return std::nullopt;
        }
        std::optional<HostProcess> result;
        do {
            const std::wstring pid = found.cFileName;
            if (pid.empty() || pid.find_first_not_of(L"0123456789") != std::wstring::npos) {
                continue;
            }
            const std::wstring folder = L"Z:\\proc\\" + pid;
            if (ReadFile(folder + L"\\comm") == comm &&
                EnvironmentEntry(ReadFile(folder + L"\\environ"), "WINEPREFIX=") == prefix) {
                result = HostProcess(folder);
                break;
            }
        } while (::FindNextFileW(search, &found));
        ::FindClose(search);
        return result;
    }

    // The counts of all the process's threads so far.
    [[nodiscard]] SchedulerCount Count() const {
        SchedulerCount count;
        WIN32_FIND_DATAW found{};
        const HANDLE search = ::FindFirstFileW((folder_ + L"\\task\\*").c_str(), &found);
        if (search == INVALID_HANDLE_VALUE) {
            return count;
        }
        do {
            if (found.cFileName[0] == L'.') {
                continue;
            }
            // "<ns on a CPU> <ns waiting for one> <times put on one>"
            unsigned long long runNs = 0, waitNs = 0, slices = 0;
            const std::string stat = ReadFile(folder_ + L"\\task\\" + found.cFileName + L"\\schedstat");
            if (std::sscanf(stat.c_str(), "%llu %llu %llu", &runNs, &waitNs, &slices) == 3) {
                count.cpuMs += static_cast<double>(runNs) / 1e6;
                count.wakeUps += slices;
            }
        } while (::FindNextFileW(search, &found));
        ::FindClose(search);
        return count;
    }

private:
    explicit HostProcess(std::wstring folder) : folder_(std::move(folder)) {}

    static std::string ReadFile(const std::wstring& path) {
        const UniqueHandle file = AdoptHandle(::CreateFileW(
            path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr));
        std::string text;
        if (!file) {
            return text;
        }
        char buffer[4096];
        DWORD read = 0;
        // The kernel's files report no size: read to the end.
        while (::ReadFile(file.get(), buffer, sizeof(buffer), &read, nullptr) && read > 0) {
            text.append(buffer, read);
        }
        return text;
    }

    // The entry "NAME=value" of a NUL-separated environment, or empty.
    static std::string EnvironmentEntry(const std::string& environment, const std::string& name) {
        for (size_t start = 0; start < environment.size();) {
            const size_t end = std::min(environment.find('\0', start), environment.size());
            if (environment.compare(start, name.size(), name) == 0) {
                return environment.substr(start, end - start);
            }
            start = end + 1;
        }
        return {};
    }

    std::wstring folder_;
};

} // namespace bench
