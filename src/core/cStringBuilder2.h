#pragma once
// Accumulates text from many small pieces without copying the whole text on every append: recent
// pieces gather in a short tail, and only when the tail has grown past its limit are the tail and the
// new piece flushed onto the main text. The content is always the main text followed by the tail.
#include <cstdint>
#include <string>
#include <string_view>

class cStringBuilder2 {
public:
    // A piece up to this long is a short piece ...
    static constexpr size_t kShortPiece = 1024;
    // ... and is added to the tail unless the tail already holds more than this many characters ...
    static constexpr size_t kShortTailLimit = 1023;
    // ... while a longer piece is added to the tail unless the tail holds more than this many.
    static constexpr size_t kLongTailLimit = 8191;

    // Characters in main text and tail together (saturating at the largest 32-bit value).
    [[nodiscard]] int32_t Length() const noexcept;
    // The main text followed by the tail.
    [[nodiscard]] std::wstring ToString() const;
    // Makes the text the whole content: main text = text, tail = empty.
    void TheString(std::wstring_view text);

    // Adds the piece at the end. Flushing (main = main + tail + piece, tail emptied) happens when the
    // tail is over its limit for the piece's size, so even an empty piece may flush; the content is
    // the same either way.
    void Append(std::wstring_view piece);
    // Append of the piece followed by a carriage return and a line feed.
    void AppendWithNewLine(std::wstring_view piece);
    // Replaces every occurrence of find, scanning from the start, compared case-sensitively; the text
    // that a replacement inserts is not scanned again. An empty find changes nothing.
    void ReplaceString(std::wstring_view find, std::wstring_view replacement);

private:
    std::wstring main_;
    std::wstring tail_;
};
