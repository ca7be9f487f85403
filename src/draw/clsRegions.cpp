#include "draw/clsRegions.h"

#include "draw/DrawHelpers.h"
#include "util/ErrorReport.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <optional>

namespace {

template <class... Ts> struct Overloaded : Ts... { using Ts::operator()...; };
template <class... Ts> Overloaded(Ts...) -> Overloaded<Ts...>;

// Region data held as 16-byte entries: the header in the first two, then the rectangles. The entry
// type keeps the block aligned for GDI, whatever the bytes came from.
using RegionData = std::vector<RowRun>;

// The most rectangles one block of region data can hold: its byte count, header included, is a DWORD.
constexpr size_t kMaxBlockRects = MAXDWORD / sizeof(RowRun) - 2;

RegionDataHeader HeaderOf(const RegionData& data) {
    RegionDataHeader header;
    std::memcpy(&header, data.data(), sizeof(header));
    return header;
}

UniqueRegion CreateFromData(const RegionData& data) {
    const auto bytes = static_cast<DWORD>(data.size() * sizeof(RowRun));
    return UniqueRegion(::ExtCreateRegion(nullptr, bytes, reinterpret_cast<const RGNDATA*>(data.data())));
}

// The complete region data, header and rectangles; nullopt when the handle is no readable region.
std::optional<RegionData> ReadRegionData(HRGN hRgn) {
    if (hRgn == nullptr) {
        return std::nullopt;
    }
    const DWORD size = ::GetRegionData(hRgn, 0, nullptr);
    if (size < kRegionHeaderSize) {
        return std::nullopt;
    }
    RegionData data((size + sizeof(RowRun) - 1) / sizeof(RowRun));
    if (::GetRegionData(hRgn, size, reinterpret_cast<RGNDATA*>(data.data())) == 0) {
        return std::nullopt;
    }
    const RegionDataHeader header = HeaderOf(data);
    if (header.count > (size - kRegionHeaderSize) / sizeof(RowRun)) {
        return std::nullopt;
    }
    data.resize(2 + static_cast<size_t>(header.count));
    return data;
}

// Region data from outside (bytes, a file): checked before GDI reads it, so that a count larger than
// the bytes can never make ExtCreateRegion read past them.
std::optional<RegionData> ParseRegionData(std::span<const uint8_t> bytes) {
    if (bytes.size() < kRegionHeaderSize) {
        return std::nullopt;
    }
    RegionDataHeader header;
    std::memcpy(&header, bytes.data(), sizeof(header));
    if (header.size != kRegionHeaderSize || header.type != kRegionTypeRectangles ||
        header.count > (bytes.size() - kRegionHeaderSize) / sizeof(RowRun)) {
        return std::nullopt;
    }
    RegionData data(2 + static_cast<size_t>(header.count));
    std::memcpy(data.data(), bytes.data(), data.size() * sizeof(RowRun));
    return data;
}

UniqueRegion EmptyRegion() {
    return UniqueRegion(::CreateRectRgn(0, 0, 0, 0));
}

UniqueRegion CopyOf(HRGN hRgn) {
    UniqueRegion copy = EmptyRegion();
    if (!copy || ::CombineRgn(copy.get(), hRgn, nullptr, RGN_COPY) == ERROR) {
        return {};
    }
    return copy;
}

// The DC's clipping region as a new region; empty when the DC has none.
UniqueRegion ClipRegionOf(HDC hDC) {
    UniqueRegion clip = EmptyRegion();
    if (!clip || ::GetClipRgn(hDC, clip.get()) != 1) {
        return {};
    }
    return clip;
}

RECT RectOrValues(const RECT* rect, int left, int top, int right, int bottom) {
    return rect != nullptr ? *rect : RECT{left, top, right, bottom};
}

std::optional<std::vector<uint8_t>> ReadFileBytes(const std::filesystem::path& path) {
    const HANDLE file = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return std::nullopt;
    }
    const UniqueHandle owner(file);
    LARGE_INTEGER size{};
    // Region data longer than a DWORD could not be handed to ExtCreateRegion anyway.
    if (!::GetFileSizeEx(file, &size) || size.QuadPart < 0 || size.QuadPart > MAXDWORD) {
        return std::nullopt;
    }
    std::vector<uint8_t> bytes(static_cast<size_t>(size.QuadPart));
    DWORD read = 0;
    if (!bytes.empty() &&
        (!::ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) || read != bytes.size())) {
        return std::nullopt;
    }
    return bytes;
}

} // namespace

