#pragma once
// A keyed list of pictures: the image list a menu caption names by position ("Open|3" names the
// third picture). Positions count from 1, in the order of adding; keys are optional and unique.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "controls/PropertyBag.h"
#include "draw/Picture.h"

class PictureList {
public:
    // Appends the picture; false (nothing added) when the key is not empty and already used.
    bool Add(PicturePtr picture, std::wstring key = {}) {
        if (!key.empty() && Find(key) != nullptr) {
            return false;
        }
        entries_.push_back({std::move(key), std::move(picture)});
        return true;
    }
    void Clear() noexcept { entries_.clear(); }
    [[nodiscard]] int32_t Count() const noexcept { return static_cast<int32_t>(entries_.size()); }

    // The picture at the 1-based position, or null when the position names none.
    [[nodiscard]] const Picture* Item(int32_t position) const noexcept {
        if (position < 1 || position > Count()) {
            return nullptr;
        }
        return entries_[static_cast<size_t>(position - 1)].picture.get();
    }
    // The picture added under the key, or null.
    [[nodiscard]] const Picture* Find(std::wstring_view key) const noexcept {
        for (const Entry& entry : entries_) {
            if (!key.empty() && entry.key == key) {
                return entry.picture.get();
            }
        }
        return nullptr;
    }

private:
    struct Entry {
        std::wstring key;
        PicturePtr picture;
    };
    std::vector<Entry> entries_;
};
