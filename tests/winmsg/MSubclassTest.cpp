// Subclassing on real windows: a window class whose own procedure notes what reaches it, listeners
// that note how they are called, and the tables read back by key.
#include "winmsg/MSubclass.h"

#include "core/AppError.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

namespace {

constexpr UINT Probe = WM_APP + 1;  // the window's own procedure answers 42
constexpr UINT Probe2 = WM_APP + 2; // answered 0

// What happened during one message, in order: "prev" for the window's own procedure, "A+0" for
// listener A called with bBefore true and lReturn 0, "A-42" for bBefore false and lReturn 42.
std::vector<std::string>& Trace() {
    static std::vector<std::string> trace;
    return trace;
}

std::string Joined(const std::vector<std::string>& items) {
    std::string out;
    for (const std::string& item : items) {
        out += (out.empty() ? "" : " ") + item;
    }
    return out;
}

// The window procedure at the moment the window's own procedure saw WM_NCDESTROY.
LONG_PTR procedureAtNcDestroy = 0;

LRESULT CALLBACK OriginalProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam) {
    switch (uMsg) {
    case Probe:
        Trace().push_back("prev");
        return 42;
    case Probe2:
        Trace().push_back("prev2");
        return 0;
    case WM_NCDESTROY:
        procedureAtNcDestroy = ::GetWindowLongPtrW(hWnd, GWLP_WNDPROC);
        break;
    }
    return ::DefWindowProcW(hWnd, uMsg, wParam, lParam);
}

// A hidden window of a class whose procedure is OriginalProc; destroyed with the object.
class TestWindow {
public:
    TestWindow() {
        WNDCLASSEXW wc{sizeof(wc)};
        if (!::GetClassInfoExW(::GetModuleHandleW(nullptr), L"TrelvikSubclassTest", &wc)) {
            wc.lpfnWndProc = &OriginalProc;
            wc.hInstance = ::GetModuleHandleW(nullptr);
            wc.lpszClassName = L"TrelvikSubclassTest";
            ::RegisterClassExW(&wc);
        }
        hwnd_ = ::CreateWindowExW(0, L"TrelvikSubclassTest", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                  ::GetModuleHandleW(nullptr), nullptr);
    }
    ~TestWindow() { Destroy(); }
    TestWindow(const TestWindow&) = delete;
    TestWindow& operator=(const TestWindow&) = delete;

    HWND hwnd() const { return hwnd_; }
    void Destroy() {
        if (hwnd_) {
            ::DestroyWindow(hwnd_);
            hwnd_ = nullptr;
        }
    }
    LONG_PTR Procedure() const { return ::GetWindowLongPtrW(hwnd_, GWLP_WNDPROC); }
    LRESULT Send(UINT uMsg) const { return ::SendMessageW(hwnd_, uMsg, 0, 0); }

private:
    HWND hwnd_ = nullptr;
};

class Listener final : public ISubclass {
public:
    explicit Listener(std::string name) : name_(std::move(name)) {}

    // Runs after the call is noted; may set bStopMsg and lReturn.
    std::function<void(bool& bStopMsg, LRESULT& lReturn, HWND hWnd, UINT uMsg)> action;
    std::vector<UINT> heard;
    std::vector<HWND> windows;

    void WindowProc(bool bBefore, bool& bStopMsg, LRESULT& lReturn, HWND hWnd, UINT uMsg, WPARAM, LPARAM) override {
        heard.push_back(uMsg);
        windows.push_back(hWnd);
        if (uMsg == Probe || uMsg == Probe2) {
            Trace().push_back(name_ + (bBefore ? "+" : "-") + std::to_string(lReturn));
        }
        if (action) {
            action(bStopMsg, lReturn, hWnd, uMsg);
        }
    }

private:
    std::string name_;
};

LONG_PTR Address(Listener& listener) {
    return reinterpret_cast<LONG_PTR>(static_cast<ISubclass*>(&listener));
}

std::string W(HWND hwnd) {
    return std::to_string(reinterpret_cast<uintptr_t>(hwnd));
}

