// Base64 between bytes: any bytes decode or are refused without reading or writing out of bounds
// (refused exactly when a group would be partial, never more bytes than the groups hold), and the
// encoding of any bytes has the standard length and decodes back to them. Encodings spanned into lines
// are base64_lines' part, the text members base64_text's and base64_ansi_text's.
#include "FuzzCheck.h"
#include "core/clsBase64.h"

#include <algorithm>
#include <optional>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const clsBase64 codec;
    const std::span<const uint8_t> input(data, size);

    const std::optional<std::vector<uint8_t>> decoded = codec.TryDecodeB64(input);
    const size_t characters = clsBase64::Unspan(input).size();
    FUZZ_CHECK(decoded.has_value() == (characters % 4 == 0));
    FUZZ_CHECK(!decoded || decoded->size() <= characters / 4 * 3);

    const std::vector<uint8_t> encoded = codec.EncodeB64(input);
    FUZZ_CHECK(encoded.size() == (size + 2) / 3 * 4);
    FUZZ_CHECK(std::ranges::equal(codec.DecodeB64(encoded), input));
    return 0;
}
