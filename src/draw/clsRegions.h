#pragma once
// GDI regions: the window shape made from a two-colour mask (RegionFromBitmap, which the measuring
// overlay uses; the ruler, which knows its mask's runs without drawing the whole mask, hands them to
// RegionFromRuns) and a toolbox of thin region operations around it.
//
// Ownership: a member that makes a new region returns it as UniqueRegion, except RegionFromBitmap,
// whose raw result the caller owns when no window takes it. Members that take a region only lend
// it, unless a parameter says the region is handed over (destroy..., deleteBrushes). After a
// successful SetWindowRgn the window owns the region.
#include <windows.h>

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <variant>
#include <vector>

#include "core/RegionScan.h"
#include "util/Handles.h"

// ---- Shapes for CreateRegion; the variant index is the region type code 0 ... 4 -----------------

struct RectShape {
    RECT rect;
};
struct RoundRectShape {
    RECT rect;
    int cornerWidth;  // width of the ellipse that rounds the corners
    int cornerHeight; // its height
};
struct EllipseShape {
    RECT rect; // the bounding rectangle
};
struct PolygonShape {
    std::span<const POINT> points;
    int fillMode = ALTERNATE; // ALTERNATE or WINDING
};
struct PolyPolygonShape {
    std::span<const POINT> points; // all polygons, one after the other
    std::span<const INT> counts;   // points per polygon; they must add up to no more than points.size()
    int fillMode = ALTERNATE;
};
using RegionShape = std::variant<RectShape, RoundRectShape, EllipseShape, PolygonShape, PolyPolygonShape>;

// ---- Sources for ImportRegion --------------------------------------------------------------------

struct WindowRegionSource {
    HWND window; // a copy of its window region
};
struct RegionDataSource {
    std::span<const uint8_t> bytes; // region data as GetRegionBytes gives it (header and rectangles)
};
struct RegionCopySource {
    HRGN region;
};
struct RegionFileSource {
    std::filesystem::path path; // a file written by SaveRegionToFile
};
using RegionSource = std::variant<WindowRegionSource, RegionDataSource, RegionCopySource, RegionFileSource>;

// One side of RegionIntersect: a region or a rectangle, moved by the offset before the test. The
// region itself is not changed.
struct RegionOperand {
    std::variant<HRGN, RECT> shape;
    int xOffset = 0;
    int yOffset = 0;
};

enum class RegionPaintAction {
    Fill,         // FillRgn with the fill brush
    Frame,        // FrameRgn, one pixel wide, with the frame brush
    FillAndFrame, // both, the frame on top
    Paint,        // PaintRgn with the brush selected into the DC
    Invert,       // InvertRgn
};
enum class FillModeAction { Get, Set };
enum class UpdateRegionAction { Validate, Invalidate };

// ---- Region builders over row runs ---------------------------------------------------------------

// One ExtCreateRegion over all the runs of a width-wide mask. Empty when there are no runs or the
// system refuses the region.
[[nodiscard]] UniqueRegion BuildRegionFromRuns(std::span<const RowRun> runs, int32_t width) noexcept;

using RegionBuilder = UniqueRegion (*)(std::span<const RowRun> runs, int32_t width) noexcept;

// The same region built slice by slice (ChunkRanges), each slice with `build` and OR-ed into the
// first. ExtCreateRegion can refuse very long lists; slices of 2000 stay small. Empty if any slice
// fails (the partial result is deleted).
[[nodiscard]] UniqueRegion BuildRegionFromRunsInChunks(std::span<const RowRun> runs, int32_t width,
                                                       RegionBuilder build = &BuildRegionFromRuns) noexcept;

// The same region as BuildRegionFromRuns, built in a time that grows with n log n instead of n^2
// where ExtCreateRegion adds its rectangles one at a time (as Wine's does). Equal
// neighbouring rows are joined into bands first (CoalesceRows), when the runs are one row high each and in scan order;
// then slices of at most kMergedSliceRuns rectangles are created one by one and OR-ed together in pairs, level by
// level, so every rectangle is copied about log2(n / kMergedSliceRuns) times. Empty when there are no runs or any step
// fails (nothing is left behind).
[[nodiscard]] UniqueRegion BuildRegionFromRunsMerged(std::span<const RowRun> runs, int32_t width) noexcept;
// Small enough that each ExtCreateRegion stays cheap, large enough that there are few calls and few
// levels of OR-ing (bench/ruler_bench prints the region step for comparison).
inline constexpr size_t kMergedSliceRuns = 16;

// What RegionFromBitmap does with its runs: one build, and when that gives nothing and there are
// more than 2000 runs, the chunked build with the same builder.
[[nodiscard]] UniqueRegion BuildRegionWithFallback(std::span<const RowRun> runs, int32_t width,
                                                   RegionBuilder build = &BuildRegionFromRuns) noexcept;

