#pragma once
// Windowless periodic callbacks: a thread timer of the platform that calls a method of its owner.
#include <windows.h>

#include <cstdint>

// The owner side of a cUniTimer.
class iTimer2 {
public:
    // Called on every tick, on the thread that started the timer, between that thread's messages (so
    // only while it runs a message loop). lElapsedMS is the time from TmrStart to this tick in
    // milliseconds (not from the previous tick); lTimerID is the identifier given to TmrStart, which
    // tells apart the timers of one owner. May stop or restart the timer, or any other. Errors belong
    // inside the owner: an exception that escapes is discarded.
    virtual void Proc(int32_t lElapsedMS, int32_t lTimerID) = 0;

protected:
    iTimer2() = default;
    iTimer2(const iTimer2&) = default;
    iTimer2& operator=(const iTimer2&) = default;
    // Owners are never owned or deleted through this interface: a timer holds a plain address.
    ~iTimer2() = default;
};

// Milliseconds from one reading of the 32-bit millisecond tick counter to a later one. The counter
// wraps every 49.7 days; the difference is right across the wrap, and itself wraps to negative
// values after 24.8 days.
[[nodiscard]] constexpr int32_t ElapsedTicks(uint32_t startTick, uint32_t nowTick) noexcept {
    return static_cast<int32_t>(nowTick - startTick);
}

// A periodic timer that needs no window: stopped -> TmrStart -> running -> TmrStop -> stopped, and
// may be started again (counting afresh). The owner is held by address only: it must stop the timer,
// or destroy the timer object, before it goes away. Destroying the object stops the timer, and a tick
// already queued for a stopped or destroyed timer reaches nobody. One thread: start, stop and
// destroy on the thread whose message loop runs the ticks. Neither copyable nor movable (the
// platform's callback finds the object by its address).
class cUniTimer {
public:
    cUniTimer() noexcept = default;
    ~cUniTimer();
    cUniTimer(const cUniTimer&) = delete;
    cUniTimer& operator=(const cUniTimer&) = delete;
    cUniTimer(cUniTimer&&) = delete;
    cUniTimer& operator=(cUniTimer&&) = delete;

    // Starts calling owner.Proc every nInterval milliseconds (the platform keeps the interval within
    // its limits) with the identifier id. False when the timer is already running (it keeps running
    // unchanged, with its first owner, identifier and start) or the platform has no timer to give.
    [[nodiscard]] bool TmrStart(iTimer2& owner, UINT nInterval, int32_t id) noexcept;
    // Stops the timer: true when it is stopped (also when it was not running); false when the platform
    // refused, and the timer stays running.
    [[nodiscard]] bool TmrStop() noexcept;
    // True while the timer runs.
    [[nodiscard]] bool IsActive() const noexcept { return timerId_ != 0; }

private:
    static void CALLBACK TimerProc(HWND hWnd, UINT uMsg, UINT_PTR idEvent, DWORD dwTime) noexcept;

    UINT_PTR timerId_ = 0; // the platform's identifier; 0 while stopped
    iTimer2* owner_ = nullptr;
    int32_t id_ = 0;
    uint32_t startTick_ = 0;
};
