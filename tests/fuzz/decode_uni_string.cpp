// Captions in the stored "0X" form: any text, and any text made the middle part of a form whose
// checksum is right, decodes or comes back whole. That the stored form of a text decodes back to it is
// uni_string_round_trip's part.
#include "FuzzCheck.h"
#include "FuzzCodePage.h"
#include "core/CaptionDecoding.h"

namespace {

void CheckText(const std::wstring& text) {
    // A text not in the stored form comes back unchanged.
    FUZZ_CHECK(DecodeUniString(text, &FuzzToLatin1) == text || IsEncodedUniString(text));
    // The text as the middle part of a form whose checksum is right: decoded or returned whole.
    std::wstring forced;
    forced.reserve(text.size() + 4);
    forced.append(L"0X").append(text).append(XorChecksumHex(text));
    FUZZ_CHECK(IsEncodedUniString(forced));
    const std::wstring forcedDecoded = DecodeUniString(forced, &FuzzToLatin1);
    FUZZ_CHECK(forcedDecoded == forced || forcedDecoded.size() <= text.size() * 3 / 8);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::span<const uint8_t> input(data, size);
    CheckText(clsBase64::ByteArray2UnicodeStr(input));
    CheckText(WidenBytes(input));
    return 0;
}
