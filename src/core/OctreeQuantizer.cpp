#include "core/OctreeQuantizer.h"

#include <algorithm>
#include <cstddef>

OctreeQuantizer::OctreeQuantizer(int levels) : levels_(std::clamp(levels, 1, 8)), nodes_(1) {}

void OctreeQuantizer::Add(uint8_t red, uint8_t green, uint8_t blue) {
    size_t node = 0;
    for (int level = 0; level < levels_; ++level) {
        const int bit = 7 - level;
        const int slot = (((red >> bit) & 1) << 2) | (((green >> bit) & 1) << 1) | ((blue >> bit) & 1);
        int32_t child = nodes_[node].children[slot];
        if (child < 0) {
            child = static_cast<int32_t>(nodes_.size());
            nodes_[node].children[slot] = child;
            Node fresh;
            fresh.level = static_cast<uint8_t>(level + 1);
            nodes_.push_back(fresh); // may move nodes_: index again below
        }
        node = static_cast<size_t>(child);
    }
    Node& leaf = nodes_[node];
    leaf.leaf = true;
    leaf.red += red;
    leaf.green += green;
    leaf.blue += blue;
    ++leaf.pixels;
}

std::vector<PaletteColor> OctreeQuantizer::Palette(int maxColors) const {
    std::vector<PaletteColor> palette;
    if (maxColors < 1) {
        return palette;
    }
    std::vector<Node> nodes = nodes_;
    size_t leaves = 0;
    for (const Node& n : nodes) {
        leaves += n.leaf ? 1 : 0;
    }

    // Merge level by level from the deepest parents up. When a level is reached, every deeper node is
    // a leaf, so merging a node there only folds leaves into it.
    for (int level = levels_ - 1; level >= 0 && leaves > static_cast<size_t>(maxColors); --level) {
        struct Candidate {
            uint64_t pixels;
            size_t index;
        };
        std::vector<Candidate> candidates;
        for (size_t i = 0; i < nodes.size(); ++i) {
            if (nodes[i].level == level && !nodes[i].leaf) {
                uint64_t pixels = 0;
                for (const int32_t child : nodes[i].children) {
                    pixels += child >= 0 ? nodes[static_cast<size_t>(child)].pixels : 0;
                }
                candidates.push_back({pixels, i});
            }
        }
        // Rarely used colours give way first; equal counts keep the cube order.
        std::stable_sort(candidates.begin(), candidates.end(),
                         [](const Candidate& a, const Candidate& b) { return a.pixels < b.pixels; });
        for (const Candidate& candidate : candidates) {
            if (leaves <= static_cast<size_t>(maxColors)) {
                break;
            }
            Node& parent = nodes[candidate.index];
            size_t merged = 0;
            for (int32_t& child : parent.children) {
                if (child >= 0) {
                    const Node& c = nodes[static_cast<size_t>(child)];
                    parent.red += c.red;
                    parent.green += c.green;
                    parent.blue += c.blue;
                    parent.pixels += c.pixels;
                    child = -1;
                    ++merged;
                }
            }
            parent.leaf = true;
            leaves -= merged;
            ++leaves;
        }
    }

    // Leaves in cube order: a depth-first walk.
    std::vector<size_t> stack{0};
    while (!stack.empty()) {
        const Node& n = nodes[stack.back()];
        stack.pop_back();
        if (n.leaf) {
            if (n.pixels > 0) {
                const auto average = [&](uint64_t sum) {
                    return static_cast<uint8_t>((sum + n.pixels / 2) / n.pixels);
                };
                palette.push_back({average(n.red), average(n.green), average(n.blue)});
            }
            continue;
        }
        for (int slot = 7; slot >= 0; --slot) {
            if (n.children[slot] >= 0) {
                stack.push_back(static_cast<size_t>(n.children[slot]));
            }
        }
    }
    return palette;
}