class MSubclassTest : public ::testing::Test {
protected:
    void SetUp() override {
        Trace().clear();
        ASSERT_NE(window.hwnd(), nullptr);
        original = window.Procedure();
        tablesBefore = MSubclass::TableCount();
    }
    // The trace of one Probe sent to the window, and its result.
    std::string SendProbe(LRESULT* result = nullptr) {
        Trace().clear();
        const LRESULT r = window.Send(Probe);
        if (result) {
            *result = r;
        }
        return Joined(Trace());
    }

    TestWindow window;
    LONG_PTR original = 0;
    size_t tablesBefore = 0;
    Listener A{"A"}, B{"B"}, C{"C"};
};

// ---- Listener order and response modes ------------------------------------------------------------

enum class BDoes { AddHundred, StopWithSeven, Throw };

struct ModeCase {
    const char* name;
    int modeA; // A registers first
    int modeB; // then B; 0: B does not register
    BDoes b;
    bool aCallsPrevious; // A sets lReturn to CallPreviousProc + 1 instead of adding 1
    const char* trace;
    LRESULT result;
};

void PrintTo(const ModeCase& c, std::ostream* os) {
    *os << c.name;
}

class ModeTest : public MSubclassTest, public ::testing::WithParamInterface<ModeCase> {};

TEST_P(ModeTest, ListenersRunLatestFirstAndThePreviousProcedureWhereTheFirstModeSays) {
    const ModeCase& c = GetParam();
    A.action = [&](bool&, LRESULT& lReturn, HWND hWnd, UINT uMsg) {
        lReturn = c.aCallsPrevious ? MSubclass::CallPreviousProc(hWnd, uMsg, 0, 0) + 1 : lReturn + 1;
    };
    B.action = [&](bool& stop, LRESULT& lReturn, HWND, UINT) {
        switch (c.b) {
        case BDoes::AddHundred:
            lReturn += 100;
            break;
        case BDoes::StopWithSeven:
            stop = true;
            lReturn = 7;
            break;
        case BDoes::Throw:
            throw AppError(AppError::kToolkitError, "test", "listener failed");
        }
    };
    MSubclass::HookMessage(A, window.hwnd(), Probe, c.modeA);
    if (c.modeB != 0) {
        MSubclass::HookMessage(B, window.hwnd(), Probe, c.modeB);
    }

    LRESULT result = 0;
    EXPECT_EQ(SendProbe(&result), c.trace);
    EXPECT_EQ(result, c.result);

    MSubclass::UnhookMessage(B, window.hwnd(), Probe);
    MSubclass::UnhookMessage(A, window.hwnd(), Probe);
}

INSTANTIATE_TEST_SUITE_P(
    Modes, ModeTest,
    ::testing::Values(
        // The previous procedure's result replaces what the listeners left.
        ModeCase{"BeforeBefore", HookBefore, HookBefore, BDoes::AddHundred, false, "B+0 A+100 prev", 42},
        ModeCase{"BeforeStopped", HookBefore, HookBefore, BDoes::StopWithSeven, false, "B+0 A-7", 8},
        ModeCase{"AfterAlone", HookAfter, 0, BDoes::AddHundred, false, "prev A-42", 43},
        ModeCase{"FirstAfterDecides", HookAfter, HookBefore, BDoes::AddHundred, false, "B+0 prev A-42", 43},
        ModeCase{"FirstBeforeDecides", HookBefore, HookAfter, BDoes::AddHundred, false, "B+0 A+100 prev", 42},
        ModeCase{"AfterStopped", HookAfter, HookBefore, BDoes::StopWithSeven, false, "B+0 A-7", 8},
        ModeCase{"OtherModeNeverCallsPrevious", 1, 0, BDoes::AddHundred, false, "A+0", 1},
        ModeCase{"OtherModeCallsPreviousItself", 1, 0, BDoes::AddHundred, true, "A+0 prev", 43},
        ModeCase{"ThrowingListenerIsPassedOver", HookBefore, HookBefore, BDoes::Throw, false, "B+0 A+0 prev", 42}),
    [](const ::testing::TestParamInfo<ModeCase>& info) { return std::string(info.param.name); });

TEST_F(MSubclassTest, ListenerMaySendToTheSameWindowFromItsCall) {
    A.action = [&](bool&, LRESULT&, HWND hWnd, UINT uMsg) {
        if (uMsg == Probe) {
            ::SendMessageW(hWnd, Probe2, 0, 0);
        }
    };
    MSubclass::HookMessage(A, window.hwnd(), Probe, HookBefore);
    MSubclass::HookMessage(A, window.hwnd(), Probe2, HookAfter);
    EXPECT_EQ(SendProbe(), "A+0 prev2 A-0 prev");
    MSubclass::UnhookMessage(A, window.hwnd(), Probe);
    MSubclass::UnhookMessage(A, window.hwnd(), Probe2);
}

