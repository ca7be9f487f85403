// Times a full redraw of the ruler: CreateRulers on a real window (the visible image, the shape's
// region built and applied), at a small, a full-HD and a 4K measured size, and one step of a resize
// drag. Beside each figure it times one fill of an existing canvas of the same size, measured in the
// same run, so that the ratio can be compared between machines; the steps of the redraw and of the
// straightforward renderer (the reference the tests hold the redraw to) are timed in the same run too.
// It prints figures only; nothing here passes or fails.
#include "draw/clsFontHDC.h"
#include "draw/clsMEMDC.h"
#include "draw/clsRegions.h"
#include "ruler/RulerDrawing.h"
#include "ruler/frmRulers.h"
#include "util/LocaleInfo.h"
#include "util/SettingsStore.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace {

constexpr int kWarmUp = 5;
constexpr int kRuns = 30;

// A store of its own, removed before and after the run, so no real settings are read or touched.
constexpr wchar_t kBenchApp[] = L"TrelvikBench";
constexpr wchar_t kBenchKey[] = L"Software\\TrelvikBench";

class BenchHost final : public RulerHost {
public:
    UnitChecks UnitCheckMarks() const override { return {}; } // pixels
    bool TransparencyChecked() const override { return false; }
    void OpenMenu(POINT) override {}
};

class Clock {
public:
    Clock() { ::QueryPerformanceFrequency(&frequency_); }
    [[nodiscard]] double Milliseconds(const std::function<void()>& work) const {
        LARGE_INTEGER start{}, end{};
        ::QueryPerformanceCounter(&start);
        work();
        ::QueryPerformanceCounter(&end);
        return 1000.0 * static_cast<double>(end.QuadPart - start.QuadPart) / static_cast<double>(frequency_.QuadPart);
    }

private:
    LARGE_INTEGER frequency_{};
};

struct Figures {
    double median = 0;
    double p90 = 0;
};

// Nearest-rank percentiles of the timed runs.
Figures Summarise(std::vector<double> samples) {
    std::sort(samples.begin(), samples.end());
    const auto rank = [&](double p) {
        const auto index = static_cast<size_t>(p * static_cast<double>(samples.size()) + 0.999999) - 1;
        return samples[std::min(index, samples.size() - 1)];
    };
    return {rank(0.5), rank(0.9)};
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

struct Size {
    int measuredWidth, measuredHeight;
};

struct Row {
    std::string size;
    Figures total, resize, floor;
    Figures image, shape, region;                   // the window's redraw path, step by step
    Figures refImage, refMask, refRegion, refTotal; // the straightforward path, for comparison
};

void PrintRows(const std::vector<Row>& rows) {
    std::printf("CreateRulers on a shown ruler window: the image painted, the shape's region built and applied.\n");
    std::printf("Median and 90th percentile of %d runs after %d warm-up runs, in milliseconds.\n", kRuns, kWarmUp);
    std::printf("  resize: one step of a drag (SetWindowPos, 4 px wider and 2 px higher each time, redrawn\n");
    std::printf("          through WM_SIZE); floor: one fill of an existing canvas of the window's size.\n\n");
    std::printf("%-21s %14s %14s %8s %7s\n", "measured (window)", "CreateRulers", "resize", "floor", "ratio");
    for (const Row& r : rows) {
        std::printf("%-21s %6.2f /%6.2f %6.2f /%6.2f %8.3f %6.1fx\n", r.size.c_str(), r.total.median, r.total.p90,
                    r.resize.median, r.resize.p90, r.floor.median, r.total.median / r.floor.median);
    }
    std::printf("\nSteps (medians, ms). Redraw path: image painted over the kept bitmap, the shape's runs from its\n");
    std::printf("parts, the region built and applied. Straightforward path (the reference renderer): image and\n");
    std::printf("mask on fresh canvases, the region read from the whole mask and built in one ExtCreateRegion.\n\n");
    std::printf("%-21s %7s %7s %7s | %7s %7s %7s %7s\n", "measured (window)", "image", "shape", "region", "image",
                "mask", "region", "total");
    for (const Row& r : rows) {
        std::printf("%-21s %7.2f %7.2f %7.2f | %7.2f %7.2f %7.2f %7.2f\n", r.size.c_str(), r.image.median,
                    r.shape.median, r.region.median, r.refImage.median, r.refMask.median, r.refRegion.median,
                    r.refTotal.median);
    }
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
    row.total = Measure(
        clock, [&] { ruler.CreateRulers(); }, pump);

    int step = 0;
    row.resize = Measure(
        clock, [&] { ++step, ::SetWindowPos(hwnd, nullptr, 0, 0, w + 4 * step, h + 2 * step, kSizeOnly); }, pump);
    ::SetWindowPos(hwnd, nullptr, 0, 0, w, h, kSizeOnly);
    pump();

    // What CreateRulers reads from the window.
    RulerLook look;
    look.width = client.right;
    look.height = client.bottom;
    look.pixelsPerInchX = look.pixelsPerInchY = look.dpi = ruler.Dpi();
    look.decimalSeparator = UserDecimalSeparator();

    UniqueBitmap kept;
    row.image = Measure(clock, [&] { PaintRulerImageInto(kept, look); });
    std::optional<std::vector<RowRun>> runs;
    row.shape = Measure(clock, [&] { runs = RulerShapeRuns(look); });
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

    clsMEMDC canvas;
    canvas.CreateDC(client.right, client.bottom, TRANSPARENT);
    int fills = 0;
    // Alternating colours, so that no fill repeats the one before it.
    row.floor = Measure(clock, [&] { canvas.DrawBackColor((++fills & 1) ? RGB(255, 0, 0) : RGB(0, 0, 0)); });
    return row;
}

} // namespace

int main() {
    ::SetProcessDpiAwarenessContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2);
    ::RegDeleteTreeW(HKEY_CURRENT_USER, kBenchKey);
    const Clock clock;
    int status = 0;
    {
        const SettingsStore settings(kBenchApp, L"Settings");
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
