#include "util/LocaleInfo.h"

#include <windows.h>

#include <iterator>

wchar_t UserDecimalSeparator() noexcept {
    wchar_t buffer[8]{};
    if (::GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_SDECIMAL, buffer, static_cast<int>(std::size(buffer))) > 1 &&
        buffer[0] != L'\0') {
        return buffer[0];
    }
    return L'.';
}