// ---- Tables, withdrawal and the restored procedure ------------------------------------------------

TEST_F(MSubclassTest, TablesHoldTheKeyedEntriesAndVanishWithTheLastRegistration) {
    const HWND hwnd = window.hwnd();
    const std::string w = W(hwnd);
    const std::string m = std::to_string(Probe);
    const std::string m2 = std::to_string(Probe2);
    MSubclass::HookMessage(A, hwnd, Probe, HookBefore);
    MSubclass::HookMessage(B, hwnd, Probe, HookAfter);
    MSubclass::HookMessage(A, hwnd, Probe2, 3);

    EXPECT_NE(window.Procedure(), original);
    EXPECT_EQ(MSubclass::TableCount(), tablesBefore + 1);
    const std::map<std::string, LONG_PTR> expected{{w, original},
                                                   {"C" + w, 3},
                                                   {w + "#" + m + "C", 2},
                                                   {w + "#" + m + "#1", Address(A)},
                                                   {w + "#" + m + "R1", HookBefore},
                                                   {w + "#" + m + "#2", Address(B)},
                                                   {w + "#" + m + "R2", HookAfter},
                                                   {w + "#" + m2 + "C", 1},
                                                   {w + "#" + m2 + "#1", Address(A)},
                                                   {w + "#" + m2 + "R1", 3}};
    EXPECT_EQ(MSubclass::TableEntries(hwnd), expected);

    // Withdrawing the first listener moves the second into its place.
    MSubclass::UnhookMessage(A, hwnd, Probe);
    const std::map<std::string, LONG_PTR> afterFirst{{w, original},
                                                     {"C" + w, 2},
                                                     {w + "#" + m + "C", 1},
                                                     {w + "#" + m + "#1", Address(B)},
                                                     {w + "#" + m + "R1", HookAfter},
                                                     {w + "#" + m2 + "C", 1},
                                                     {w + "#" + m2 + "#1", Address(A)},
                                                     {w + "#" + m2 + "R1", 3}};
    EXPECT_EQ(MSubclass::TableEntries(hwnd), afterFirst);

    // Withdrawing what is not registered changes nothing.
    MSubclass::UnhookMessage(C, hwnd, Probe);
    MSubclass::UnhookMessage(A, hwnd, Probe);
    EXPECT_EQ(MSubclass::TableEntries(hwnd), afterFirst);

    MSubclass::UnhookMessage(A, hwnd, Probe2);
    EXPECT_NE(window.Procedure(), original);
    MSubclass::UnhookMessage(B, hwnd, Probe);
    EXPECT_EQ(window.Procedure(), original);
    EXPECT_TRUE(MSubclass::TableEntries(hwnd).empty());
    EXPECT_EQ(MSubclass::TableCount(), tablesBefore);
    EXPECT_EQ(SendProbe(), "prev");
}

TEST_F(MSubclassTest, WithdrawingTheMiddleListenerKeepsTheOrderOfTheOthers) {
    for (Listener* l : {&A, &B, &C}) {
        MSubclass::HookMessage(*l, window.hwnd(), Probe, HookBefore);
    }
    MSubclass::UnhookMessage(B, window.hwnd(), Probe);
    EXPECT_EQ(SendProbe(), "C+0 A+0 prev");
    const auto entries = MSubclass::TableEntries(window.hwnd());
    const std::string key = W(window.hwnd()) + "#" + std::to_string(Probe);
    EXPECT_EQ(entries.at(key + "#1"), Address(A));
    EXPECT_EQ(entries.at(key + "#2"), Address(C));
    EXPECT_EQ(entries.count(key + "#3"), 0u);
    MSubclass::UnhookMessage(C, window.hwnd(), Probe);
    MSubclass::UnhookMessage(A, window.hwnd(), Probe);
    EXPECT_EQ(window.Procedure(), original);
}

