#include "core/cStringBuilder2.h"

#include <algorithm>
#include <limits>

int32_t cStringBuilder2::Length() const noexcept {
    const size_t length = main_.size() + tail_.size();
    return static_cast<int32_t>(std::min<size_t>(length, std::numeric_limits<int32_t>::max()));
}

std::wstring cStringBuilder2::ToString() const {
    std::wstring text;
    text.reserve(main_.size() + tail_.size());
    text.append(main_).append(tail_);
    return text;
}

void cStringBuilder2::TheString(std::wstring_view text) {
    main_.assign(text);
    tail_.clear();
}

void cStringBuilder2::Append(std::wstring_view piece) {
    const size_t tailLimit = piece.size() <= kShortPiece ? kShortTailLimit : kLongTailLimit;
    if (tail_.size() > tailLimit) {
        main_.append(tail_).append(piece);
        // clear() keeps the tail's storage, so the next pieces gather without allocating.
        tail_.clear();
    } else {
        tail_.append(piece);
    }
}

void cStringBuilder2::AppendWithNewLine(std::wstring_view piece) {
    std::wstring line;
    line.reserve(piece.size() + 2);
    line.append(piece).append(L"\r\n");
    Append(line);
}

void cStringBuilder2::ReplaceString(std::wstring_view find, std::wstring_view replacement) {
    if (find.empty()) {
        return;
    }
    const std::wstring text = ToString();
    std::wstring result;
    result.reserve(text.size());
    size_t from = 0;
    for (size_t at = text.find(find); at != std::wstring::npos; at = text.find(find, from)) {
        result.append(text, from, at - from).append(replacement);
        from = at + find.size();
    }
    result.append(text, from, std::wstring::npos);
    TheString(result);
}
