#include "winmsg/MSubclass.h"

#include "core/AppError.h"
#include "util/ModulePath.h"
#include "util/ErrorReport.h"

#include <unordered_map>
#include <utility>
#include <vector>

namespace {

// One entry of a per-window table: the window, the entry's key and its value (0 = absent).
struct clsWinProp {
    HWND hWnd = nullptr;
    std::string lpString;
    LONG_PTR hData = 0;
};

using WindowTable = std::unordered_map<std::string, clsWinProp>;
using TableList = std::unordered_map<std::string, WindowTable>;

// The process-wide list of per-window tables. Never destroyed: a window may still be destroyed (and
// reach the dispatcher) while static objects are being torn down at exit.
TableList& Tables() {
    static TableList& tables = *new TableList;
    return tables;
}

std::string Decimal(HWND hWnd) {
    return std::to_string(reinterpret_cast<uintptr_t>(hWnd));
}

// Keys are built by appending: GCC 12 warns falsely (-Wrestrict) about "literal" + std::string.
std::string TableKey(HWND hWnd) {
    std::string key = "H";
    return key.append(Decimal(hWnd));
}
std::string PreviousKey(HWND hWnd) {
    return Decimal(hWnd);
}
std::string RegistrationsKey(HWND hWnd) {
    std::string key = "C";
    return key.append(Decimal(hWnd));
}
std::string ListenerCountKey(HWND hWnd, UINT uMsg) {
    return Decimal(hWnd) + "#" + std::to_string(uMsg) + "C";
}
std::string ListenerKey(HWND hWnd, UINT uMsg, LONG_PTR index) {
    return Decimal(hWnd) + "#" + std::to_string(uMsg) + "#" + std::to_string(index);
}
std::string ModeKey(HWND hWnd, UINT uMsg, LONG_PTR index) {
    return Decimal(hWnd) + "#" + std::to_string(uMsg) + "R" + std::to_string(index);
}

LONG_PTR Read(HWND hWnd, const std::string& key) {
    const TableList& tables = Tables();
    const auto table = tables.find(TableKey(hWnd));
    if (table == tables.end()) {
        return 0;
    }
    const auto entry = table->second.find(key);
    return entry == table->second.end() ? 0 : entry->second.hData;
}

// Creates the table or the entry when missing; 0 removes the entry, and the table with its last entry.
void Store(HWND hWnd, const std::string& key, LONG_PTR value) {
    TableList& tables = Tables();
    const std::string tableKey = TableKey(hWnd);
    if (value != 0) {
        clsWinProp& entry = tables[tableKey][key];
        entry.hWnd = hWnd;
        entry.lpString = key;
        entry.hData = value;
        return;
    }
    const auto table = tables.find(tableKey);
    if (table == tables.end()) {
        return;
    }
    table->second.erase(key);
    if (table->second.empty()) {
        tables.erase(table);
    }
}

LONG_PTR Identity(ISubclass& listener) {
    return reinterpret_cast<LONG_PTR>(&listener);
}

LONG_PTR ListenerCount(HWND hWnd, UINT uMsg) {
    return Read(hWnd, ListenerCountKey(hWnd, uMsg));
}

bool IsListening(HWND hWnd, UINT uMsg, LONG_PTR identity) {
    const LONG_PTR n = ListenerCount(hWnd, uMsg);
    for (LONG_PTR i = 1; i <= n; ++i) {
        if (Read(hWnd, ListenerKey(hWnd, uMsg, i)) == identity) {
            return true;
        }
    }
    return false;
}

bool IsWindowOfThisProcess(HWND hWnd) {
    if (!::IsWindow(hWnd)) {
        return false;
    }
    DWORD process = 0;
    ::GetWindowThreadProcessId(hWnd, &process);
    return process == ::GetCurrentProcessId();
}

// Every error raised here names "<executable name>.WindowProc" as its source.
[[noreturn]] void Raise(uint32_t number, std::string description) {
    throw AppError(number, ProgramErrorSource("WindowProc"), std::move(description));
}

// Puts the previous procedure back and forgets the window: its table goes with all registrations.
void UnhookAll(HWND hWnd) {
    if (Read(hWnd, RegistrationsKey(hWnd)) >= 1) {
        if (const LONG_PTR previous = Read(hWnd, PreviousKey(hWnd))) {
            ::SetWindowLongPtrW(hWnd, GWLP_WNDPROC, previous);
        }
    }
    Tables().erase(TableKey(hWnd));
}

// The listeners of one message as they stood when its dispatch began, in registration order.
struct Registration {
    LONG_PTR identity;
    LONG_PTR mode;
};

LRESULT Dispatch(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam, WNDPROC previous, bool& previousCalled) {
    const LONG_PTR n = ListenerCount(hWnd, uMsg);
    if (n <= 0) {
        // A window going away without anyone listening to its end: forget it before it is gone. The
        // second chance at WM_NCDESTROY covers a window whose WM_DESTROY does have listeners, which
        // would otherwise leave its table (and the addresses of its listeners) behind for whatever
        // window gets the same handle next.
        if (uMsg == WM_DESTROY || uMsg == WM_NCDESTROY) {
            UnhookAll(hWnd);
        }
        previousCalled = true;
        return ::CallWindowProcW(previous, hWnd, uMsg, wParam, lParam);
    }

    // Listeners may hook and unhook during the calls below, which shifts the table's indices; the
    // copy keeps the order fixed, and each listener is checked against the live table right before
    // its call, so a withdrawn listener (possibly destroyed already) is never called.
    std::vector<Registration> listeners(static_cast<size_t>(n));
    for (LONG_PTR i = 1; i <= n; ++i) {
        listeners[static_cast<size_t>(i - 1)] = {Read(hWnd, ListenerKey(hWnd, uMsg, i)),
                                                 Read(hWnd, ModeKey(hWnd, uMsg, i))};
    }
    // The first-registered listener's mode decides when the previous procedure runs.
    const LONG_PTR mode = listeners.front().mode;

    LRESULT lReturn = 0;
    // True once the previous procedure has run or a listener has stopped the message.
    bool called = false;
    for (LONG_PTR i = n; i >= 1; --i) {
        const Registration& registration = listeners[static_cast<size_t>(i - 1)];
        if (i == 1 && mode == HookAfter && !called) {
            lReturn = ::CallWindowProcW(previous, hWnd, uMsg, wParam, lParam);
            previousCalled = true;
            called = true;
        }
        if (registration.identity == 0 || !IsListening(hWnd, uMsg, registration.identity)) {
            continue;
        }
        bool stop = false;
        try {
            reinterpret_cast<ISubclass*>(registration.identity)
                ->WindowProc(!called, stop, lReturn, hWnd, uMsg, wParam, lParam);
        } catch (const std::exception& error) {
            ReportCaughtError(error, "MSubclass.Dispatch");
            // A listener's own failure; the message carries on.
        }
        called = called || stop;
    }
    if (mode == HookBefore && !called) {
        lReturn = ::CallWindowProcW(previous, hWnd, uMsg, wParam, lParam);
        previousCalled = true;
    }
    if (uMsg == WM_NCDESTROY) {
        UnhookAll(hWnd);
    }
    return lReturn;
}

LRESULT CALLBACK Dispatcher(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam) noexcept {
    WNDPROC previous = nullptr;
    try {
        previous = reinterpret_cast<WNDPROC>(Read(hWnd, PreviousKey(hWnd)));
    } catch (const std::exception& error) {
        ReportCaughtError(error, "MSubclass.Dispatcher");
    }
    if (previous == nullptr) {
        // Only reachable when another subclasser chained onto the dispatcher and the window has been
        // unhooked since: there is no previous procedure to pass on to, so the window gets the default
        // handling rather than a 0 for every message (which would break even its destruction).
        return ::DefWindowProcW(hWnd, uMsg, wParam, lParam);
    }
    bool previousCalled = false;
    try {
        return Dispatch(hWnd, uMsg, wParam, lParam, previous, previousCalled);
    } catch (const std::exception& error) {
        ReportCaughtError(error, "MSubclass.Dispatcher");
        // Out of memory while reading the tables: the window itself must still work.
        return previousCalled ? 0 : ::CallWindowProcW(previous, hWnd, uMsg, wParam, lParam);
    }
}

} // namespace