TEST_F(MSubclassTest, OneListenerOnTwoWindowsHearsEachAndLetsGoOfEachAlone) {
    TestWindow second;
    const LONG_PTR secondOriginal = second.Procedure();
    MSubclass::HookMessage(A, window.hwnd(), Probe, HookBefore);
    MSubclass::HookMessage(A, second.hwnd(), Probe, HookBefore);
    window.Send(Probe);
    second.Send(Probe);
    EXPECT_EQ(A.windows, (std::vector<HWND>{window.hwnd(), second.hwnd()}));

    MSubclass::UnhookMessage(A, window.hwnd(), Probe);
    EXPECT_EQ(window.Procedure(), original);
    EXPECT_NE(second.Procedure(), secondOriginal);
    Trace().clear();
    window.Send(Probe);
    second.Send(Probe);
    EXPECT_EQ(Joined(Trace()), "prev A+0 prev");
    MSubclass::UnhookMessage(A, second.hwnd(), Probe);
    EXPECT_EQ(second.Procedure(), secondOriginal);
}

// ---- Withdrawal from inside a call ----------------------------------------------------------------

struct InsideCase {
    const char* name;
    int modes[3]; // of A, B, C in registration order; 0: not registered
    int actor;    // index of the listener that withdraws (0 = A)
    int target;   // index of the listener it withdraws
    const char* first;
    const char* second;
};

void PrintTo(const InsideCase& c, std::ostream* os) {
    *os << c.name;
}

class InsideTest : public MSubclassTest, public ::testing::WithParamInterface<InsideCase> {};

TEST_P(InsideTest, AWithdrawnListenerIsNotCalledAndTheOthersRunOnce) {
    const InsideCase& c = GetParam();
    Listener* listeners[] = {&A, &B, &C};
    // The target lives on the heap and is destroyed right after its withdrawal (unless it withdraws
    // itself): calling it later would touch freed memory.
    auto target = std::make_unique<Listener>(std::string(1, static_cast<char>('A' + c.target)));
    listeners[c.target] = target.get();
    bool withdrawn = false;
    listeners[c.actor]->action = [&](bool&, LRESULT&, HWND hWnd, UINT uMsg) {
        if (!withdrawn) {
            withdrawn = true;
            MSubclass::UnhookMessage(*listeners[c.target], hWnd, uMsg);
            if (c.actor != c.target) {
                target.reset();
            }
        }
    };
    for (int i = 0; i < 3; ++i) {
        if (c.modes[i] != 0) {
            MSubclass::HookMessage(*listeners[i], window.hwnd(), Probe, c.modes[i]);
        }
    }
    LRESULT result = 0;
    EXPECT_EQ(SendProbe(&result), c.first);
    EXPECT_EQ(result, 42);
    EXPECT_EQ(SendProbe(), c.second);

    for (int i = 0; i < 3; ++i) {
        if (i != c.target) {
            MSubclass::UnhookMessage(*listeners[i], window.hwnd(), Probe);
        }
    }
    EXPECT_EQ(window.Procedure(), original);
    EXPECT_EQ(MSubclass::TableCount(), tablesBefore);
}

INSTANTIATE_TEST_SUITE_P(
    Inside, InsideTest,
    ::testing::Values(
        // C withdraws A: the indices shift under the running dispatch, yet B runs once and A never.
        InsideCase{"LatestWithdrawsFirst", {HookBefore, HookBefore, HookBefore}, 2, 0, "C+0 B+0 prev", "C+0 B+0 prev"},
        InsideCase{"ListenerWithdrawsItself", {HookBefore, HookBefore, 0}, 1, 1, "B+0 A+0 prev", "A+0 prev"},
        // The window's last registration goes during its own dispatch.
        InsideCase{"LastRegistrationGoesInside", {HookBefore, 0, 0}, 0, 0, "A+0 prev", "prev"},
        // The previous procedure still runs at the withdrawn first listener's turn.
        InsideCase{"FirstAfterListenerWithdrawn", {HookAfter, HookBefore, 0}, 1, 0, "B+0 prev", "B+0 prev"}),
    [](const ::testing::TestParamInfo<InsideCase>& info) { return std::string(info.param.name); });

// ---- A window destroyed while hooked --------------------------------------------------------------

struct DestroyCase {
    const char* name;
    std::vector<UINT> messages;
    bool restoredBeforeItsOwnNcDestroy;
};

