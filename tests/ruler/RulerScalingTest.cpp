// The ruler at the common display scalings, with the resolution given to the drawing (and, for the
// window, sent as the system's resolution-change message) rather than taken from the machine: the
// ticks where they belong, labels that never touch a tick, the readout counting screen pixels, and a
// window that keeps its place and measured size when its monitor's resolution changes.
#include "draw/clsRegions.h"
#include "resource.h"
#include "ruler/DragBall.h"
#include "ruler/RulerDrawing.h"
#include "ruler/frmRulers.h"
#include "support/DibCanvas.h"
#include "support/RectCompare.h"
#include "support/RulerReference.h"
#include "support/TestSettings.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr COLORREF kFace = RGB(200, 200, 200);
constexpr COLORREF kTicks = RGB(0, 0, 255); // the foreground colour: ticks, end marks, readout
constexpr COLORREF kLabel = RGB(0, 0, 0);   // labels keep the canvas's initial text colour
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr int kDpis[] = {96, 120, 144, 192};

RulerLook LookAt(int dpi, int w, int h, ScaleUnit unit = ScaleUnit::Pixels) {
    RulerLook look;
    look.width = w;
    look.height = h;
    look.unit = unit;
    look.dpi = dpi;
    look.pixelsPerInchX = look.pixelsPerInchY = dpi;
    look.backColor = static_cast<int32_t>(kFace);
    look.foreColor = static_cast<int32_t>(kTicks);
    return look;
}

// The reference renderer's image, copied where its pixels can be read.
std::unique_ptr<DibCanvas> ImageOf(const RulerLook& look) {
    clsMEMDC canvas;
    PaintRulerImage(canvas, look);
    auto pixels = std::make_unique<DibCanvas>(look.width, look.height, kWhite);
    ::BitBlt(pixels->dc(), 0, 0, look.width, look.height, canvas.hDC(), 0, 0, SRCCOPY);
    return pixels;
}

// Where the ticks (or, with endMarks, the end marks) of both bars are, from the metrics alone: true
// for a line pixel.
std::vector<bool> LinePixels(const RulerLook& look, bool endMarks) {
    const RulerMetrics m = look.Metrics();
    const int w = look.width;
    const int h = look.height;
    std::vector<bool> on(static_cast<size_t>(w) * h, false);
    const auto set = [&](int x, int y) {
        if (x >= 0 && x < w && y >= 0 && y < h) {
            on[static_cast<size_t>(y) * w + x] = true;
        }
    };
    const auto start = [&](TickKind kind) {
        return kind == TickKind::Major ? m.majorStart : kind == TickKind::Medium ? m.mediumStart : m.minorStart;
    };
    if (endMarks) {
        for (int across = m.endMarkFrom; across < m.endMarkTo; ++across) {
            for (const int back : {m.endMarkNear, m.endMarkFar}) {
                set(w - back, across);
                set(across, h - back);
            }
        }
        return on;
    }
    for (const Tick& t : WalkScale(look.unit, w, look.pixelsPerInchX, m.bar)) {
        for (int across = start(t.kind); across < m.bar; ++across) {
            set(t.position, across);
        }
    }
    for (const Tick& t : WalkScale(look.unit, h, look.pixelsPerInchY, m.bar)) {
        for (int across = start(t.kind); across < m.bar; ++across) {
            set(across, t.position);
        }
    }
    return on;
}

// Every label of both bars drawn alone, black on white, in the ruler's font where the metrics put it.
std::unique_ptr<DibCanvas> LabelsOf(const RulerLook& look) {
    const RulerMetrics m = look.Metrics();
    auto labels = std::make_unique<DibCanvas>(look.width, look.height, kWhite);
    const UniqueFont font = CreateRulerFont(look);
    const SelectGuard select(labels->dc(), font.get());
    ::SetBkMode(labels->dc(), TRANSPARENT);
    const auto text = [&](double value, int x, int y) {
        const std::wstring label = FormatLabel(value);
        ::TextOutW(labels->dc(), x, y, label.c_str(), static_cast<int>(label.size()));
    };
    for (const Tick& t : WalkScale(look.unit, look.width, look.pixelsPerInchX, m.bar)) {
        if (t.kind == TickKind::Major) {
            text(t.value, static_cast<int>(std::lrint(static_cast<float>(m.bar) + t.offset + m.topLabelOffset)),
                 m.topLabelRow);
        }
    }
    for (const Tick& t : WalkScale(look.unit, look.height, look.pixelsPerInchY, m.bar)) {
        if (t.kind == TickKind::Major) {
            text(t.value, m.leftLabelColumn, static_cast<int>(std::lrint(static_cast<float>(m.bar) + t.offset)));
        }
    }
    return labels;
}

