#pragma once
// Measurement units of the ruler: which unit is current, how pixel distances convert into it, the
// tick pattern each scale walks, and the label and size-readout texts. Platform inputs (the menu's
// check marks, the screen's pixels per inch, the user's decimal separator) come in as parameters.
#include <string>
#include <vector>

// The values are the units' internal codes; they never leave the process.
enum class ScaleUnit { Points = 2, Pixels = 3, Inches = 5, Centimeters = 7, Millimeters = 6 };

// Thickness of the top and the left bar at 96 dots per inch (RulerMetricsAt gives it at other
// resolutions). Position 0 of each scale lies at this pixel of its axis and the measured size is the
// window size less this in each direction.
inline constexpr int RulerBarSize = 40;

// Check marks of the unit items of the tray menu. The Pixels item is deliberately absent: it is the
// fallback and its own mark is never consulted.
struct UnitChecks {
    bool points = false, inches = false, centimeters = false, millimeters = false;
};

// The first checked unit in the fixed order Points, Inches, Centimeters, Millimeters; Pixels when
// none of these is checked.
ScaleUnit CurrentUnit(const UnitChecks& checks);

// "pt", "px", "in", "cm" or "mm".
const wchar_t* UnitSuffix(ScaleUnit unit);

// The scale value between two labelled ticks: 100 for points and pixels, 1 for inches and
// centimetres, 10 for millimetres. The minor step is a tenth of it.
double LabelledStep(ScaleUnit unit);

// Converts a distance along one axis. pixelsPerInch is that axis's logical resolution; Pixels is the
// identity and ignores it. One inch is 72 points, 2.54 cm, 25.4 mm. Results are single precision.
float PixelsToUnit(double pixels, ScaleUnit unit, double pixelsPerInch);
float UnitToPixels(double value, ScaleUnit unit, double pixelsPerInch);

enum class TickKind { Major, Medium, Minor };

struct Tick {
    int position;  // pixel along the axis: offset + the bar's thickness, rounded half to even
    TickKind kind; // Major starts each cycle of ten (and carries a label), Medium is the sixth
    float offset;  // value converted to pixels (single precision), before the bar is added
    double value;  // scale value in the unit, as accumulated by repeated addition
};

// Walks one scale over a canvas of lengthPixels (the whole window side, bar included). The value
// starts at 0 and grows by repeated addition of the minor step while it does not exceed the whole
// length converted to the unit, so the last ticks fall beyond the canvas; the painter clips them.
// Position 0 lies at pixel barSize (the bar's thickness at the monitor's resolution).
// Returns no ticks when the length converts to a non-finite value (a resolution of 0 or less).
std::vector<Tick> WalkScale(ScaleUnit unit, int lengthPixels, double pixelsPerInch, int barSize = RulerBarSize);

// Tick label: the value rounded to a whole number (halves to even), without decimals. Accumulated
// values such as 0.9999999999999999 read "1"; a value that rounds to zero reads "0", never "-0".
std::wstring FormatLabel(double value);

// Size readout "<width>x<height> <suffix>", e.g. "390.00x290.00 px" for a 430 x 330 window: each
// side less the bar (barSize pixels thick: 40 at 96 dots per inch, 60 at 144, so that a 430 x 330
// window there reads "370.00x270.00 px"), converted with its axis's resolution and written with two
// decimals and the given decimal separator.
std::wstring ReadoutText(int windowWidth, int windowHeight, ScaleUnit unit, double ppiX, double ppiY,
                         wchar_t decimalSeparator, int barSize = RulerBarSize);