// ---- Builders ------------------------------------------------------------------------------------

UniqueRegion BuildRegionFromRuns(std::span<const RowRun> runs, int32_t width) noexcept {
    if (runs.empty() || runs.size() > kMaxBlockRects) {
        return {};
    }
    try {
        return CreateFromData(MakeRegionData(runs, width));
    } catch (const std::exception& error) {
        ReportCaughtError(error, "BuildRegionFromRuns");
        return {};
    }
}

UniqueRegion BuildRegionFromRunsInChunks(std::span<const RowRun> runs, int32_t width, RegionBuilder build) noexcept {
    try {
        UniqueRegion result;
        for (const ChunkRange& chunk : ChunkRanges(runs.size())) {
            UniqueRegion part = build(runs.subspan(chunk.first, chunk.last - chunk.first + 1), width);
            if (!part) {
                return {};
            }
            if (!result) {
                result = std::move(part);
            } else if (::CombineRgn(result.get(), result.get(), part.get(), RGN_OR) == ERROR) {
                return {};
            }
        }
        return result;
    } catch (const std::exception& error) {
        ReportCaughtError(error, "BuildRegionFromRunsInChunks");
        return {};
    }
}

UniqueRegion BuildRegionFromRunsMerged(std::span<const RowRun> runs, int32_t width) noexcept {
    try {
        // Scanner output (one row per run) shrinks a lot; anything else is built as it is.
        const std::optional<std::vector<RowRun>> bands = TryCoalesceRows(runs);
        if (bands) {
            runs = *bands;
        }
        std::vector<UniqueRegion> level;
        level.reserve(runs.size() / kMergedSliceRuns + 1);
        for (size_t first = 0; first < runs.size(); first += kMergedSliceRuns) {
            UniqueRegion slice =
                BuildRegionFromRuns(runs.subspan(first, std::min(kMergedSliceRuns, runs.size() - first)), width);
            if (!slice) {
                return {};
            }
            level.push_back(std::move(slice));
        }
        // Neighbours are OR-ed, so the two operands of every step are of about the same size.
        while (level.size() > 1) {
            size_t kept = 0;
            for (size_t i = 0; i < level.size(); i += 2) {
                if (i + 1 < level.size() &&
                    ::CombineRgn(level[i].get(), level[i].get(), level[i + 1].get(), RGN_OR) == ERROR) {
                    return {};
                }
                level[kept++] = std::move(level[i]);
            }
            level.resize(kept);
        }
        return level.empty() ? UniqueRegion{} : std::move(level.front());
    } catch (const std::exception& error) {
        ReportCaughtError(error, "BuildRegionFromRunsMerged");
        return {};
    }
}

UniqueRegion BuildRegionWithFallback(std::span<const RowRun> runs, int32_t width, RegionBuilder build) noexcept {
    UniqueRegion region = build(runs, width);
    if (!region && runs.size() > kRegionChunkStep) {
        region = BuildRegionFromRunsInChunks(runs, width, build);
    }
    return region;
}

// ---- RegionFromBitmap ----------------------------------------------------------------------------

intptr_t clsRegions::RegionFromBitmap(HBITMAP hBitmap, HWND hWndToApply, int32_t transColor, bool returnAntiRegion,
                                      int32_t excludeL, int32_t excludeT, int32_t excludeR,
                                      int32_t excludeB) const noexcept {
    if (hBitmap == nullptr || (hWndToApply != nullptr && !::IsWindow(hWndToApply))) {
        return 0;
    }
    BITMAP bm{};
    if (::GetObjectW(hBitmap, sizeof(bm), &bm) == 0) {
        return 0;
    }
    const std::optional<std::vector<RowRun>> runs =
        RunsFromBitmap(hBitmap, transColor, returnAntiRegion, excludeL, excludeT, excludeR, excludeB);
    if (!runs) {
        return 0;
    }
    return RegionFromRuns(*runs, bm.bmWidth, hWndToApply);
}