class RulerAtScaling : public ::testing::TestWithParam<int> {};

// A window high and wide enough for four-digit labels on both bars, in pixels and millimetres.
TEST_P(RulerAtScaling, TicksInPlaceAndNoLabelPixelTouchesATick) {
    const int dpi = GetParam();
    for (const ScaleUnit unit : {ScaleUnit::Pixels, ScaleUnit::Millimeters}) {
        SCOPED_TRACE(testing::Message() << dpi << " dpi, unit " << static_cast<int>(unit));
        const RulerLook look = LookAt(dpi, 1200, 1200, unit);
        const RulerMetrics m = look.Metrics();
        const auto image = ImageOf(look);
        const std::vector<bool> ticks = LinePixels(look, false);
        const std::vector<bool> endMarks = LinePixels(look, true);
        const auto labels = LabelsOf(look);
        const int w = look.width;
        const int h = look.height;
        const auto tickAt = [&](int x, int y) {
            return x >= 0 && x < w && y >= 0 && y < h && ticks[static_cast<size_t>(y) * w + x];
        };
        const auto endMarkAt = [&](int x, int y) { return endMarks[static_cast<size_t>(y) * w + x]; };

        // The bars are m.bar thick and every tick and end mark is drawn where the metrics say, no longer.
        EXPECT_NE(image->pixel(w / 2 + 5, m.bar - 1), kFace);
        EXPECT_EQ(image->pixel(w / 2 + 5, m.bar), kFace) << "the inner area below the top bar";
        int tickPixels = 0;
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                if (tickAt(x, y) || endMarkAt(x, y)) {
                    ++tickPixels;
                    ASSERT_EQ(image->pixel(x, y), kTicks) << "tick pixel " << x << "," << y;
                } else if (x >= m.bar || y >= m.bar) {
                    // Elsewhere in the bars the foreground colour is only the readout's (inner area).
                    if (x < m.bar || y < m.bar) {
                        ASSERT_NE(image->pixel(x, y), kTicks) << "stray line pixel " << x << "," << y;
                    }
                }
            }
        }
        EXPECT_GT(tickPixels, 0);

        // The labels: each glyph pixel where the label was drawn alone, not on a tick nor next to one,
        // and black in the image too; no black pixel in the image that is not a label's. (The last label
        // may run under the end marks, which are drawn after it, at some widths, as at 96 dots per inch.)
        int labelPixels = 0;
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                const bool label = labels->pixel(x, y) == kLabel;
                if (!label) {
                    ASSERT_NE(image->pixel(x, y), kLabel) << "black pixel outside the labels " << x << "," << y;
                    continue;
                }
                ++labelPixels;
                for (int dy = -1; dy <= 1; ++dy) {
                    for (int dx = -1; dx <= 1; ++dx) {
                        ASSERT_FALSE(tickAt(x + dx, y + dy))
                            << "label pixel " << x << "," << y << " touches the tick pixel " << x + dx << "," << y + dy;
                    }
                }
                if (!endMarkAt(x, y)) {
                    ASSERT_EQ(image->pixel(x, y), kLabel) << "label pixel " << x << "," << y;
                }
            }
        }
        EXPECT_GT(labelPixels, 0);
    }
}

