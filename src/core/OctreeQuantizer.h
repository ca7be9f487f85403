#pragma once
// Colour quantisation by octree: collects the colours of a picture and answers a palette of at most a
// given number of colours that represents them. Each tree level splits the colour cube in eight by
// one more bit of each channel, so a tree of depth `levels` tells colours apart by the top `levels`
// bits of each channel. Too many colours are reduced by merging the deepest subtrees first, those
// with the fewest pixels first, into their averaged colour.
#include <cstdint>
#include <vector>

struct PaletteColor {
    uint8_t red = 0, green = 0, blue = 0;
    friend bool operator==(const PaletteColor&, const PaletteColor&) = default;
};

class OctreeQuantizer {
public:
    // levels is kept to 1..8.
    explicit OctreeQuantizer(int levels);

    void Add(uint8_t red, uint8_t green, uint8_t blue);

    // At most maxColors colours (none when maxColors < 1 or no colour was added), each the average
    // (rounded) of the pixels it stands for, in tree order (darker before lighter within each cell).
    // The collected colours stay as they are, so it can be asked again.
    [[nodiscard]] std::vector<PaletteColor> Palette(int maxColors) const;

private:
    struct Node {
        uint64_t red = 0, green = 0, blue = 0, pixels = 0;
        int32_t children[8] = {-1, -1, -1, -1, -1, -1, -1, -1};
        uint8_t level = 0;
        bool leaf = false;
    };

    int levels_;
    std::vector<Node> nodes_; // nodes_[0] is the root (level 0)
};
