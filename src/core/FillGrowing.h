#pragma once
// Filling a buffer whose needed size is known only by trying: a registry value that may be rewritten
// between learning its size and reading it, a path longer than the first guess, a text whose expansion
// is longer than asked for. One loop for all of them, with one limit.
#include <algorithm>
#include <cstddef>
#include <optional>

// How many times FillGrowing tries before it gives up on a size that keeps growing.
inline constexpr int kMaxFillAttempts = 8;

// Resizes `buffer` to `size` elements (at least one) and calls `fill(buffer)`, which fills it and
// returns the number of elements it needs: at most buffer.size() when they fitted (the buffer is then
// cut to that many), more when they did not, nullopt when filling failed. A buffer too small is grown
// to what was asked for, at least to twice its size, and filled again. Returns false when filling
// failed or did not fit in kMaxFillAttempts tries; the buffer's contents are then unspecified.
template <typename Buffer, typename Fill> [[nodiscard]] bool FillGrowing(Buffer& buffer, size_t size, Fill fill) {
    for (int attempt = 0; attempt < kMaxFillAttempts; ++attempt) {
        buffer.resize(std::max<size_t>(size, 1));
        const std::optional<size_t> needed = fill(buffer);
        if (!needed) {
            return false;
        }
        if (*needed <= buffer.size()) {
            buffer.resize(*needed);
            return true;
        }
        size = std::max(*needed, buffer.size() * 2);
    }
    return false;
}