std::optional<std::vector<RowRun>> clsRegions::RunsFromBitmap(HBITMAP hBitmap, int32_t transColor,
                                                              bool returnAntiRegion, int32_t excludeL, int32_t excludeT,
                                                              int32_t excludeR, int32_t excludeB) const noexcept {
    if (hBitmap == nullptr) {
        return std::nullopt;
    }
    try {
        BITMAP bm{};
        if (::GetObjectW(hBitmap, sizeof(bm), &bm) == 0) {
            return std::nullopt;
        }
        const int32_t width = bm.bmWidth;
        const int32_t height = std::abs(bm.bmHeight);
        if (width <= 0 || height <= 0) {
            return std::nullopt;
        }

        // One read of the whole mask as 24-bit top-down rows.
        std::vector<uint8_t> pixels(DibRowBytes24(width) * static_cast<size_t>(height));
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 24;
        info.bmiHeader.biCompression = BI_RGB;
        {
            const WindowDC screen(nullptr);
            // Fewer rows than asked for would leave the rest of the buffer black: a failure as well.
            if (!screen || ::GetDIBits(screen.get(), hBitmap, 0, static_cast<UINT>(height), pixels.data(), &info,
                                       DIB_RGB_COLORS) != height) {
                return std::nullopt;
            }
        }

        ScanRequest request{pixels, width, height, {}, returnAntiRegion, {}};
        request.key = TransparentKey(transColor, pixels, &SysColor);
        request.exclusion = ClipExclusion(excludeL, excludeT, excludeR, excludeB, width, height);
        return scanner_(request);
    } catch (const std::exception& error) {
        ReportCaughtError(error, "clsRegions.RunsFromBitmap");
        return std::nullopt;
    }
}

intptr_t clsRegions::RegionFromRuns(std::span<const RowRun> runs, int32_t width, HWND hWndToApply) const noexcept {
    if (hWndToApply != nullptr && !::IsWindow(hWndToApply)) {
        return 0;
    }
    UniqueRegion region;
    if (!runs.empty()) {
        region = BuildRegionWithFallback(runs, width, builder_);
        if (!region) {
            return 0;
        }
    }
    if (hWndToApply == nullptr) {
        return reinterpret_cast<intptr_t>(region.release());
    }
    // No region pixel at all gives no region: the window becomes rectangular again.
    const int applied = ::SetWindowRgn(hWndToApply, region.get(), TRUE);
    if (applied != 0) {
        (void)region.release(); // the window owns it now
    }
    return applied;
}

// ---- The toolbox ---------------------------------------------------------------------------------

int clsRegions::AreReqionsEqual(HRGN hRgn1, HRGN hRgn2) const noexcept {
    return ::EqualRgn(hRgn1, hRgn2);
}

int clsRegions::CombineRegions(HRGN hRgnDest, HRGN hRgnSrc1, HRGN hRgnSrc2, int action,
                               bool destroySources) const noexcept {
    const int result = ::CombineRgn(hRgnDest, hRgnSrc1, hRgnSrc2, action);
    if (destroySources) {
        if (hRgnSrc1 != nullptr && hRgnSrc1 != hRgnDest) {
            ::DeleteObject(hRgnSrc1);
        }
        if (hRgnSrc2 != nullptr && hRgnSrc2 != hRgnDest && hRgnSrc2 != hRgnSrc1) {
            ::DeleteObject(hRgnSrc2);
        }
    }
    return result;
}

int clsRegions::ConvertRgnToRectangle(HRGN hRgn, const RECT* rect, int left, int top, int right,
                                      int bottom) const noexcept {
    if (!IsRegion(hRgn)) {
        return 0;
    }
    const RECT r = RectOrValues(rect, left, top, right, bottom);
    return ::SetRectRgn(hRgn, r.left, r.top, r.right, r.bottom);
}