class clsRegions {
public:
    // The scanner and the builder are parameters so that the straightforward ones (ScanRowRuns,
    // BuildRegionFromRuns) can stand in as the reference for faster ones.
    explicit clsRegions(RowScanner scanner = &ScanRowRuns, RegionBuilder builder = &BuildRegionFromRunsMerged) noexcept
        : scanner_(scanner), builder_(builder) {}
    clsRegions(const clsRegions&) = delete;
    clsRegions& operator=(const clsRegions&) = delete;
    ~clsRegions() = default; // the cached region goes with cached_

    // The region of the pixels of hBitmap that differ from transColor (returnAntiRegion false) or
    // equal it (true). transColor: -1 the top-left pixel's colour, another negative value the system
    // colour GetSysColor(transColor & 0xFF) (an unknown index gives black), otherwise a COLORREF.
    // Columns excludeL .. excludeR (inclusive) of rows excludeT .. excludeB - 1, clipped to the bitmap,
    // are taken in whole without being tested; pass 0s for no exclusion.
    // hBitmap must not be selected into a DC. Without hWndToApply the result is the new HRGN, owned
    // by the caller, or 0 when there is no region pixel. With a window, the region (or none, when no
    // pixel belongs to it) is set with SetWindowRgn and redraw, and the result is SetWindowRgn's.
    // Any failure gives 0 and leaves no region behind; the window's region is then left as it was.
    [[nodiscard]] intptr_t RegionFromBitmap(HBITMAP hBitmap, HWND hWndToApply, int32_t transColor,
                                            bool returnAntiRegion, int32_t excludeL, int32_t excludeT, int32_t excludeR,
                                            int32_t excludeB) const noexcept;

    // The first half of RegionFromBitmap: the bitmap's runs as the scanner finds them (same
    // parameters). nullopt when the bitmap is missing or unreadable; hBitmap must not be selected
    // into a DC.
    [[nodiscard]] std::optional<std::vector<RowRun>> RunsFromBitmap(HBITMAP hBitmap, int32_t transColor,
                                                                    bool returnAntiRegion, int32_t excludeL,
                                                                    int32_t excludeT, int32_t excludeR,
                                                                    int32_t excludeB) const noexcept;
    // The second half: the region of the runs of a width-wide mask, returned or applied exactly as
    // RegionFromBitmap does (no runs: no region, so a window becomes rectangular again; any failure
    // gives 0 and leaves the window's region alone). Lets a caller that knows its runs without a
    // mask bitmap shape a window the same way.
    [[nodiscard]] intptr_t RegionFromRuns(std::span<const RowRun> runs, int32_t width, HWND hWndToApply) const noexcept;

    // EqualRgn: non-zero when both regions are equal, 0 when not or when a handle is no region.
    [[nodiscard]] int AreReqionsEqual(HRGN hRgn1, HRGN hRgn2) const noexcept;

    // CombineRgn(dest, src1, src2, action) and its result (ERROR, NULLREGION, SIMPLEREGION,
    // COMPLEXREGION). With destroySources the sources are handed over: each one that is not the
    // destination is deleted afterwards (once, also when both are the same), whatever the result.
    int CombineRegions(HRGN hRgnDest, HRGN hRgnSrc1, HRGN hRgnSrc2, int action, bool destroySources) const noexcept;

    // Makes the region the rectangle *rect, or (left, top, right, bottom) when rect is null
    // (SetRectRgn). 0 when hRgn is no region.
    int ConvertRgnToRectangle(HRGN hRgn, const RECT* rect, int left = 0, int top = 0, int right = 0,
                              int bottom = 0) const noexcept;

    // A new region of the shape; empty if the system refuses it or a polygon's counts do not fit its
    // points.
    [[nodiscard]] UniqueRegion CreateRegion(const RegionShape& shape) const noexcept;

    // Deletes the region if the handle is one; DeleteObject's result, else 0.
    int DestroyRegion(HRGN hRgn) const noexcept;

    // The region's rectangles (region data without the header); empty when it has none or is unreadable.
    [[nodiscard]] std::vector<RECT> ExtractRegionRectangles(HRGN hRgn) const;

    // The cached region: owned by this object, deleted with it.
    [[nodiscard]] HRGN GetCachedRegion() const noexcept { return cached_.get(); }
    // Takes hRgn as the cached region. The previous one is deleted with destroyPrevious; without it
    // this object lets go of it and whoever holds it owns it. Setting the cached region again keeps it.
    void SetCachedRegion(HRGN hRgn, bool destroyPrevious) noexcept;

    // The complete region data (header and rectangles) as bytes; empty for an unreadable region or
    // one without rectangles (32 bytes or fewer). destroyRegion hands the region over: it is deleted
    // afterwards either way.
    [[nodiscard]] std::vector<uint8_t> GetRegionBytes(HRGN hRgn, bool destroyRegion) const;