namespace MSubclass {

void HookMessage(ISubclass& listener, HWND hWnd, UINT uMsg, int mode) {
    if (!::IsWindow(hWnd)) {
        Raise(kInvalidWindow, "Invalid window");
    }
    if (!IsWindowOfThisProcess(hWnd)) {
        Raise(kExternalWindow, "Can't modify external window");
    }
    const LONG_PTR identity = Identity(listener);
    if (IsListening(hWnd, uMsg, identity)) {
        Raise(kMessageAlreadyHandled, "Message already handled by another class");
    }
    if (mode == 0) {
        Raise(kInvalidArgument, "Invalid procedure call or argument");
    }

    const LONG_PTR n = ListenerCount(hWnd, uMsg);
    const LONG_PTR registrations = Read(hWnd, RegistrationsKey(hWnd));
    Store(hWnd, ListenerCountKey(hWnd, uMsg), n + 1);
    Store(hWnd, ListenerKey(hWnd, uMsg, n + 1), identity);
    Store(hWnd, ModeKey(hWnd, uMsg, n + 1), mode);
    if (registrations == 0) {
        const LONG_PTR previous = ::SetWindowLongPtrW(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Dispatcher));
        if (previous == 0) {
            Store(hWnd, ListenerKey(hWnd, uMsg, n + 1), 0);
            Store(hWnd, ModeKey(hWnd, uMsg, n + 1), 0);
            Store(hWnd, ListenerCountKey(hWnd, uMsg), n);
            Raise(kCantSubclassWindow, "Can't subclass window");
        }
        Store(hWnd, PreviousKey(hWnd), previous);
    }
    Store(hWnd, RegistrationsKey(hWnd), registrations + 1);
}

