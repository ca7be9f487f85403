// The GDI handle holder against real GDI: which objects are alive (GetObjectType) after each member.
#include "draw/clsGdiHandle.h"

#include <gtest/gtest.h>

namespace {

HGDIOBJ NewBrush(COLORREF colour = RGB(10, 20, 30)) {
    return ::CreateSolidBrush(colour);
}

bool Alive(HGDIOBJ handle) {
    return ::GetObjectType(handle) != 0;
}

TEST(clsGdiHandle, ReplacingOrEndingDeletesTheHeldObject) {
    const HGDIOBJ first = NewBrush();
    const HGDIOBJ second = NewBrush(RGB(40, 50, 60));
    ASSERT_TRUE(first && second);
    {
        clsGdiHandle holder;
        EXPECT_EQ(holder.Handle(), nullptr); // created empty
        holder.Handle(first);
        holder.Handle(second); // the first goes
        EXPECT_FALSE(Alive(first));
        EXPECT_TRUE(Alive(second));
        EXPECT_EQ(holder.Handle(), second);
        holder.Handle(second); // the same handle again: still alive, still held
        EXPECT_TRUE(Alive(second));
        EXPECT_EQ(holder.Handle(), second);
    }
    EXPECT_FALSE(Alive(second)); // the holder's end deletes it
}

TEST(clsGdiHandle, ReleasedHandleOutlivesTheHolder) {
    const HGDIOBJ brush = NewBrush();
    ASSERT_TRUE(brush);
    HGDIOBJ released = nullptr;
    {
        clsGdiHandle holder;
        holder.Handle(brush);
        released = holder.ReleaseHandle();
        EXPECT_EQ(holder.Handle(), nullptr);
        EXPECT_EQ(holder.ReleaseHandle(), nullptr); // nothing left to give
    }
    EXPECT_EQ(released, brush);
    EXPECT_TRUE(Alive(brush));
    ::DeleteObject(brush);
}

TEST(clsGdiHandle, DestroyDeletesOnceAndIsHarmlessWhenEmpty) {
    clsGdiHandle holder;
    holder.Destroy(); // empty: nothing happens
    EXPECT_EQ(holder.Handle(), nullptr);
    const HGDIOBJ brush = NewBrush();
    holder.Handle(brush);
    holder.Destroy();
    EXPECT_FALSE(Alive(brush));
    EXPECT_EQ(holder.Handle(), nullptr);
    // A new object of the process may get the old handle value: a second Destroy must not delete it.
    const HGDIOBJ other = NewBrush();
    holder.Destroy();
    EXPECT_TRUE(Alive(other));
    ::DeleteObject(other);
}

} // namespace
