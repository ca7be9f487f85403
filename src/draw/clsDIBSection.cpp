#include "draw/clsDIBSection.h"

#include <algorithm>
#include <limits>
#include <string>
#include <utility>

#include "core/AppError.h"

namespace {

// The BITMAP record of a GDI bitmap; all zero when the handle is no bitmap.
BITMAP BitmapRecord(HGDIOBJ bitmap) noexcept {
    BITMAP record{};
    if (!bitmap || ::GetObjectW(bitmap, sizeof(record), &record) != sizeof(record)) {
        record = BITMAP{};
    }
    return record;
}

// The number of colour table entries of a depth: 2, 16 or 256 for the paletted depths, else none.
int32_t TableSizeOf(int32_t bpp) noexcept {
    switch (bpp) {
    case 1:
        return 2;
    case 4:
        return 16;
    case 8:
        return 256;
    default:
        return 0;
    }
}

bool HasEntries(const clsPalette* palette) noexcept {
    return palette != nullptr && palette->Count() > 0;
}

// The row length of width pixels of bpp bits, in whole 32-bit words; 0 when it does not fit.
int64_t ScanLineBytes(int64_t width, int64_t bpp) noexcept {
    const int64_t bytes = (width * bpp + 31) / 32 * 4;
    return bytes < 0 ? 0 : bytes;
}

} // namespace

void clsDIBSection::Raise(const char* operation, const char* message) {
    std::string source = std::string("clsDIBSection.") + operation;
    std::string description = source + "." + message;
    throw AppError(AppError::kToolkitError, std::move(source), std::move(description));
}

void clsDIBSection::RequirePalette(int32_t bpp, const clsPalette* palette) {
    if (!HasEntries(palette) && bpp > 0 && bpp < 24) {
        throw AppError(AppError::kToolkitError, "clsDIBSection", "Palette is required!");
    }
}

