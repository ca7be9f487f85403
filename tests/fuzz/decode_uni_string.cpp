// Captions in the stored "0X" form: any text decodes or comes back whole, and the stored form of any
// text decodes back to that text.
#include "FuzzCheck.h"
#include "core/CaptionDecoding.h"
#include "core/Latin1CodePage.h"

namespace {

void CheckText(const std::wstring& text) {
    const std::wstring decoded = DecodeUniString(text, &ToLatin1);
    if (!IsEncodedUniString(text)) {
        FUZZ_CHECK(decoded == text);
    }
    // The text as the middle part of a form whose checksum is right: decoded or returned whole.
    const std::wstring forced = L"0X" + text + XorChecksumHex(text);
    FUZZ_CHECK(IsEncodedUniString(forced));
    const std::wstring forcedDecoded = DecodeUniString(forced, &ToLatin1);
    FUZZ_CHECK(forcedDecoded == forced || forcedDecoded.size() <= text.size() * 3 / 8);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const clsBase64 codec;
    const std::span<const uint8_t> input(data, size);
    const std::wstring wide = clsBase64::ByteArray2UnicodeStr(input);
    CheckText(wide);
    CheckText(WidenBytes(input));

    const std::wstring base64 = codec.GetEncodedB64String(wide, true, kLatin1);
    const std::wstring stored = L"0X" + base64 + XorChecksumHex(base64);
    FUZZ_CHECK(IsEncodedUniString(stored));
    FUZZ_CHECK(DecodeUniString(stored, &ToLatin1) == wide);
    return 0;
}
