// Base64 spanned into lines: the encoding of any bytes, cut into lines of any length (the first byte
// picks it) ending in CR LF, decodes back to the bytes.
#include "FuzzCheck.h"
#include "core/clsBase64.h"

#include <algorithm>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const clsBase64 codec;
    const std::span<const uint8_t> input(data, size);
    const int32_t lineLength = size > 0 ? 1 + data[0] % 80 : 76;
    FUZZ_CHECK(std::ranges::equal(codec.DecodeB64(clsBase64::Span(lineLength, codec.EncodeB64(input))), input));
    return 0;
}
