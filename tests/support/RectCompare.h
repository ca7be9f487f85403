#pragma once
// Lets tests compare and print Win32 rectangles directly: EXPECT_EQ(window, (RECT{l, t, r, b})).
#include <windows.h>

#include <ostream>

inline bool operator==(const RECT& a, const RECT& b) {
    return ::EqualRect(&a, &b) != 0;
}
inline std::ostream& operator<<(std::ostream& out, const RECT& r) {
    return out << "(" << r.left << "," << r.top << ")-(" << r.right << "," << r.bottom << ")";
}
