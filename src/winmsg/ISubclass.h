#pragma once
// The listener side of window subclassing (MSubclass.h): an object that hears the messages of a
// window it does not own.
#include <windows.h>

// Response modes, chosen per listener and message when registering with MSubclass::HookMessage.
// Any other non-zero value is accepted too: the dispatcher then never calls the window's previous
// procedure itself for that message; a listener may do so with MSubclass::CallPreviousProc.
// When the listeners of one message use different modes, the mode of the first-registered listener
// decides when the previous procedure runs.
//
// HookBefore: the listeners run first (most recently registered first); unless one of them stopped
// the message, the previous procedure runs afterwards and its result becomes the return value.
inline constexpr int HookBefore = 9;
// HookAfter: the previous procedure runs just before the first-registered listener is called; that
// listener sees bBefore false and lReturn holding the previous procedure's result.
inline constexpr int HookAfter = 10;

class ISubclass {
public:
    // Called for each message the listener registered for, on the window's thread.
    //   bBefore   true while the previous procedure has not run yet for this message and no earlier
    //             listener has stopped it.
    //   bStopMsg  enters false; set it to say the message is handled: the dispatcher then does not call
    //             the previous procedure afterwards and later listeners see bBefore false.
    //   lReturn   what the window procedure will return: enters 0, or the result of the previous
    //             procedure (HookAfter), or what an earlier listener left; the last value stands
    //             (unless HookBefore runs the previous procedure afterwards, whose result replaces it).
    // A listener may send messages to the same window (the dispatcher is re-entrant) and may hook or
    // unhook any registration, its own included; a registration withdrawn during a dispatch is not
    // called any more in that dispatch. Errors belong inside the listener: an exception that escapes is
    // discarded by the dispatcher, and the message goes on as if the listener had returned.
    virtual void WindowProc(bool bBefore, bool& bStopMsg, LRESULT& lReturn, HWND hWnd, UINT uMsg, WPARAM wParam,
                            LPARAM lParam) = 0;

protected:
    ISubclass() = default;
    ISubclass(const ISubclass&) = default;
    ISubclass& operator=(const ISubclass&) = default;
    // Listeners are never owned or deleted through this interface: registrations hold plain addresses.
    ~ISubclass() = default;
};
