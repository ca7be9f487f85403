#pragma once
// Window subclassing: objects listen to the messages of windows of this process that they do not own.
//
// The first registration on a window replaces its window procedure with one shared dispatcher; the
// last withdrawal puts the previous procedure back. Any number of listeners may listen to one message
// of one window, and one listener to any number of messages of any number of windows. The dispatcher
// calls the listeners of a message from the most recently registered to the first-registered, and
// calls the window's previous procedure before, after or never, as the response mode says
// (ISubclass.h).
//
// Listeners are held by address only, never owned: a listener must withdraw all its registrations
// before it is destroyed. A window destroyed while hooked loses all its registrations and gets its
// previous procedure back by itself: at its WM_DESTROY when no listener listens to WM_DESTROY (its
// later messages, WM_NCDESTROY included, then reach no listener), otherwise once its WM_NCDESTROY
// has been dispatched. Withdrawing a registration afterwards does nothing.
//
// All calls belong on the thread that owns the windows (the one GUI thread): there are no locks.
//
// State: one process-wide keyed list of per-window tables, keyed "H" + the window handle in decimal.
// Each per-window table holds entries keyed as follows (w the handle, m the message, i the 1-based
// listener index, all decimal), and an entry whose value is 0 does not exist:
//   w        the window's previous window procedure
//   Cw       number of registrations (listener, message) on the window
//   w#mC     number of listeners of message m
//   w#m#i    the i-th listener of m (the address of its ISubclass)
//   w#mRi    the response mode of the i-th listener of m
// A per-window table that loses its last entry is removed.
#include "winmsg/ISubclass.h"

#include <windows.h>

#include <cstdint>
#include <map>
#include <string>

namespace MSubclass {

// Errors raised by HookMessage (AppError numbers; the source is the executable's name without its
// extension followed by ".WindowProc").
inline constexpr uint32_t kCantSubclassWindow = 0x80040000u + 13081;    // "Can't subclass window"
inline constexpr uint32_t kMessageAlreadyHandled = 0x80040000u + 13082; // "Message already handled by another class"
inline constexpr uint32_t kInvalidWindow = 0x80040000u + 13083;         // "Invalid window"
inline constexpr uint32_t kExternalWindow = 0x80040000u + 13084;        // "Can't modify external window"
inline constexpr uint32_t kInvalidArgument = 5;                         // "Invalid procedure call or argument"

// Registers the listener for message uMsg of window hWnd with a response mode (HookBefore,
// HookAfter or any other non-zero value); installs the dispatcher at the window's first registration.
// Throws AppError, leaving every table as it was:
//   kInvalidWindow          hWnd is not a window;
//   kExternalWindow         hWnd belongs to another process;
//   kMessageAlreadyHandled  this listener already listens to this message of this window;
//   kInvalidArgument        mode is 0;
//   kCantSubclassWindow     the window procedure could not be replaced.
void HookMessage(ISubclass& listener, HWND hWnd, UINT uMsg, int mode);

// Withdraws the listener's registration for message uMsg of hWnd; the other listeners of the message
// keep their order. The window's previous procedure is put back when its last registration goes.
// Does nothing when there is no such registration or hWnd is not a window of this process. Safe to
// call from inside a listener's WindowProc, also during a dispatch of that very message.
void UnhookMessage(ISubclass& listener, HWND hWnd, UINT uMsg) noexcept;

// Calls the window's previous procedure (the one before the dispatcher) and returns its result; 0 when
// the window is not subclassed.
LRESULT CallPreviousProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam) noexcept;

// Inspection of the tables (for diagnostics and tests): the entries of the window's table by key
// ("1234#279#3" ...), empty when the window has none; and the number of per-window tables.
[[nodiscard]] std::map<std::string, LONG_PTR> TableEntries(HWND hWnd);
[[nodiscard]] size_t TableCount() noexcept;

} // namespace MSubclass
