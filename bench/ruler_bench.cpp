// Times a full redraw of the ruler: CreateRulers on a real window (the visible image, the shape's
// region built and applied), at a small, a full-HD and a 4K measured size, and one step of a resize
// drag. Beside each figure it times the platform's floor for the same redraw in the same run: the
// region CreateRulers made applied again (a prebuilt copy) and a prebuilt image of the window's size
// copied onto the window once, so that the ratio says how close the redraw comes to what the platform
// allows. The steps of the redraw and of the straightforward renderer (the reference the tests hold
// the redraw to) are timed in the same run too. It prints figures only; nothing here passes or fails.
#include "BenchTiming.h"
#include "draw/clsFontHDC.h"
#include "draw/clsMEMDC.h"
#include "draw/clsRegions.h"
#include "ruler/RulerDrawing.h"
#include "ruler/frmRulers.h"
#include "util/LocaleInfo.h"
#include "util/SettingsStore.h"

// The straightforward renderer of the tests, header-only.
#include "../tests/support/RulerReference.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace {

constexpr int kWarmUp = 5;
constexpr int kRuns = 50;

// A store of its own, removed before and after the run, so no real settings are read or touched.
constexpr wchar_t kBenchApp[] = L"TrelvikBench";
constexpr wchar_t kBenchKey[] = L"Software\\TrelvikBench";

class BenchHost final : public RulerHost {
public:
    UnitChecks UnitCheckMarks() const override { return {}; } // pixels
    bool TransparencyChecked() const override { return false; }
    void OpenMenu(POINT) override {}
};

// Times the works of a benchmark run.
class Clock {
public:
    [[nodiscard]] double Milliseconds(const std::function<void()>& work) const { return bench::TimeMs(work); }
};

struct Figures {
    double median = 0;
    double p90 = 0;
};

// Nearest-rank percentiles of the timed runs.
Figures Summarise(const std::vector<double>& samples) {
    return {bench::Percentile(samples, 0.5), bench::Percentile(samples, 0.9)};
}

// Runs `work` kWarmUp times untimed, then kRuns times timed; `between` runs untimed after each one
// (the window's queued repaint, so that it does not pile up into the next run).
Figures Measure(const Clock& clock, const std::function<void()>& work, const std::function<void()>& between = {}) {
    for (int i = 0; i < kWarmUp; ++i) {
        work();
        if (between) {
            between();
        }
    }
    std::vector<double> samples;
    samples.reserve(kRuns);
    for (int i = 0; i < kRuns; ++i) {
        samples.push_back(clock.Milliseconds(work));
        if (between) {
            between();
        }
    }
    return Summarise(std::move(samples));
}

// The same for several works taking turns, run for run, so that all see the same load of the machine
// and their ratios hold even when that load changes during the run. One result per work.
std::vector<Figures> MeasureInTurns(const Clock& clock, const std::vector<std::function<void()>>& works,
                                    const std::function<void()>& between) {
    std::vector<std::vector<double>> samples(works.size());
    for (int i = 0; i < kWarmUp + kRuns; ++i) {
        for (size_t k = 0; k < works.size(); ++k) {
            const double ms = clock.Milliseconds(works[k]);
            between();
            if (i >= kWarmUp) {
                samples[k].push_back(ms);
            }
        }
    }
    std::vector<Figures> figures;
    for (std::vector<double>& s : samples) {
        figures.push_back(Summarise(std::move(s)));
    }
    return figures;
}

struct Size {
    int measuredWidth, measuredHeight;
};

struct Row {
    std::string size;
    Figures total, redraw, floor, resize;
    Figures image, shape, region;                   // the window's redraw path, step by step
    Figures refImage, refMask, refRegion, refTotal; // the straightforward path, for comparison
};

