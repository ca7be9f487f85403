#include "core/WindowsVersionCode.h"

int WindowsVersionCodeFor(unsigned platformId, unsigned major, unsigned minor) {
    switch (platformId) {
    case PlatformWin32s:
        return 1;
    case PlatformCE:
        return 2;
    case PlatformWindows9x:
        if (minor == 0) {
            return 3;
        }
        if (minor == 10) {
            return 4;
        }
        return minor > 10 ? 5 : 0;
    case PlatformNT:
        if (major == 3) {
            return 6;
        }
        if (major == 4) {
            return 7;
        }
        if (major == 5) {
            return minor <= 2 ? static_cast<int>(8 + minor) : 0;
        }
        return major > 5 ? 11 : 0;
    default:
        return 0;
    }
}