UniqueRegion clsRegions::CreateRegion(const RegionShape& shape) const noexcept {
    const auto make = Overloaded{
        [](const RectShape& s) { return ::CreateRectRgnIndirect(&s.rect); },
        [](const RoundRectShape& s) {
            return ::CreateRoundRectRgn(s.rect.left, s.rect.top, s.rect.right, s.rect.bottom, s.cornerWidth,
                                        s.cornerHeight);
        },
        [](const EllipseShape& s) { return ::CreateEllipticRgnIndirect(&s.rect); },
        [](const PolygonShape& s) -> HRGN {
            if (s.points.empty() || s.points.size() > INT_MAX) {
                return nullptr;
            }
            return ::CreatePolygonRgn(s.points.data(), static_cast<int>(s.points.size()), s.fillMode);
        },
        [](const PolyPolygonShape& s) -> HRGN {
            // GDI reads as many points as the counts add up to: they must all be there.
            if (s.counts.empty() || s.counts.size() > INT_MAX) {
                return nullptr;
            }
            size_t total = 0;
            for (const INT count : s.counts) {
                if (count <= 0 || static_cast<size_t>(count) > s.points.size() - total) {
                    return nullptr;
                }
                total += static_cast<size_t>(count);
            }
            return ::CreatePolyPolygonRgn(s.points.data(), s.counts.data(), static_cast<int>(s.counts.size()),
                                          s.fillMode);
        },
    };
    return UniqueRegion(std::visit(make, shape));
}

int clsRegions::DestroyRegion(HRGN hRgn) const noexcept {
    return IsRegion(hRgn) ? ::DeleteObject(hRgn) : 0;
}

std::vector<RECT> clsRegions::ExtractRegionRectangles(HRGN hRgn) const {
    std::vector<RECT> rects;
    if (const std::optional<RegionData> data = ReadRegionData(hRgn)) {
        rects.resize(data->size() - 2);
        std::memcpy(rects.data(), data->data() + 2, rects.size() * sizeof(RECT));
    }
    return rects;
}

void clsRegions::SetCachedRegion(HRGN hRgn, bool destroyPrevious) noexcept {
    if (hRgn == cached_.get()) {
        return;
    }
    if (!destroyPrevious) {
        (void)cached_.release();
    }
    cached_.reset(hRgn);
}

std::vector<uint8_t> clsRegions::GetRegionBytes(HRGN hRgn, bool destroyRegion) const {
    std::vector<uint8_t> bytes;
    const std::optional<RegionData> data = ReadRegionData(hRgn);
    if (destroyRegion) {
        DestroyRegion(hRgn);
    }
    if (data && data->size() > 2) {
        bytes.resize(data->size() * sizeof(RowRun));
        std::memcpy(bytes.data(), data->data(), bytes.size());
    }
    return bytes;
}

UniqueRegion clsRegions::ImportRegion(const RegionSource& source) const {
    const auto fromData = [](std::span<const uint8_t> bytes) -> UniqueRegion {
        const std::optional<RegionData> data = ParseRegionData(bytes);
        return data ? CreateFromData(*data) : UniqueRegion{};
    };
    return std::visit(Overloaded{
                          [](const WindowRegionSource& s) -> UniqueRegion {
                              UniqueRegion region = EmptyRegion();
                              if (!region || ::GetWindowRgn(s.window, region.get()) == ERROR) {
                                  return {};
                              }
                              return region;
                          },
                          [&](const RegionDataSource& s) { return fromData(s.bytes); },
                          [](const RegionCopySource& s) { return CopyOf(s.region); },
                          [&](const RegionFileSource& s) -> UniqueRegion {
                              const std::optional<std::vector<uint8_t>> bytes = ReadFileBytes(s.path);
                              return bytes ? fromData(*bytes) : UniqueRegion{};
                          },
                      },
                      source);
}

bool clsRegions::IsNullRegion(HRGN hRgn) const noexcept {
    RECT box{};
    return ::GetRgnBox(hRgn, &box) == NULLREGION;
}

bool clsRegions::IsRegion(HGDIOBJ handle) const noexcept {
    return handle != nullptr && ::GetObjectType(handle) == OBJ_REGION;
}

int clsRegions::MoveRegion(HRGN hRgn, int x, int y) const noexcept {
    return ::OffsetRgn(hRgn, x, y);
}

int clsRegions::MoveRegion(HDC hDC, int x, int y) const noexcept {
    return ::OffsetClipRgn(hDC, x, y);
}