void PrintRows(const std::vector<Row>& rows) {
    std::printf("CreateRulers on a shown ruler window: the image painted, the shape's region built and applied.\n");
    std::printf("Median and 90th percentile of %d runs after %d warm-up runs, in milliseconds.\n", kRuns, kWarmUp);
    std::printf("  redraw: CreateRulers and the WM_PAINT it asks for (the image copied onto the window);\n");
    std::printf("  floor:  the platform's part of that redraw: SetWindowRgn with a prebuilt copy of the region\n");
    std::printf("          CreateRulers made, and one BitBlt of a prebuilt image of the window's size onto it;\n");
    std::printf("  ratio:  redraw / floor (medians); CreateRulers, redraw and floor take turns run for run;\n");
    std::printf("  resize: one step of a drag (SetWindowPos, 4 px wider and 2 px higher each time, redrawn\n");
    std::printf("          through WM_SIZE; its WM_PAINT is not timed).\n\n");
    std::printf("%-21s %14s %14s %14s %7s %14s\n", "measured (window)", "CreateRulers", "redraw", "floor", "ratio",
                "resize");
    for (const Row& r : rows) {
        std::printf("%-21s %6.2f /%6.2f %6.2f /%6.2f %6.2f /%6.2f %6.1fx %6.2f /%6.2f\n", r.size.c_str(),
                    r.total.median, r.total.p90, r.redraw.median, r.redraw.p90, r.floor.median, r.floor.p90,
                    r.redraw.median / r.floor.median, r.resize.median, r.resize.p90);
    }
    std::printf("\nSteps (medians, ms), each again at the window's size as CreateRulers above. Redraw path: the\n");
    std::printf("kept image painted over, the shape's runs from its parts (the corner and the edges kept from\n");
    std::printf("the last run, the readout drawn), the region built and applied. Straightforward path (the\n");
    std::printf("reference renderer): image and mask on fresh canvases, the region read from the whole mask\n");
    std::printf("and built in one ExtCreateRegion.\n\n");
    std::printf("%-21s %7s %7s %7s | %7s %7s %7s %7s\n", "measured (window)", "image", "shape", "region", "image",
                "mask", "region", "total");
    for (const Row& r : rows) {
        std::printf("%-21s %7.2f %7.2f %7.2f | %7.2f %7.2f %7.2f %7.2f\n", r.size.c_str(), r.image.median,
                    r.shape.median, r.region.median, r.refImage.median, r.refMask.median, r.refRegion.median,
                    r.refTotal.median);
    }
}

// CreateRulers alone (its repaint left queued, as the window system would run it), the redraw the
// user sees (CreateRulers and its WM_PAINT, which copies the image onto the window), and the
// platform's floor of that redraw, run for run in turns: a copy of the region CreateRulers made (made
// untimed, between the runs) set with SetWindowRgn as CreateRulers sets its own, and a prebuilt image
// of the window's size copied onto the window once.
void MeasureRedrawAndFloor(const Clock& clock, frmRulers& ruler, HBITMAP image, SIZE size, Row& row) {
    const HWND hwnd = ruler.hwnd();
    ruler.CreateRulers();
    PumpPendingMessages();
    const UniqueRegion shape(::CreateRectRgn(0, 0, 0, 0));
    if (::GetWindowRgn(hwnd, shape.get()) == ERROR) {
        return;
    }
    UniqueRegion copy;
    const auto between = [&] {
        PumpPendingMessages();
        copy.reset(::CreateRectRgn(0, 0, 0, 0));
        ::CombineRgn(copy.get(), shape.get(), nullptr, RGN_COPY);
    };
    const UniqueMemoryDC source(::CreateCompatibleDC(nullptr));
    const SelectGuard select(source.get(), image);
    between();
    const std::vector<Figures> figures =
        MeasureInTurns(clock,
                       {[&] { ruler.CreateRulers(); },
                        [&] {
                            ruler.CreateRulers();
                            ::UpdateWindow(hwnd);
                        },
                        [&] {
                            if (::SetWindowRgn(hwnd, copy.get(), TRUE) != 0) {
                                (void)copy.release(); // the window's now
                            }
                            const WindowDC window(hwnd);
                            ::BitBlt(window.get(), 0, 0, size.cx, size.cy, source.get(), 0, 0, SRCCOPY);
                        }},
                       between);
    row.total = figures[0];
    row.redraw = figures[1];
    row.floor = figures[2];
}