void clsDIBSection::CreateDC(int32_t width, int32_t height, int32_t bpp, clsPalette* palette) {
    Destroy();
    if (width < 0) {
        width = 2;
    }
    if (height < 0) {
        height = 2;
    }
    width_ = width;
    height_ = height;
    bpp_ = bpp;

    // Compatible with the screen. A null DC says the same as the desktop window's DC without getting
    // and releasing one, which costs ten times more than the rest of the creation under Wine.
    if (!dc_.Open()) {
        Raise("CreateDC", "HDC not created");
    }

    info_ = Info{};
    info_.header.biSize = sizeof(info_.header);
    info_.header.biWidth = width;
    info_.header.biHeight = height; // positive: rows bottom-up
    info_.header.biPlanes = 1;
    info_.header.biBitCount = static_cast<WORD>(bpp);
    info_.header.biCompression = BI_RGB;
    const int64_t imageSize = static_cast<int64_t>(BytesPerScanLine()) * height;
    // Only informative for BI_RGB; a size beyond 32 bits is left to CreateDIBSection to refuse.
    info_.header.biSizeImage = imageSize <= std::numeric_limits<DWORD>::max() ? static_cast<DWORD>(imageSize) : 0;

    tableSize_ = TableSizeOf(bpp);
    if (tableSize_ > 0) {
        clsPalette standard;
        // An empty palette passed in receives the standard table, so the caller gets to see it.
        clsPalette* table = palette ? palette : &standard;
        if (!HasEntries(table)) {
            if (bpp == 1) {
                table->CreateMono2();
            } else if (bpp == 4) {
                table->Create16();
            } else {
                table->CreateHalfTone256();
            }
        }
        const int32_t count = std::min(table->Count(), tableSize_);
        for (int32_t i = 0; i < count; ++i) {
            info_.colors[i] = table->Entries()[static_cast<size_t>(i)];
        }
    }

    void* bits = nullptr;
    dib_.reset(
        ::CreateDIBSection(dc_.get(), reinterpret_cast<const BITMAPINFO*>(&info_), DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!dib_) {
        Raise("CreateDC", "hDib not created");
    }
    bits_ = bits;
    if (!dc_.Select(dib_.get())) {
        Raise("CreateDC", "DIB not selected");
    }
}

void clsDIBSection::CloneFromDib(const clsDIBSection& other, int32_t bpp) {
    if (&other == this) {
        // CreateDC would destroy the source first: copy aside and take the copy over.
        clsDIBSection copy;
        copy.CloneFromDib(other, bpp);
        TakeOver(copy);
        return;
    }
    clsPalette table = other.Palette();
    CreateDC(other.Width(), other.Height(), bpp < 0 ? other.Bpp() : bpp, &table);
    other.PaintPicture(dc_.get(), 0, 0, -1, -1, 0, 0, -1, -1, SRCCOPY);
}

void clsDIBSection::CloneFromHBmp(HBITMAP bitmap, int32_t bpp, clsPalette* palette) {
    RequirePalette(bpp, palette);
    if (bitmap && bitmap == dib_.get()) {
        // Our DIB cannot be selected into a second DC, and CreateDC would delete it before the copy.
        clsDIBSection copy;
        copy.CloneFromHdc(dc_.get(), bpp, palette, 0, 0, width_, height_, SRCCOPY);
        TakeOver(copy);
        return;
    }
    const BITMAP record = BitmapRecord(bitmap);
    CreateDC(record.bmWidth, record.bmHeight, bpp < 0 ? record.bmBitsPixel : bpp, palette);

    switch (dc_.CopyBitmapIn(bitmap, width_, height_)) {
    case CanvasDC::CopyFailure::NoDC:
        Raise("CloneFromhBmp", "HDC not created");
    case CanvasDC::CopyFailure::NotSelected:
        Raise("CloneFromhBmp", "Bitmap not selected");
    case CanvasDC::CopyFailure::None:
        break;
    }
}

void clsDIBSection::CloneFromHdc(HDC dc, int32_t bpp, clsPalette* palette, int32_t srcLeft, int32_t srcTop,
                                 int32_t srcWidth, int32_t srcHeight, DWORD rop) {
    RequirePalette(bpp, palette);
    if (dc && dc == dc_.get()) {
        clsDIBSection copy;
        copy.CloneFromHdc(dc, bpp, palette, srcLeft, srcTop, srcWidth, srcHeight, rop);
        TakeOver(copy);
        return;
    }
    if (bpp < 0 || srcWidth < 1 || srcHeight < 1) {
        const BITMAP record = BitmapRecord(::GetCurrentObject(dc, OBJ_BITMAP));
        if (srcWidth < 1 || srcHeight < 1) {
            srcWidth = record.bmWidth;
            srcHeight = record.bmHeight;
        }
        if (bpp < 0) {
            bpp = record.bmBitsPixel;
        }
    }
    CreateDC(srcWidth, srcHeight, bpp, palette);
    ::BitBlt(dc_.get(), 0, 0, srcWidth, srcHeight, dc, srcLeft, srcTop, rop);
}

void clsDIBSection::TakeOver(clsDIBSection& other) noexcept {
    Destroy();
    dc_ = std::move(other.dc_);
    dib_ = std::move(other.dib_);
    bits_ = std::exchange(other.bits_, nullptr);
    width_ = other.width_;
    height_ = other.height_;
    bpp_ = other.bpp_;
    tableSize_ = other.tableSize_;
    info_ = other.info_;
}

void clsDIBSection::Destroy() noexcept {
    dc_.Close();
    dib_.reset();
    bits_ = nullptr;
}

int32_t clsDIBSection::BytesPerScanLine() const noexcept {
    const int64_t bytes = ScanLineBytes(width_, bpp_);
    return bytes <= std::numeric_limits<int32_t>::max() ? static_cast<int32_t>(bytes) : 0;
}

HBITMAP clsDIBSection::ReleasehDib() noexcept {
    // Forget the DIB first, so that Destroy only selects it out and deletes the DC.
    const HBITMAP dib = dib_.release();
    Destroy();
    return dib;
}

::Picture clsDIBSection::Picture() noexcept {
    return ::Picture::FromBitmap(ReleasehDib());
}

clsPalette clsDIBSection::Palette() const {
    clsPalette palette;
    for (int32_t i = 0; i < tableSize_; ++i) {
        palette.Add(info_.colors[i].rgbRed, info_.colors[i].rgbGreen, info_.colors[i].rgbBlue);
    }
    return palette;
}
