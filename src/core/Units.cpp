#include "core/Units.h"

#include <charconv>
#include <cmath>

ScaleUnit CurrentUnit(const UnitChecks& checks) {
    if (checks.points) {
        return ScaleUnit::Points;
    }
    if (checks.inches) {
        return ScaleUnit::Inches;
    }
    if (checks.centimeters) {
        return ScaleUnit::Centimeters;
    }
    if (checks.millimeters) {
        return ScaleUnit::Millimeters;
    }
    return ScaleUnit::Pixels;
}

const wchar_t* UnitSuffix(ScaleUnit unit) {
    switch (unit) {
    case ScaleUnit::Points:
        return L"pt";
    case ScaleUnit::Inches:
        return L"in";
    case ScaleUnit::Centimeters:
        return L"cm";
    case ScaleUnit::Millimeters:
        return L"mm";
    case ScaleUnit::Pixels:
        break;
    }
    return L"px";
}

double LabelledStep(ScaleUnit unit) {
    switch (unit) {
    case ScaleUnit::Inches:
    case ScaleUnit::Centimeters:
        return 1.0;
    case ScaleUnit::Millimeters:
        return 10.0;
    case ScaleUnit::Points:
    case ScaleUnit::Pixels:
        break;
    }
    return 100.0;
}

namespace {

// How many units make one inch; 0 marks Pixels, which does not go through inches at all.
double UnitsPerInch(ScaleUnit unit) {
    switch (unit) {
    case ScaleUnit::Points:
        return 72.0;
    case ScaleUnit::Inches:
        return 1.0;
    case ScaleUnit::Centimeters:
        return 2.54;
    case ScaleUnit::Millimeters:
        return 25.4;
    case ScaleUnit::Pixels:
        break;
    }
    return 0.0;
}

// Fixed-notation text of a value with the given number of decimals, the '.' replaced by the user's
// separator. to_chars is used because it ignores the C locale and rounds the exact binary value.
std::wstring FixedText(double value, int decimals, wchar_t decimalSeparator) {
    char buffer[400]; // enough for any finite double in fixed notation with two decimals
    const auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
    if (error != std::errc{}) {
        return {};
    }
    std::wstring text;
    text.reserve(static_cast<size_t>(end - buffer));
    for (const char* p = buffer; p != end; ++p) {
        text.push_back(*p == '.' ? decimalSeparator : static_cast<wchar_t>(*p));
    }
    // A tiny negative value that rounds to zero would otherwise read "-0.00".
    if (text.front() == L'-' && text.find_first_not_of(std::wstring(L"-0") + decimalSeparator) == std::wstring::npos) {
        text.erase(0, 1);
    }
    return text;
}

} // namespace

float PixelsToUnit(double pixels, ScaleUnit unit, double pixelsPerInch) {
    const double perInch = UnitsPerInch(unit);
    if (perInch == 0.0) {
        return static_cast<float>(pixels);
    }
    return static_cast<float>(pixels * perInch / pixelsPerInch);
}

float UnitToPixels(double value, ScaleUnit unit, double pixelsPerInch) {
    const double perInch = UnitsPerInch(unit);
    if (perInch == 0.0) {
        return static_cast<float>(value);
    }
    return static_cast<float>(value * pixelsPerInch / perInch);
}

std::vector<Tick> WalkScale(ScaleUnit unit, int lengthPixels, double pixelsPerInch, int barSize) {
    std::vector<Tick> ticks;
    const float length = PixelsToUnit(lengthPixels, unit, pixelsPerInch);
    // A zero or negative resolution would make the walk endless or meaningless.
    if (!std::isfinite(length) || (unit != ScaleUnit::Pixels && !(pixelsPerInch > 0.0))) {
        return ticks;
    }
    // Ten ticks to each labelled step: a major one with the label, a medium one halfway, minor ones
    // between.
    constexpr int kTicksPerLabel = 10;
    constexpr int kMediumTick = kTicksPerLabel / 2;
    const double step = LabelledStep(unit) / kTicksPerLabel;
    double value = 0.0;
    int index = 0;
    // Repeated addition on purpose: the labels are drawn from the accumulated value, and the ticks'
    // pixel positions follow it as well.
    while (value <= length) {
        const float offset = UnitToPixels(value, unit, pixelsPerInch);
        const int position = static_cast<int>(std::lrint(offset + static_cast<float>(barSize)));
        const TickKind kind = index == 0 ? TickKind::Major : index == kMediumTick ? TickKind::Medium : TickKind::Minor;
        ticks.push_back(Tick{position, kind, offset, value});
        value += step;
        index = (index + 1) % kTicksPerLabel;
    }
    return ticks;
}

std::wstring FormatLabel(double value) {
    return FixedText(std::nearbyint(value), 0, L'.');
}

std::wstring ReadoutText(int windowWidth, int windowHeight, ScaleUnit unit, double ppiX, double ppiY,
                         wchar_t decimalSeparator, int barSize) {
    const float width = PixelsToUnit(static_cast<double>(windowWidth) - barSize, unit, ppiX);
    const float height = PixelsToUnit(static_cast<double>(windowHeight) - barSize, unit, ppiY);
    return FixedText(width, 2, decimalSeparator) + L'x' + FixedText(height, 2, decimalSeparator) + L' ' +
           UnitSuffix(unit);
}