    // A new region from the source; empty when the source has none (a window without a window
    // region), is unreadable or is not valid region data.
    [[nodiscard]] UniqueRegion ImportRegion(const RegionSource& source) const;

    // True for an empty region (GetRgnBox says NULLREGION); false also for a handle that is no region.
    [[nodiscard]] bool IsNullRegion(HRGN hRgn) const noexcept;
    // True when the handle is a region object.
    [[nodiscard]] bool IsRegion(HGDIOBJ handle) const noexcept;

    // Offsets the region (OffsetRgn) or the DC's clipping region (OffsetClipRgn); their result.
    int MoveRegion(HRGN hRgn, int x, int y) const noexcept;
    int MoveRegion(HDC hDC, int x, int y) const noexcept;

    // Paints the region on the DC. A null brush is replaced by a solid one of the colour (COLORREF or
    // system colour code), made and deleted here. deleteBrushes hands the given brushes over: they
    // are deleted afterwards. Non-zero on success.
    int PaintRegion(HRGN hRgn, HDC hDC, RegionPaintAction action, int32_t frameColor, int32_t fillColor,
                    HBRUSH frameBrush = nullptr, HBRUSH fillBrush = nullptr, bool deleteBrushes = false) const noexcept;

    // PtInRegion on the region, or on the DC's clipping region (false when the DC has none).
    [[nodiscard]] bool PointInRegion(HRGN hRgn, int x, int y) const noexcept;
    [[nodiscard]] bool PointInRegion(HDC hDC, int x, int y) const noexcept;

    // Get: the DC's polygon fill mode. Set: sets setFillValue (ALTERNATE, WINDING) and returns the
    // previous mode. 0 on failure.
    int PolyFillMode(FillModeAction action, HDC hDC, int setFillValue = ALTERNATE) const noexcept;

    // Whether any part of *rect, or of (left, top, right, bottom) when rect is null, lies in the
    // region, or in the DC's clipping region (false when the DC has none).
    [[nodiscard]] bool RectInRegion(HRGN hRgn, const RECT* rect, int left = 0, int top = 0, int right = 0,
                                    int bottom = 0) const noexcept;
    [[nodiscard]] bool RectInRegion(HDC hDC, const RECT* rect, int left = 0, int top = 0, int right = 0,
                                    int bottom = 0) const noexcept;

    // The bounding rectangle; GetRgnBox's result (0 and an empty rectangle for no region).
    int RegionBounds(HRGN hRgn, RECT& bounds) const noexcept;

    // Whether the two (each moved by its offset) share any pixel. With `intersection` the common
    // part is returned there as a new region (empty when they do not meet).
    [[nodiscard]] bool RegionIntersect(const RegionOperand& first, const RegionOperand& second,
                                       UniqueRegion* intersection = nullptr) const noexcept;

    // The size of the region's data in bytes (header included); 0 for no region.
    [[nodiscard]] uint32_t RegionSizeBytes(HRGN hRgn) const noexcept;

    // Writes the complete region data (also of an empty region) to the file; ImportRegion reads it
    // back. An existing file is replaced only with overwrite. False on failure, and then no partly
    // written file is left.
    [[nodiscard]] bool SaveRegionToFile(HRGN hRgn, const std::filesystem::path& path, bool overwrite = true) const;

    // ExtSelectClipRgn(hDC, hRgn, mode): a copy of the region becomes (or, with another RGN_ mode,
    // is combined into) the DC's clipping region; a null region with RGN_COPY removes it. Its result.
    int SetClipRegionToDC(HDC hDC, HRGN hRgn, int mode = RGN_COPY) const noexcept;

    // SetWindowRgn; on success the window owns the region. Its result.
    int SetRegionToWindow(HRGN hRgn, HWND hWnd, bool bRedrawWindow) const noexcept;

    // A new region stretched so that its bounding box grows by growCx x growCy pixels (negative values
    // shrink it), every rectangle scaled about the box's top-left corner and rounded to the nearest
    // pixel. Empty when the region is unreadable or would shrink to nothing; an empty region gives
    // an empty region. destroyOriginal hands the original over: it is deleted once the new one exists.
    [[nodiscard]] UniqueRegion StretchRegion(HRGN hRgn, int growCx, int growCy, bool destroyOriginal) const;

    // ValidateRgn, or InvalidateRgn with erase, of the window; a null region means the whole client area.
    int ValidateInvalidateRgn(HWND hWnd, HRGN hRgn, UpdateRegionAction action, bool erase = false) const noexcept;

private:
    RowScanner scanner_;
    RegionBuilder builder_;
    UniqueRegion cached_;
};
