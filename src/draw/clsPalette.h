#pragma once
// The colour table of a paletted DIB (1, 4 or 8 bits per pixel): entries numbered from 1 to Count,
// each a red, green and blue channel. The DIB section takes its colour table from one; the standard
// tables (two colours, sixteen colours, the halftone and the web-safe cube) are built here.
//
// Errors are AppError with the number AppError::kToolkitError, the source "clsPalette.<operation>" and
// the message as description.
#include <windows.h>

#include <cstdint>
#include <optional>
#include <vector>

class clsDIBSection;

class clsPalette {
public:
    // Builds a palette of at most paletteSize colours that represents the colours of a 24-bit DIB,
    // by octree quantisation of depth levels (1..8; deeper tells more colours apart). A reserved
    // colour, when given, is entry 1 and counts towards paletteSize. Throws "DIB Must be 24 bpp" for
    // a DIB of any other depth (an empty one included).
    void CreateOptimal(const clsDIBSection& dib, int32_t paletteSize, int32_t levels,
                       std::optional<int32_t> reservedColor = std::nullopt);

    // Appends an entry; Count grows by one. Each channel is cut to its low byte.
    void Add(int32_t red, int32_t green, int32_t blue);

    // The channels of a colour, a system colour code translated first.
    static void pColorToComponents(int32_t colour, uint8_t& red, uint8_t& green, uint8_t& blue);

    // Empties the palette (Count 0).
    void Destroy() noexcept { entries_.clear(); }

    // The first entry (from 1) equal to the colour in all three channels; otherwise the first entry
    // with the smallest sum of channel differences, if that sum is below 765. 0 when no entry
    // qualifies (an empty palette, or only the opposite corner of the colour cube).
    [[nodiscard]] int32_t ClosestIndex(int32_t red, int32_t green, int32_t blue) const noexcept;

    [[nodiscard]] int32_t Count() const noexcept { return static_cast<int32_t>(entries_.size()); }
    // A channel of entry index (1 .. Count); 0 for any other index.
    [[nodiscard]] uint8_t Red(int32_t index) const noexcept;
    [[nodiscard]] uint8_t Green(int32_t index) const noexcept;
    [[nodiscard]] uint8_t Blue(int32_t index) const noexcept;

    // 125 entries: the levels 0, 64, 128, 192, 255 of blue, then green, then red, red varying fastest.
    void CreateHalfTone256();
    // Becomes a copy of the other palette.
    void Clone(const clsPalette& other);
    // Becomes the colour table the DIB was created with. Throws "Cannot create palette!" for a DIB
    // that has none (a depth other than 1, 4 or 8, or an empty DIB).
    void CreateFromDib(const clsDIBSection& dib);
    // The sixteen standard colours: the eight dark ones with light grey, then dark grey and the eight
    // bright ones (black first, white last).
    void Create16();
    // Black, white.
    void CreateMono2();
    // 255 entries: the first eight of Create16, the 6 x 6 x 6 cube of 0, 51, ... 255 (blue outermost,
    // red fastest) without the eight colours made only of 0 and 255, the greys 8, 16, ... 248, and
    // the last eight of Create16.
    void CreateWebSafe256();

    // The entries as a DIB colour table (blue, green, red, 0).
    [[nodiscard]] const std::vector<RGBQUAD>& Entries() const noexcept { return entries_; }

private:
    [[nodiscard]] const RGBQUAD* Entry(int32_t index) const noexcept;

    std::vector<RGBQUAD> entries_;
};
