#include "winmsg/cUniTimer.h"

#include "util/ErrorReport.h"

#include <unordered_map>

namespace {

// Running timers by the platform's timer identifier: how the one TIMERPROC finds its object. Never
// destroyed, so a timer object that outlives static destruction at exit still stops cleanly.
std::unordered_map<UINT_PTR, cUniTimer*>& Timers() {
    static auto& timers = *new std::unordered_map<UINT_PTR, cUniTimer*>;
    return timers;
}

} // namespace

cUniTimer::~cUniTimer() {
    if (timerId_ != 0) {
        ::KillTimer(nullptr, timerId_);
        // Even if the platform refused, no tick may find this object any more.
        Timers().erase(timerId_);
    }
}

bool cUniTimer::TmrStart(iTimer2& owner, UINT nInterval, int32_t id) noexcept {
    if (timerId_ != 0) {
        return false;
    }
    owner_ = &owner;
    id_ = id;
    startTick_ = ::GetTickCount();
    const UINT_PTR timer = ::SetTimer(nullptr, 0, nInterval, &cUniTimer::TimerProc);
    if (timer == 0) {
        return false;
    }
    try {
        Timers()[timer] = this;
    } catch (const std::exception& error) {
        ReportCaughtError(error, "cUniTimer.TmrStart");
        ::KillTimer(nullptr, timer);
        return false;
    }
    timerId_ = timer;
    return true;
}

bool cUniTimer::TmrStop() noexcept {
    if (timerId_ == 0) {
        return true;
    }
    if (!::KillTimer(nullptr, timerId_)) {
        return false;
    }
    Timers().erase(timerId_);
    timerId_ = 0;
    return true;
}

void CALLBACK cUniTimer::TimerProc(HWND, UINT, UINT_PTR idEvent, DWORD dwTime) noexcept {
    // A tick queued before its timer was stopped (or its object destroyed) finds no entry here.
    const auto& timers = Timers();
    const auto found = timers.find(idEvent);
    if (found == timers.end()) {
        return;
    }
    // Read everything first: Proc may stop, restart or destroy this timer object.
    const cUniTimer& timer = *found->second;
    iTimer2* owner = timer.owner_;
    const int32_t elapsed = ElapsedTicks(timer.startTick_, dwTime);
    const int32_t id = timer.id_;
    try {
        owner->Proc(elapsed, id);
    } catch (const std::exception& error) {
        ReportCaughtError(error, "cUniTimer.TimerProc");
        // The owner's own failure ends this tick only.
    }
}
