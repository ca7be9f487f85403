#pragma once
// The program's version as its version resource states it, and the text the About box shows for it.
#include <cstdint>
#include <optional>
#include <span>
#include <string>

struct FileVersion {
    uint16_t major = 0;
    uint16_t minor = 0;
    uint16_t build = 0;
    uint16_t revision = 0;
    friend bool operator==(const FileVersion&, const FileVersion&) = default;
};

// The file version of a version resource's bytes (a VS_VERSIONINFO block): the fixed file information
// that starts with the signature 0xFEEF04BD on a 32-bit boundary, little-endian. Nothing when the
// bytes hold no such record in full (the signature, the structure version and both version words).
[[nodiscard]] std::optional<FileVersion> FindFileVersion(std::span<const uint8_t> resource);

// "Version " and the major, minor and revision numbers in decimal, separated by dots; the build number
// is not shown ("Version 1.1.10" for 1.1.0.10).
[[nodiscard]] std::wstring VersionText(const FileVersion& version);
