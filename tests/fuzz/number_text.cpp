// The settings number text: any text parses or is refused, a setting is always inside the 16-bit
// range, and the text written for any single-precision value reads back within its precision.
#include "FuzzCheck.h"
#include "core/NumberText.h"

#include <cmath>
#include <cstring>
#include <optional>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) {
        return 0;
    }
    static constexpr wchar_t kSeparators[] = {L'.', L',', L'\u066B', L' '};
    const wchar_t separator = kSeparators[data[0] % 4];
    const std::span<const uint8_t> input(data + 1, size - 1);
    const std::wstring text = WidenBytes(input);

    const std::optional<double> number = ParseLocaleNumber(text, separator);
    const std::optional<int> setting = ParseSettingInt(text, separator);
    if (number) {
        FUZZ_CHECK(std::isfinite(*number));
    }
    if (setting) {
        FUZZ_CHECK(number.has_value());
        FUZZ_CHECK(*setting >= -32768 && *setting <= 32767);
        FUZZ_CHECK(std::fabs(*number - *setting) <= 0.5);
    }

    if (input.size() >= 4) {
        float value = 0;
        std::memcpy(&value, input.data(), sizeof value);
        const std::wstring written = FormatSingle(value, separator);
        const std::optional<double> back = ParseLocaleNumber(written, separator);
        if (std::isfinite(value) && separator != L' ') {
            FUZZ_CHECK(back.has_value());
            FUZZ_CHECK(std::fabs(*back - value) <= 1e-6 * std::fabs(value));
        } else if (!std::isfinite(value)) {
            FUZZ_CHECK(written.empty() && !back.has_value());
        }
    }
    return 0;
}
