#pragma once
// The process-wide tip service of the drawn controls: one tooltip window per process, enabled while
// at least one tooltip manager is active. Controls never talk to a manager: on every mouse move they
// hand their tip text to ShowTip, which does nothing while tips are disabled.
#include <cstdint>
#include <optional>
#include <string_view>

// Shows `tip` at the cursor after the usual pause, word-wrapped at maxWidth pixels (below 1: one
// line). An empty tip hides a shown one only when a tag is given or the tooltip window shows an
// empty tip itself; a given tag is stored with the tip.
void ShowTip(std::wstring_view tip, int32_t maxWidth = 300, std::optional<std::wstring_view> tag = std::nullopt);
