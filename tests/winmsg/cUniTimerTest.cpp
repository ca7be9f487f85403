// Callback timers on the test thread's real message loop. Where a test must show that something does
// NOT happen, it pumps until a separate sentinel timer has ticked several times.
#include "winmsg/cUniTimer.h"

#include "core/AppError.h"
#include "support/TestSettings.h"

#include <gtest/gtest.h>

#include <climits>
#include <functional>
#include <optional>
#include <vector>

namespace {

struct Tick {
    int32_t elapsed;
    int32_t id;
    uint32_t tickCount; // GetTickCount when Proc ran
};

class Recorder final : public iTimer2 {
public:
    std::vector<Tick> ticks;
    std::function<void()> onTick;

    void Proc(int32_t lElapsedMS, int32_t lTimerID) override {
        ticks.push_back({lElapsedMS, lTimerID, ::GetTickCount()});
        if (onTick) {
            onTick();
        }
    }
    std::vector<Tick> Of(int32_t id) const {
        std::vector<Tick> out;
        for (const Tick& t : ticks) {
            if (t.id == id) {
                out.push_back(t);
            }
        }
        return out;
    }
};

// Runs the message loop until a timer of its own has ticked `count` times at `interval`.
void PumpForTicks(int count, UINT interval = 30) {
    Recorder sentinel;
    cUniTimer clock;
    ASSERT_TRUE(clock.TmrStart(sentinel, interval, 99));
    ASSERT_TRUE(PumpUntil([&] { return sentinel.ticks.size() >= static_cast<size_t>(count); }));
}

TEST(cUniTimer, ElapsedTimeIsRightAcrossTheTickCounterWrap) {
    struct Case {
        uint32_t start, now;
        int32_t elapsed;
    };
    for (const Case& c : {Case{1000, 1400, 400}, Case{0xFFFFFF00u, 0x100u, 0x200}, Case{0, 0x80000000u, INT32_MIN}}) {
        EXPECT_EQ(ElapsedTicks(c.start, c.now), c.elapsed) << c.start << " " << c.now;
    }
}

TEST(cUniTimer, TwoTimersOfOneOwnerAreToldApartByIdAndCountFromTheirStart) {
    Recorder owner;
    cUniTimer fast, slow;
    const uint32_t before = ::GetTickCount();
    ASSERT_TRUE(fast.TmrStart(owner, 30, 0));
    ASSERT_TRUE(slow.TmrStart(owner, 70, 1));
    EXPECT_TRUE(fast.IsActive());
    EXPECT_TRUE(slow.IsActive());
    ASSERT_TRUE(PumpUntil([&] { return owner.Of(0).size() >= 4 && owner.Of(1).size() >= 3; }));
    EXPECT_TRUE(fast.TmrStop());
    EXPECT_TRUE(slow.TmrStop());

    for (const auto& [id, interval] : {std::pair{0, 30}, std::pair{1, 70}}) {
        const std::vector<Tick> ticks = owner.Of(id);
        for (size_t k = 1; k <= ticks.size(); ++k) {
            const Tick& t = ticks[k - 1];
            SCOPED_TRACE(::testing::Message() << "timer " << id << ", tick " << k);
            // The k-th tick comes no sooner than k intervals after the start (less one tick of the
            // system clock), and its elapsed time is the time since the start, not since the last tick.
            EXPECT_GE(t.elapsed, static_cast<int32_t>(k) * interval - 16);
            EXPECT_LE(t.elapsed, ElapsedTicks(before, t.tickCount));
        }
    }
}

TEST(cUniTimer, StartingARunningTimerFailsAndLeavesItAsItWas) {
    Recorder first, second;
    cUniTimer timer;
    EXPECT_TRUE(timer.TmrStop()) << "stopping a stopped timer";
    ASSERT_TRUE(timer.TmrStart(first, 40, 5));
    EXPECT_FALSE(timer.TmrStart(second, 10, 6));
    EXPECT_TRUE(timer.IsActive());
    ASSERT_TRUE(PumpUntil([&] { return first.ticks.size() >= 2; }));
    EXPECT_TRUE(second.ticks.empty());
    EXPECT_EQ(first.ticks[1].id, 5);
    EXPECT_GE(first.ticks[1].elapsed, 80 - 16) << "the first interval and start stand";

    EXPECT_TRUE(timer.TmrStop());
    EXPECT_FALSE(timer.IsActive());
    EXPECT_TRUE(timer.TmrStop());
    // Started again, it counts afresh.
    const uint32_t restart = ::GetTickCount();
    ASSERT_TRUE(timer.TmrStart(second, 10, 6));
    ASSERT_TRUE(PumpUntil([&] { return !second.ticks.empty(); }));
    EXPECT_EQ(second.ticks[0].id, 6);
    EXPECT_LE(second.ticks[0].elapsed, ElapsedTicks(restart, second.ticks[0].tickCount));
}

TEST(cUniTimer, ProcMayStopItsOwnTimer) {
    Recorder owner;
    cUniTimer timer;
    owner.onTick = [&] { EXPECT_TRUE(timer.TmrStop()); };
    ASSERT_TRUE(timer.TmrStart(owner, 10, 0));
    ASSERT_TRUE(PumpUntil([&] { return !owner.ticks.empty(); }));
    EXPECT_FALSE(timer.IsActive());
    PumpForTicks(5);
    EXPECT_EQ(owner.ticks.size(), 1u);
}

TEST(cUniTimer, AnErrorInProcStaysThere) {
    Recorder owner;
    owner.onTick = [] { throw AppError(AppError::kToolkitError, "test", "owner failed"); };
    cUniTimer timer;
    ASSERT_TRUE(timer.TmrStart(owner, 10, 0));
    EXPECT_TRUE(PumpUntil([&] { return owner.ticks.size() >= 2; })) << "the timer keeps running";
}

// A tick that was already queued when the timer stopped or went away reaches nobody.
TEST(cUniTimer, NoTickReachesTheOwnerAfterStopOrDestruction) {
    for (const bool destroy : {false, true}) {
        SCOPED_TRACE(destroy ? "destroyed" : "stopped");
        Recorder owner;
        std::optional<cUniTimer> timer(std::in_place);
        ASSERT_TRUE(timer->TmrStart(owner, 10, 3));
        // Wait, without dispatching, until the platform has a tick of it ready.
        MSG tick{};
        for (int i = 0; i < 500 && !::PeekMessageW(&tick, nullptr, WM_TIMER, WM_TIMER, PM_NOREMOVE); ++i) {
            ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_TIMER);
        }
        ASSERT_EQ(tick.message, static_cast<UINT>(WM_TIMER));
        if (destroy) {
            timer.reset();
        } else {
            EXPECT_TRUE(timer->TmrStop());
        }
        // Whether or not the platform dropped that tick, queue one just like it.
        ::PostThreadMessageW(::GetCurrentThreadId(), WM_TIMER, tick.wParam, tick.lParam);
        PumpForTicks(5);
        EXPECT_TRUE(owner.ticks.empty());
    }
}

} // namespace