Row MeasureSize(const Clock& clock, frmRulers& ruler, Size size) {
    const HWND hwnd = ruler.hwnd();
    const int w = size.measuredWidth + ruler.BarSize();
    const int h = size.measuredHeight + ruler.BarSize();
    constexpr UINT kSizeOnly = SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE;
    const auto pump = [] { PumpPendingMessages(); };
    // The size change itself draws the ruler once (WM_SIZE).
    ::SetWindowPos(hwnd, nullptr, 0, 0, w, h, SWP_NOZORDER | SWP_NOACTIVATE);
    pump();
    RECT client{};
    ::GetClientRect(hwnd, &client);

    Row row;
    char label[48];
    std::snprintf(label, sizeof(label), "%dx%d (%ldx%ld)", size.measuredWidth, size.measuredHeight, client.right,
                  client.bottom);
    row.size = label;

    // What CreateRulers reads from the window.
    RulerLook look;
    look.width = client.right;
    look.height = client.bottom;
    look.pixelsPerInchX = look.pixelsPerInchY = look.dpi = ruler.Dpi();
    look.decimalSeparator = UserDecimalSeparator();
    RulerImage kept;
    kept.Paint(look);

    MeasureRedrawAndFloor(clock, ruler, kept.bitmap(), kept.size(), row);
    ruler.CreateRulers(); // the floor's last region was a copy of the window's own: put the window's back
    pump();

    int step = 0;
    row.resize = Measure(
        clock, [&] { ++step, ::SetWindowPos(hwnd, nullptr, 0, 0, w + 4 * step, h + 2 * step, kSizeOnly); }, pump);
    ::SetWindowPos(hwnd, nullptr, 0, 0, w, h, kSizeOnly);
    pump();

    row.image = Measure(clock, [&] { kept.Paint(look); });
    std::optional<std::vector<RowRun>> runs;
    RulerShape shape;
    row.shape = Measure(clock, [&] { runs = shape.Runs(look); });
    row.region = Measure(
        clock, [&] { (void)clsRegions().RegionFromRuns(*runs, look.width, hwnd); }, pump);

    const clsRegions reference(&ScanRowRuns, &BuildRegionFromRuns);
    row.refImage = Measure(clock, [&] {
        clsMEMDC canvas;
        PaintRulerImage(canvas, look);
    });
    row.refMask = Measure(clock, [&] {
        clsMEMDC canvas;
        PaintRulerMask(canvas, look);
        const ::Picture mask = canvas.Picture();
    });
    clsMEMDC maskCanvas;
    PaintRulerMask(maskCanvas, look);
    const ::Picture mask = maskCanvas.Picture();
    row.refRegion = Measure(
        clock, [&] { (void)reference.RegionFromBitmap(mask.bitmap(), hwnd, MaskCutColor, false, 0, 0, 0, 0); }, pump);
    row.refTotal = Measure(
        clock,
        [&] {
            clsMEMDC canvas;
            PaintRulerImage(canvas, look);
            const UniqueBitmap image(canvas.ReleasehBmp());
            PaintRulerMask(canvas, look);
            const ::Picture picture = canvas.Picture();
            (void)reference.RegionFromBitmap(picture.bitmap(), hwnd, MaskCutColor, false, 0, 0, 0, 0);
        },
        pump);

    return row;
}

} // namespace

int main() {
    ::SetProcessDpiAwarenessContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2);
    ::RegDeleteTreeW(HKEY_CURRENT_USER, kBenchKey);
    const Clock clock;
    int status = 0;
    {
        SettingsStore settings(kBenchApp, L"Settings");
        BenchHost host;
        frmRulers ruler(host, settings);
        if (ruler.Load()) {
            ruler.Show();
            std::vector<Row> rows;
            for (const Size size : {Size{390, 290}, Size{1920, 1080}, Size{3840, 2160}}) {
                rows.push_back(MeasureSize(clock, ruler, size));
            }
            PrintRows(rows);
        } else {
            std::fprintf(stderr, "ruler_bench: the ruler window could not be created\n");
            status = 1;
        }
        ruler.Unload();
    }
    ::RegDeleteTreeW(HKEY_CURRENT_USER, kBenchKey);
    return status;
}
