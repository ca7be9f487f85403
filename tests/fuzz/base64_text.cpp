// The Base64 text members on any text of UTF-16 code units (the input's bytes taken in pairs): decoded
// or given back without an exception escaping, and the encoding of its UTF-16 bytes decodes back to
// it. Texts of one character per byte are base64_ansi_text's part.
#include "FuzzCheck.h"
#include "FuzzCodePage.h"
#include "core/clsBase64.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const clsBase64 codec;
    const std::wstring text = clsBase64::ByteArray2UnicodeStr({data, size});
    (void)codec.GetDecodedB64String(text, true, kFuzzLatin1);
    FUZZ_CHECK(codec.GetDecodedB64String(codec.GetEncodedB64String(text, true, kFuzzLatin1), true, kFuzzLatin1) ==
               text);
    return 0;
}
