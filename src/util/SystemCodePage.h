#pragma once
// The system's ANSI code page (CP_ACP) for the portable decoders: ToSystemAnsi is an AnsiEncoder and
// FromSystemAnsi an AnsiDecoder (core/clsBase64.h). A character the code page lacks becomes the code
// page's default character ("?"); an empty or unconvertible text gives an empty result.
#include <string>
#include <string_view>

[[nodiscard]] std::string ToSystemAnsi(std::wstring_view text);    // WideCharToMultiByte(CP_ACP)
[[nodiscard]] std::wstring FromSystemAnsi(std::string_view bytes); // MultiByteToWideChar(CP_ACP)
