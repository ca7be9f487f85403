#include "core/FileVersion.h"

namespace {

constexpr uint32_t kFixedInfoSignature = 0xFEEF04BD;
// Signature, structure version, then the file version's high and low words.
constexpr size_t kFixedInfoPrefix = 4 * sizeof(uint32_t);

uint32_t ReadLittleEndian32(std::span<const uint8_t> bytes, size_t offset) {
    return static_cast<uint32_t>(bytes[offset]) | static_cast<uint32_t>(bytes[offset + 1]) << 8 |
           static_cast<uint32_t>(bytes[offset + 2]) << 16 | static_cast<uint32_t>(bytes[offset + 3]) << 24;
}

} // namespace

std::optional<FileVersion> FindFileVersion(std::span<const uint8_t> resource) {
    for (size_t offset = 0; offset + kFixedInfoPrefix <= resource.size(); offset += 4) {
        if (ReadLittleEndian32(resource, offset) != kFixedInfoSignature) {
            continue;
        }
        const uint32_t high = ReadLittleEndian32(resource, offset + 8);
        const uint32_t low = ReadLittleEndian32(resource, offset + 12);
        return FileVersion{static_cast<uint16_t>(high >> 16), static_cast<uint16_t>(high & 0xFFFF),
                           static_cast<uint16_t>(low >> 16), static_cast<uint16_t>(low & 0xFFFF)};
    }
    return std::nullopt;
}

std::wstring VersionText(const FileVersion& version) {
    return L"Version " + std::to_wstring(version.major) + L"." + std::to_wstring(version.minor) + L"." +
           std::to_wstring(version.revision);
}
