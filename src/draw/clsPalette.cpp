#include "draw/clsPalette.h"

#include <cstdlib>

#include "core/AppError.h"
#include "core/OctreeQuantizer.h"
#include "draw/DrawHelpers.h"
#include "draw/clsDIBSection.h"

namespace {

struct Rgb3 {
    uint8_t red, green, blue;
};

// The sixteen standard colours in table order (red, green, blue).
constexpr Rgb3 kStandard16[16] = {{0, 0, 0},       {128, 0, 0},   {0, 128, 0},   {128, 128, 0},
                                  {0, 0, 128},     {128, 0, 128}, {0, 128, 128}, {192, 192, 192},
                                  {128, 128, 128}, {255, 0, 0},   {0, 255, 0},   {255, 255, 0},
                                  {0, 0, 255},     {255, 0, 255}, {0, 255, 255}, {255, 255, 255}};

} // namespace

void clsPalette::CreateOptimal(const clsDIBSection& dib, int32_t paletteSize, int32_t levels,
                               std::optional<int32_t> reservedColor) {
    if (dib.Bpp() != 24 || dib.BitsPtr() == nullptr) {
        throw AppError(AppError::kToolkitError, "clsPalette.CreateOptimal", "DIB Must be 24 bpp");
    }
    Destroy();
    if (reservedColor) {
        uint8_t r = 0, g = 0, b = 0;
        pColorToComponents(*reservedColor, r, g, b);
        Add(r, g, b);
        --paletteSize;
    }

    OctreeQuantizer quantizer(levels);
    ::GdiFlush(); // the pixels may still be in a GDI batch
    const auto* bits = static_cast<const uint8_t*>(dib.BitsPtr());
    const size_t stride = static_cast<size_t>(dib.BytesPerScanLine());
    for (int32_t row = 0; row < dib.Height(); ++row) {
        const uint8_t* pixel = bits + stride * static_cast<size_t>(row);
        for (int32_t column = 0; column < dib.Width(); ++column, pixel += 3) {
            quantizer.Add(pixel[2], pixel[1], pixel[0]); // stored blue, green, red
        }
    }
    for (const PaletteColor& colour : quantizer.Palette(paletteSize)) {
        Add(colour.red, colour.green, colour.blue);
    }
}

void clsPalette::Add(int32_t red, int32_t green, int32_t blue) {
    entries_.push_back(RGBQUAD{static_cast<BYTE>(blue), static_cast<BYTE>(green), static_cast<BYTE>(red), 0});
}

void clsPalette::pColorToComponents(int32_t colour, uint8_t& red, uint8_t& green, uint8_t& blue) {
    const ColorChannels c = SplitColor(colour);
    red = static_cast<uint8_t>(c.red);
    green = static_cast<uint8_t>(c.green);
    blue = static_cast<uint8_t>(c.blue);
}

int32_t clsPalette::ClosestIndex(int32_t red, int32_t green, int32_t blue) const noexcept {
    int32_t best = 0;
    int bestSum = 765;
    for (int32_t index = 1; index <= Count(); ++index) {
        const RGBQUAD& e = entries_[static_cast<size_t>(index - 1)];
        const int sum = std::abs(e.rgbRed - red) + std::abs(e.rgbGreen - green) + std::abs(e.rgbBlue - blue);
        if (sum == 0) {
            return index;
        }
        if (sum < bestSum) {
            bestSum = sum;
            best = index;
        }
    }
    return best;
}

const RGBQUAD* clsPalette::Entry(int32_t index) const noexcept {
    return index >= 1 && index <= Count() ? &entries_[static_cast<size_t>(index - 1)] : nullptr;
}

uint8_t clsPalette::Red(int32_t index) const noexcept {
    const RGBQUAD* e = Entry(index);
    return e ? e->rgbRed : 0;
}

uint8_t clsPalette::Green(int32_t index) const noexcept {
    const RGBQUAD* e = Entry(index);
    return e ? e->rgbGreen : 0;
}

uint8_t clsPalette::Blue(int32_t index) const noexcept {
    const RGBQUAD* e = Entry(index);
    return e ? e->rgbBlue : 0;
}

void clsPalette::CreateHalfTone256() {
    Destroy();
    constexpr int kLevels[5] = {0, 64, 128, 192, 255};
    for (const int blue : kLevels) {
        for (const int green : kLevels) {
            for (const int red : kLevels) {
                Add(red, green, blue);
            }
        }
    }
}

void clsPalette::Clone(const clsPalette& other) {
    if (&other != this) {
        entries_ = other.entries_;
    }
}

void clsPalette::CreateFromDib(const clsDIBSection& dib) {
    const clsPalette table = dib.Palette();
    if (table.Count() == 0) {
        throw AppError(AppError::kToolkitError, "clsPalette.CreateFromDib", "Cannot create palette!");
    }
    Clone(table);
}

void clsPalette::Create16() {
    Destroy();
    for (const Rgb3& c : kStandard16) {
        Add(c.red, c.green, c.blue);
    }
}

void clsPalette::CreateMono2() {
    Destroy();
    Add(0, 0, 0);
    Add(255, 255, 255);
}

void clsPalette::CreateWebSafe256() {
    Destroy();
    for (int i = 0; i < 8; ++i) {
        Add(kStandard16[i].red, kStandard16[i].green, kStandard16[i].blue);
    }
    // The cube's corners (every channel 0 or 255) are among the sixteen standard colours already.
    for (int blue = 0; blue <= 255; blue += 51) {
        for (int green = 0; green <= 255; green += 51) {
            for (int red = 0; red <= 255; red += 51) {
                const auto corner = [](int c) { return c == 0 || c == 255; };
                if (!(corner(red) && corner(green) && corner(blue))) {
                    Add(red, green, blue);
                }
            }
        }
    }
    for (int grey = 8; grey <= 248; grey += 8) {
        Add(grey, grey, grey);
    }
    for (int i = 8; i < 16; ++i) {
        Add(kStandard16[i].red, kStandard16[i].green, kStandard16[i].blue);
    }
}