int clsRegions::PaintRegion(HRGN hRgn, HDC hDC, RegionPaintAction action, int32_t frameColor, int32_t fillColor,
                            HBRUSH frameBrush, HBRUSH fillBrush, bool deleteBrushes) const noexcept {
    // The brushes handed over are deleted on every path, so they go into owners first.
    UniqueBrush ownedFrame(deleteBrushes ? frameBrush : nullptr);
    UniqueBrush ownedFill(deleteBrushes && fillBrush != frameBrush ? fillBrush : nullptr);

    const auto fill = [&] {
        UniqueBrush made;
        if (fillBrush == nullptr) {
            made = CreateColorBrush(fillColor);
        }
        const HBRUSH brush = fillBrush != nullptr ? fillBrush : made.get();
        return brush != nullptr && ::FillRgn(hDC, hRgn, brush);
    };
    const auto frame = [&] {
        UniqueBrush made;
        if (frameBrush == nullptr) {
            made = CreateColorBrush(frameColor);
        }
        const HBRUSH brush = frameBrush != nullptr ? frameBrush : made.get();
        return brush != nullptr && ::FrameRgn(hDC, hRgn, brush, 1, 1);
    };

    switch (action) {
    case RegionPaintAction::Fill:
        return fill() ? 1 : 0;
    case RegionPaintAction::Frame:
        return frame() ? 1 : 0;
    case RegionPaintAction::FillAndFrame: {
        const bool filled = fill();
        const bool framed = frame();
        return filled && framed ? 1 : 0;
    }
    case RegionPaintAction::Paint:
        return ::PaintRgn(hDC, hRgn);
    case RegionPaintAction::Invert:
        return ::InvertRgn(hDC, hRgn);
    }
    return 0;
}

bool clsRegions::PointInRegion(HRGN hRgn, int x, int y) const noexcept {
    return ::PtInRegion(hRgn, x, y) != FALSE;
}

bool clsRegions::PointInRegion(HDC hDC, int x, int y) const noexcept {
    const UniqueRegion clip = ClipRegionOf(hDC);
    return clip && ::PtInRegion(clip.get(), x, y) != FALSE;
}

int clsRegions::PolyFillMode(FillModeAction action, HDC hDC, int setFillValue) const noexcept {
    return action == FillModeAction::Get ? ::GetPolyFillMode(hDC) : ::SetPolyFillMode(hDC, setFillValue);
}

bool clsRegions::RectInRegion(HRGN hRgn, const RECT* rect, int left, int top, int right, int bottom) const noexcept {
    const RECT r = RectOrValues(rect, left, top, right, bottom);
    return ::RectInRegion(hRgn, &r) != FALSE;
}

bool clsRegions::RectInRegion(HDC hDC, const RECT* rect, int left, int top, int right, int bottom) const noexcept {
    const UniqueRegion clip = ClipRegionOf(hDC);
    const RECT r = RectOrValues(rect, left, top, right, bottom);
    return clip && ::RectInRegion(clip.get(), &r) != FALSE;
}

int clsRegions::RegionBounds(HRGN hRgn, RECT& bounds) const noexcept {
    bounds = {};
    const int result = ::GetRgnBox(hRgn, &bounds);
    if (result == ERROR) {
        bounds = {};
    }
    return result;
}

bool clsRegions::RegionIntersect(const RegionOperand& first, const RegionOperand& second,
                                 UniqueRegion* intersection) const noexcept {
    if (intersection != nullptr) {
        intersection->reset();
    }
    // Both sides are copied before they are moved, so the caller's regions stay where they are.
    const auto place = [](const RegionOperand& operand) -> UniqueRegion {
        UniqueRegion region =
            std::visit(Overloaded{[](HRGN h) { return CopyOf(h); },
                                  [](const RECT& r) { return UniqueRegion(::CreateRectRgnIndirect(&r)); }},
                       operand.shape);
        if (region && ::OffsetRgn(region.get(), operand.xOffset, operand.yOffset) == ERROR) {
            return {};
        }
        return region;
    };
    const UniqueRegion a = place(first);
    const UniqueRegion b = place(second);
    UniqueRegion common = EmptyRegion();
    if (!a || !b || !common) {
        return false;
    }
    const int kind = ::CombineRgn(common.get(), a.get(), b.get(), RGN_AND);
    if (kind == ERROR) {
        return false;
    }
    const bool meet = kind != NULLREGION;
    if (intersection != nullptr && meet) {
        *intersection = std::move(common);
    }
    return meet;
}

