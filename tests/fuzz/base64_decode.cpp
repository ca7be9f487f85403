// Base64 both ways: any bytes decode or are refused without reading or writing out of bounds, and
// every encoding (spanned into lines or not) decodes back to its bytes.
#include "FuzzCheck.h"
#include "core/Latin1CodePage.h"
#include "core/clsBase64.h"

#include <optional>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const clsBase64 codec;
    const std::span<const uint8_t> input(data, size);
    const std::vector<uint8_t> bytes(input.begin(), input.end());

    // Refused exactly when a group would be partial; never more bytes than the groups hold.
    const std::optional<std::vector<uint8_t>> decoded = codec.TryDecodeB64(input);
    const size_t characters = clsBase64::Unspan(input).size();
    FUZZ_CHECK(decoded.has_value() == (characters % 4 == 0));
    FUZZ_CHECK(!decoded || decoded->size() <= characters / 4 * 3);

    const std::vector<uint8_t> encoded = codec.EncodeB64(input);
    FUZZ_CHECK(encoded.size() == (size + 2) / 3 * 4);
    FUZZ_CHECK(codec.DecodeB64(encoded) == bytes);
    const int32_t lineLength = size > 0 ? 1 + data[0] % 80 : 76;
    FUZZ_CHECK(codec.DecodeB64(clsBase64::Span(lineLength, encoded)) == bytes);

    // The text members never throw; a UTF-16 text survives the round trip.
    const std::wstring wide = clsBase64::ByteArray2UnicodeStr(input);
    const std::wstring narrow = WidenBytes(input);
    (void)codec.GetDecodedB64String(wide, true, kLatin1);
    (void)codec.GetDecodedB64String(narrow, true, kLatin1);
    FUZZ_CHECK(codec.GetDecodedB64String(codec.GetEncodedB64String(wide, true, kLatin1), true, kLatin1) == wide);
    FUZZ_CHECK(codec.GetDecodedB64String(codec.GetEncodedB64String(narrow, false, kLatin1), false, kLatin1) == narrow);
    return 0;
}