TEST_P(RulerAtScaling, ReadoutCountsScreenPixelsInAFontThatGrowsWithTheBars) {
    const int dpi = GetParam();
    const RulerLook look = LookAt(dpi, 430, 330);
    const RulerMetrics m = look.Metrics();
    // 430 x 330 less bars of 40, 50, 60 and 80 pixels.
    const std::wstring expected = dpi == 96    ? L"390.00x290.00 px"
                                  : dpi == 120 ? L"380.00x280.00 px"
                                  : dpi == 144 ? L"370.00x270.00 px"
                                               : L"350.00x250.00 px";
    EXPECT_EQ(RulerReadout(look), expected);

    // Its glyphs lie right- and bottom-aligned in the window less the scaled margins.
    const auto image = ImageOf(look);
    int left = look.width, top = look.height, right = -1, bottom = -1;
    for (int y = m.bar; y < look.height - 1; ++y) {
        for (int x = m.bar; x < look.width - 1; ++x) {
            if (image->pixel(x, y) == kTicks) {
                left = std::min(left, x), top = std::min(top, y), right = std::max(right, x + 1);
                bottom = std::max(bottom, y + 1);
            }
        }
    }
    ASSERT_GE(right, 0) << "no readout drawn";
    const RECT box = RulerReadoutBox(look);
    EXPECT_EQ(box.right, look.width - m.readoutMarginX);
    EXPECT_EQ(box.bottom, look.height - m.readoutMarginY);
    EXPECT_LE(right, box.right);
    EXPECT_GE(right, box.right - m.readoutMarginX) << "right-aligned";
    EXPECT_LE(bottom, box.bottom);
    EXPECT_GE(bottom, box.bottom - m.bar / 5) << "bottom-aligned";

    // The text is as much wider than at 96 as the resolution is higher (a bitmap face comes in steps).
    SIZE at96{}, here{};
    for (const auto& [size, lookDpi] : {std::pair{&at96, 96}, std::pair{&here, dpi}}) {
        const UniqueMemoryDC measure(::CreateCompatibleDC(nullptr));
        const UniqueFont font = CreateRulerFont(LookAt(lookDpi, 430, 330));
        const SelectGuard select(measure.get(), font.get());
        ::GetTextExtentPoint32W(measure.get(), expected.c_str(), static_cast<int>(expected.size()), size);
    }
    const double ratio = static_cast<double>(here.cx) / at96.cx;
    EXPECT_GT(ratio, 0.7 * dpi / 96) << here.cx << " against " << at96.cx;
    EXPECT_LT(ratio, 1.25 * dpi / 96) << here.cx << " against " << at96.cx;
    EXPECT_LE(right - left, here.cx);
    EXPECT_GT(right - left, here.cx * 3 / 4);
}

INSTANTIATE_TEST_SUITE_P(Dpi, RulerAtScaling, ::testing::ValuesIn(kDpis));

