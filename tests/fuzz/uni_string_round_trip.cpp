// The stored "0X" form of any text (the input's bytes taken in pairs as UTF-16 code units) is
// recognised as such and decodes back to that text.
#include "FuzzCheck.h"
#include "FuzzCodePage.h"
#include "core/CaptionDecoding.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const clsBase64 codec;
    const std::wstring text = clsBase64::ByteArray2UnicodeStr({data, size});
    const std::wstring base64 = codec.GetEncodedB64String(text, true, kFuzzLatin1);
    std::wstring stored;
    stored.reserve(base64.size() + 4);
    stored.append(L"0X").append(base64).append(XorChecksumHex(base64));
    // Longer than the text, the stored form can only come back as the text when it is recognised as
    // the stored form and decoded.
    FUZZ_CHECK(DecodeUniString(stored, &FuzzToLatin1) == text);
    return 0;
}
