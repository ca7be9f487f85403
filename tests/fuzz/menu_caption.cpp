// The menu caption syntax: any caption splits, cleans and names a picture without reading out of
// bounds, and the parts agree with one another.
#include "FuzzCheck.h"
#include "core/MenuCaption.h"
#include "core/clsBase64.h"

namespace {

bool StartsWithMarker(std::wstring_view text) {
    if (text.size() < 5) {
        return false;
    }
    for (size_t i = 0; i < 5; ++i) {
        const wchar_t c = text[i] >= L'a' && text[i] <= L'z' ? static_cast<wchar_t>(text[i] - 32) : text[i];
        if (c != L"[SEP]"[i]) {
            return false;
        }
    }
    return true;
}

void CheckCaption(std::wstring_view caption) {
    const std::wstring_view captionPart = CaptionPart(caption);
    const std::wstring_view shortcutPart = ShortcutPart(caption);
    const bool hasTab = caption.find(L'\t') != std::wstring_view::npos;
    FUZZ_CHECK(std::wstring(captionPart) + (hasTab ? L"\t" : L"") + std::wstring(shortcutPart) == caption);
    FUZZ_CHECK(shortcutPart.find(L'\t') == std::wstring_view::npos);

    FUZZ_CHECK(IsCaptionedSeparator(caption) == StartsWithMarker(caption));
    const std::wstring display = DisplayCaption(caption);
    FUZZ_CHECK(display.size() <= caption.size());
    FUZZ_CHECK(display.find(L'|') == std::wstring::npos || display.size() < caption.size());

    const int32_t index = ImageIndexOf(caption);
    if (captionPart.find(L'|') == std::wstring_view::npos) {
        FUZZ_CHECK(index == -1);
    }
    FUZZ_CHECK(index >= -1);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::span<const uint8_t> input(data, size);
    CheckCaption(WidenBytes(input));
    CheckCaption(clsBase64::ByteArray2UnicodeStr(input));
    return 0;
}
