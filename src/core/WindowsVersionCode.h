#pragma once
// The Windows version as a small code, from the platform id and version numbers the system reports:
//  0 unknown            1 Win32s            2 Windows CE
//  3 Windows 95 (9x .0) 4 Windows 98 (9x .10) 5 Windows ME (9x minor above 10)
//  6 NT 3.x             7 NT 4              8 Windows 2000 (5.0)
//  9 Windows XP (5.1)   10 Server 2003 (5.2) 11 Vista and later (major above 5)
// Code 8 and above is what layered (semi-transparent) windows need.

// Platform ids as the system reports them.
inline constexpr unsigned PlatformWin32s = 0;
inline constexpr unsigned PlatformWindows9x = 1;
inline constexpr unsigned PlatformNT = 2;
inline constexpr unsigned PlatformCE = 3;

// Maps a reported platform and version to the code above. Combinations outside the table (a 9x
// minor 1 to 9, NT 5.3 and later within major 5, NT below major 3, an unknown platform) give 0.
int WindowsVersionCodeFor(unsigned platformId, unsigned major, unsigned minor);