void UnhookMessage(ISubclass& listener, HWND hWnd, UINT uMsg) noexcept {
    if (!IsWindowOfThisProcess(hWnd)) {
        return;
    }
    try {
        const LONG_PTR identity = Identity(listener);
        const LONG_PTR n = ListenerCount(hWnd, uMsg);
        LONG_PTR found = 0;
        for (LONG_PTR i = 1; i <= n && found == 0; ++i) {
            if (Read(hWnd, ListenerKey(hWnd, uMsg, i)) == identity) {
                found = i;
            }
        }
        if (found == 0) {
            return;
        }
        for (LONG_PTR j = found; j < n; ++j) {
            Store(hWnd, ListenerKey(hWnd, uMsg, j), Read(hWnd, ListenerKey(hWnd, uMsg, j + 1)));
            Store(hWnd, ModeKey(hWnd, uMsg, j), Read(hWnd, ModeKey(hWnd, uMsg, j + 1)));
        }
        Store(hWnd, ListenerKey(hWnd, uMsg, n), 0);
        Store(hWnd, ModeKey(hWnd, uMsg, n), 0);
        Store(hWnd, ListenerCountKey(hWnd, uMsg), n - 1);

        const LONG_PTR registrations = Read(hWnd, RegistrationsKey(hWnd));
        if (registrations <= 1) {
            if (const LONG_PTR previous = Read(hWnd, PreviousKey(hWnd))) {
                ::SetWindowLongPtrW(hWnd, GWLP_WNDPROC, previous);
            }
            Store(hWnd, PreviousKey(hWnd), 0);
            Store(hWnd, RegistrationsKey(hWnd), 0);
        } else {
            Store(hWnd, RegistrationsKey(hWnd), registrations - 1);
        }
    } catch (const std::exception& error) {
        ReportCaughtError(error, "MSubclass.UnhookMessage");
        // Only allocation can fail here; there is nothing better to do than leave the tables be.
    }
}

LRESULT CallPreviousProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam) noexcept {
    LONG_PTR previous = 0;
    try {
        previous = Read(hWnd, PreviousKey(hWnd));
    } catch (const std::exception& error) {
        ReportCaughtError(error, "MSubclass.CallPreviousProc");
    }
    if (previous == 0) {
        return 0;
    }
    return ::CallWindowProcW(reinterpret_cast<WNDPROC>(previous), hWnd, uMsg, wParam, lParam);
}

std::map<std::string, LONG_PTR> TableEntries(HWND hWnd) {
    std::map<std::string, LONG_PTR> entries;
    const TableList& tables = Tables();
    if (const auto table = tables.find(TableKey(hWnd)); table != tables.end()) {
        for (const auto& [key, entry] : table->second) {
            entries.emplace(key, entry.hData);
        }
    }
    return entries;
}

size_t TableCount() noexcept {
    return Tables().size();
}

} // namespace MSubclass
