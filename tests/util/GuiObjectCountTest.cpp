// The leak tests' counters see what they are meant to count: each kind of object they watch makes
// the count one larger while it lives and no larger once it is gone.
#include "support/GdiCount.h"
#include "util/Handles.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

struct Case {
    const char* what;
    std::function<void()> createAndDestroy; // checks the count while the object lives
};

TEST(GuiObjectCount, CountsEachUserObjectWhileItLives) {
    // A top-level window brings the thread's input-method window with it (Wine makes one while any
    // top-level window lives): keep one alive so that each case counts only its own objects.
    const UniqueWindow host(
        ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr));
    ASSERT_NE(host.get(), nullptr);
    const auto expectOneMore = [](const char* what, uint32_t before) {
        EXPECT_EQ(LiveUserObjectCount(), before + 1) << what;
    };
    const Case cases[] = {
        {"child window",
         [&] {
             const uint32_t before = LiveUserObjectCount();
             HWND child =
                 ::CreateWindowExW(0, L"STATIC", L"", WS_CHILD, 0, 0, 5, 5, host.get(), nullptr, nullptr, nullptr);
             ASSERT_NE(child, nullptr);
             expectOneMore("child window", before);
             HWND grandchild =
                 ::CreateWindowExW(0, L"STATIC", L"", WS_CHILD, 0, 0, 2, 2, child, nullptr, nullptr, nullptr);
             EXPECT_EQ(LiveUserObjectCount(), before + 2) << "a child's child";
             ::DestroyWindow(grandchild);
             ::DestroyWindow(child);
         }},
        {"message-only window",
         [&] {
             const uint32_t before = LiveUserObjectCount();
             HWND window = ::CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
             ASSERT_NE(window, nullptr);
             expectOneMore("message-only window", before);
             ::DestroyWindow(window);
         }},
        {"popup menu",
         [&] {
             const uint32_t before = LiveUserObjectCount();
             HMENU menu = ::CreatePopupMenu();
             ASSERT_NE(menu, nullptr);
             expectOneMore("popup menu", before);
             ::DestroyMenu(menu);
         }},
        {"icon",
         [&] {
             const uint32_t before = LiveUserObjectCount();
             const BYTE andMask[4 * 32] = {};
             const BYTE xorMask[4 * 32] = {};
             HICON icon = ::CreateIcon(nullptr, 32, 32, 1, 1, andMask, xorMask);
             ASSERT_NE(icon, nullptr);
             expectOneMore("icon", before);
             ::DestroyIcon(icon);
         }},
    };
    for (const Case& c : cases) {
        const uint32_t before = LiveUserObjectCount();
        c.createAndDestroy();
        EXPECT_EQ(LiveUserObjectCount(), before) << c.what << " gone";
    }
}

TEST(GuiObjectCount, CountingLeavesNoGdiObjectBehind) {
    // Reading icons' bitmaps while counting must not leave copies behind.
    HICON icon = ::LoadIconW(nullptr, IDI_APPLICATION);
    ASSERT_NE(icon, nullptr);
    const uint32_t before = LiveGdiObjectCount();
    (void)LiveUserObjectCount();
    EXPECT_EQ(LiveGdiObjectCount(), before);
}

} // namespace