void PrintTo(const DestroyCase& c, std::ostream* os) {
    *os << c.name;
}

class DestroyTest : public MSubclassTest, public ::testing::WithParamInterface<DestroyCase> {};

TEST_P(DestroyTest, LeavesNoTableAndGetsItsProcedureBack) {
    const DestroyCase& c = GetParam();
    const HWND hwnd = window.hwnd();
    for (UINT message : c.messages) {
        MSubclass::HookMessage(A, hwnd, message, HookBefore);
    }
    procedureAtNcDestroy = 0;
    window.Destroy();

    EXPECT_FALSE(::IsWindow(hwnd));
    EXPECT_TRUE(MSubclass::TableEntries(hwnd).empty());
    EXPECT_EQ(MSubclass::TableCount(), tablesBefore);
    if (c.restoredBeforeItsOwnNcDestroy) {
        EXPECT_EQ(procedureAtNcDestroy, original);
    }
    for (UINT message : c.messages) {
        if (message == WM_DESTROY || message == WM_NCDESTROY) {
            EXPECT_NE(std::find(A.heard.begin(), A.heard.end(), message), A.heard.end()) << message;
        }
        // The listener's late withdrawal finds nothing and does nothing.
        MSubclass::UnhookMessage(A, hwnd, message);
    }
    EXPECT_EQ(MSubclass::TableCount(), tablesBefore);
}

INSTANTIATE_TEST_SUITE_P(
    Destroy, DestroyTest,
    ::testing::Values(DestroyCase{"NobodyHearsDestroy", {Probe}, true},
                      // Its listeners hear WM_DESTROY; the table goes at WM_NCDESTROY.
                      DestroyCase{"DestroyHasListeners", {WM_DESTROY, Probe}, true},
                      // Listeners of WM_NCDESTROY hear it only while the window is still hooked then.
                      DestroyCase{"NcDestroyHasListeners", {WM_DESTROY, WM_NCDESTROY}, false}),
    [](const ::testing::TestParamInfo<DestroyCase>& info) { return std::string(info.param.name); });

// ---- Errors ---------------------------------------------------------------------------------------

TEST_F(MSubclassTest, RefusedRegistrationsRaiseTheirErrorAndChangeNothing) {
    TestWindow destroyed;
    const HWND gone = destroyed.hwnd();
    destroyed.Destroy();
    const HWND desktop = ::GetDesktopWindow();
    DWORD desktopProcess = 0;
    ::GetWindowThreadProcessId(desktop, &desktopProcess);
    ASSERT_NE(desktopProcess, ::GetCurrentProcessId()) << "the desktop window must belong to another process";

    MSubclass::HookMessage(A, window.hwnd(), Probe, HookBefore);
    const auto tables = MSubclass::TableEntries(window.hwnd());
    const size_t tableCount = MSubclass::TableCount();
    struct Case {
        const char* name;
        HWND hwnd;
        UINT message;
        int mode;
        uint32_t number;
        const char* description;
    };
    const Case cases[] = {
        {"AlreadyRegistered", window.hwnd(), Probe, HookAfter, 0x8004331Au, "Message already handled by another class"},
        {"DestroyedWindow", gone, Probe, HookBefore, 0x8004331Bu, "Invalid window"},
        {"OtherProcess", desktop, Probe, HookBefore, 0x8004331Cu, "Can't modify external window"},
        {"ModeZero", window.hwnd(), Probe2, 0, 5u, "Invalid procedure call or argument"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        try {
            MSubclass::HookMessage(A, c.hwnd, c.message, c.mode);
            ADD_FAILURE() << "no error";
        } catch (const AppError& e) {
            EXPECT_EQ(e.Number(), c.number);
            EXPECT_EQ(e.Source(), "winmsg_tests.WindowProc");
            EXPECT_EQ(e.Description(), c.description);
        }
        EXPECT_EQ(MSubclass::TableEntries(window.hwnd()), tables);
        EXPECT_EQ(MSubclass::TableCount(), tableCount);
    }
    EXPECT_EQ(SendProbe(), "A+0 prev");
    MSubclass::UnhookMessage(A, window.hwnd(), Probe);
    EXPECT_EQ(MSubclass::CallPreviousProc(window.hwnd(), Probe, 0, 0), 0) << "not subclassed any more";
}

} // namespace
