// The Base64 text members on any text of one character per byte (so "=", blanks and the alphabet are
// easy to come by): decoded or given back without an exception escaping, and the encoding of its
// bytes in the ANSI code page decodes back to it.
#include "FuzzCheck.h"
#include "FuzzCodePage.h"
#include "core/clsBase64.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const clsBase64 codec;
    const std::wstring text = WidenBytes({data, size});
    (void)codec.GetDecodedB64String(text, true, kFuzzLatin1);
    FUZZ_CHECK(codec.GetDecodedB64String(codec.GetEncodedB64String(text, false, kFuzzLatin1), false, kFuzzLatin1) ==
               text);
    return 0;
}