// The ball is drawn afresh at other sizes with the lighting the resource bitmap was made with.
TEST(RulerBall, DrawnBallIsTheResourceAtItsDesignSize) {
    const UniqueBitmap resource(static_cast<HBITMAP>(::LoadImageW(
        ::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDB_BALL), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    const UniqueBitmap drawn = DrawBallBitmap(DragBall::Size);
    ASSERT_TRUE(resource && drawn);
    const auto read = [](HBITMAP bitmap, int size) {
        auto canvas = std::make_unique<DibCanvas>(size, size, kWhite);
        const UniqueMemoryDC source(::CreateCompatibleDC(nullptr));
        const SelectGuard select(source.get(), bitmap);
        ::BitBlt(canvas->dc(), 0, 0, size, size, source.get(), 0, 0, SRCCOPY);
        return canvas;
    };
    const auto expected = read(resource.get(), DragBall::Size);
    const auto actual = read(drawn.get(), DragBall::Size);
    for (int y = 0; y < DragBall::Size; ++y) {
        for (int x = 0; x < DragBall::Size; ++x) {
            ASSERT_EQ(actual->pixel(x, y), expected->pixel(x, y)) << x << "," << y;
        }
    }

    // At 144 dots per inch: 23 pixels, a red disc on the key colour, corners keyed out.
    const auto big = read(DrawBallBitmap(23).get(), 23);
    EXPECT_EQ(big->pixel(0, 0), BallKeyColour);
    EXPECT_EQ(big->pixel(22, 22), BallKeyColour);
    const COLORREF centre = big->pixel(11, 11);
    EXPECT_TRUE(GetRValue(centre) > 150 && GetGValue(centre) < 100) << std::hex << centre;
    EXPECT_FALSE(DrawBallBitmap(0));
}

class FakeMenu final : public RulerHost {
public:
    UnitChecks UnitCheckMarks() const override { return {}; }
    bool TransparencyChecked() const override { return false; }
    void OpenMenu(POINT) override {}
};

RECT ClientRectOf(HWND child, HWND parent) {
    RECT r{};
    ::GetWindowRect(child, &r);
    ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

// What the system sends when the ruler's monitor changes resolution (or the ruler moves to a monitor
// of another resolution), with the rectangle the system would suggest.
void SendDpiChange(HWND hwnd, int dpi) {
    RECT suggested{};
    ::GetWindowRect(hwnd, &suggested);
    suggested.right = suggested.left + ::MulDiv(suggested.right - suggested.left, dpi, 96);
    suggested.bottom = suggested.top + ::MulDiv(suggested.bottom - suggested.top, dpi, 96);
    ::SendMessageW(hwnd, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
}

TEST(RulerWindowScaling, KeepsItsPlaceAndMeasuredSizeAcrossAResolutionChange) {
    TestSettings settings;
    FakeMenu menu;
    frmRulers ruler(menu, settings.store());
    ASSERT_TRUE(ruler.Load());
    ruler.Show();
    ASSERT_EQ(ruler.Dpi(), 96) << "the test display runs at 96 dots per inch";
    ASSERT_EQ(ruler.ReadoutShown(), L"390.00x290.00 px");

    SendDpiChange(ruler.hwnd(), 144);
    EXPECT_EQ(ruler.Dpi(), 144);
    EXPECT_EQ(ruler.BarSize(), 60);
    EXPECT_EQ(ruler.Bounds(), (RECT{50, 50, 500, 400})) << "the place stays; the bars grow around the measure";
    EXPECT_EQ(ruler.ReadoutShown(), L"390.00x290.00 px");
    EXPECT_NE(ruler.BallTipText().find(L"390.00x290.00 px"), std::wstring::npos);

    // Redrawn at once: the window's shape has 60-pixel bars.
    UniqueRegion shape(::CreateRectRgn(0, 0, 0, 0));
    ASSERT_NE(::GetWindowRgn(ruler.hwnd(), shape.get()), ERROR);
    EXPECT_TRUE(::PtInRegion(shape.get(), 200, 59));
    EXPECT_TRUE(::PtInRegion(shape.get(), 59, 200));
    EXPECT_FALSE(::PtInRegion(shape.get(), 200, 61));
    EXPECT_FALSE(::PtInRegion(shape.get(), 61, 200));

    // The ball, the sizing zones and the drag minimum scale with it.
    EXPECT_EQ(ClientRectOf(ruler.BallWindow(), ruler.hwnd()), frmRulers::BallRect(144));
    EXPECT_EQ(frmRulers::BallRect(144), (RECT{29, 29, 52, 52}));
    EXPECT_EQ(ruler.Metrics().sizingZone, 8);
    EXPECT_EQ(frmRulers::ZoneAt(443, 20, 450, 350, ruler.Metrics().sizingZone), frmRulers::CursorZone::SizeWE);
    EXPECT_EQ(frmRulers::ZoneAt(442, 20, 450, 350, ruler.Metrics().sizingZone), frmRulers::CursorZone::Hand);

    // A 430 x 330 window there measures 370 x 270 screen pixels.
    ::SetWindowPos(ruler.hwnd(), nullptr, 0, 0, 430, 330, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_EQ(ruler.ReadoutShown(), L"370.00x270.00 px");

    // And back: still 370 x 270, the window 40 pixels larger than the measure again.
    SendDpiChange(ruler.hwnd(), 96);
    EXPECT_EQ(ruler.Bounds(), (RECT{50, 50, 460, 360}));
    EXPECT_EQ(ruler.ReadoutShown(), L"370.00x270.00 px");
    EXPECT_EQ(ClientRectOf(ruler.BallWindow(), ruler.hwnd()), (RECT{20, 20, 35, 35}));
}

TEST(RulerWindowScaling, PresetSizesAndFittingUseTheScaledBar) {
    TestSettings settings;
    FakeMenu menu;
    frmRulers ruler(menu, settings.store());
    ASSERT_TRUE(ruler.Load());
    SendDpiChange(ruler.hwnd(), 144);
    ruler.SetSize(640, 480);
    const RECT r = ruler.Bounds();
    EXPECT_EQ(r.right - r.left, 700);
    EXPECT_EQ(r.bottom - r.top, 540);
    EXPECT_EQ(ruler.ReadoutShown(), L"640.00x480.00 px");
}

} // namespace