uint32_t clsRegions::RegionSizeBytes(HRGN hRgn) const noexcept {
    return hRgn != nullptr ? ::GetRegionData(hRgn, 0, nullptr) : 0;
}

bool clsRegions::SaveRegionToFile(HRGN hRgn, const std::filesystem::path& path, bool overwrite) const {
    const std::optional<RegionData> data = ReadRegionData(hRgn);
    if (!data) {
        return false;
    }
    const HANDLE file = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, overwrite ? CREATE_ALWAYS : CREATE_NEW,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    UniqueHandle owner(file);
    const auto size = static_cast<DWORD>(data->size() * sizeof(RowRun));
    DWORD written = 0;
    const bool ok = ::WriteFile(file, data->data(), size, &written, nullptr) && written == size;
    owner.reset();
    if (!ok) {
        // A partly written file would not load; better none at all.
        ::DeleteFileW(path.c_str());
    }
    return ok;
}

int clsRegions::SetClipRegionToDC(HDC hDC, HRGN hRgn, int mode) const noexcept {
    return ::ExtSelectClipRgn(hDC, hRgn, mode);
}

int clsRegions::SetRegionToWindow(HRGN hRgn, HWND hWnd, bool bRedrawWindow) const noexcept {
    return ::SetWindowRgn(hWnd, hRgn, bRedrawWindow ? TRUE : FALSE);
}

UniqueRegion clsRegions::StretchRegion(HRGN hRgn, int growCx, int growCy, bool destroyOriginal) const {
    const std::optional<RegionData> data = ReadRegionData(hRgn);
    if (!data) {
        return {};
    }
    UniqueRegion stretched;
    RECT box{};
    if (::GetRgnBox(hRgn, &box) == NULLREGION) {
        stretched = EmptyRegion();
    } else {
        const int64_t oldW = int64_t{box.right} - box.left;
        const int64_t oldH = int64_t{box.bottom} - box.top;
        const int64_t newW = oldW + growCx;
        const int64_t newH = oldH + growCy;
        if (oldW <= 0 || oldH <= 0 || newW <= 0 || newH <= 0 || newW > INT32_MAX || newH > INT32_MAX) {
            return {};
        }
        // Edges are mapped, not rectangles: rectangles that touch before still touch afterwards.
        const double sx = static_cast<double>(newW) / static_cast<double>(oldW);
        const double sy = static_cast<double>(newH) / static_cast<double>(oldH);
        const auto mapX = [&](int32_t x) {
            return static_cast<int32_t>(box.left + std::nearbyint(static_cast<double>(x - int64_t{box.left}) * sx));
        };
        const auto mapY = [&](int32_t y) {
            return static_cast<int32_t>(box.top + std::nearbyint(static_cast<double>(y - int64_t{box.top}) * sy));
        };
        std::vector<RowRun> rects;
        rects.reserve(data->size() - 2);
        for (size_t i = 2; i < data->size(); ++i) {
            const RowRun& r = (*data)[i];
            const RowRun m{mapX(r.left), mapY(r.top), mapX(r.right), mapY(r.bottom)};
            if (m.left < m.right && m.top < m.bottom) { // a shrunk row can vanish
                rects.push_back(m);
            }
        }
        if (rects.empty()) {
            stretched = EmptyRegion();
        } else {
            RegionData stretchedData = MakeRegionData(rects, 0);
            RegionDataHeader header = HeaderOf(stretchedData);
            header.bounds = {box.left, box.top, static_cast<int32_t>(box.left + newW),
                             static_cast<int32_t>(box.top + newH)};
            std::memcpy(stretchedData.data(), &header, sizeof(header));
            stretched = CreateFromData(stretchedData);
        }
    }
    if (stretched && destroyOriginal) {
        DestroyRegion(hRgn);
    }
    return stretched;
}

int clsRegions::ValidateInvalidateRgn(HWND hWnd, HRGN hRgn, UpdateRegionAction action, bool erase) const noexcept {
    return action == UpdateRegionAction::Validate ? ::ValidateRgn(hWnd, hRgn)
                                                  : ::InvalidateRgn(hWnd, hRgn, erase ? TRUE : FALSE);
}
