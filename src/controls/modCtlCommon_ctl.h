#pragma once
// The process-wide tip service of the drawn controls. There is one tooltip window per process,
// enabled while at least one tooltip manager is active. Controls never talk to a manager: on every
// mouse move they hand their tip text to ShowTip, which does nothing while tips are disabled.
// Everything here lives on the GUI thread.
#include <cstdint>
#include <optional>
#include <string_view>

class ctlUniToolTip;

// Shows `tip` at the cursor after the usual pause, word-wrapped at maxWidth pixels (below 1: one
// line). An empty tip hides a shown one, unless both it and the shown tip are empty and no tag is
// given (then nothing happens); a given tag is stored with the tip.
void ShowTip(std::wstring_view tip, int32_t maxWidth = 300, std::optional<std::wstring_view> tag = std::nullopt);

// What the drawn controls of the process share about tips.
struct TipState {
    // Tips may be shown: from the first activation of a manager until the tooltip window is unloaded.
    bool tipsActive = false;
    // Copied from the managers: shown tips stay while the cursor rests, and how transparent they are
    // (percent).
    bool persistentTip = false;
    int16_t transparency = 0;
    // The number of active managers; a manager counts itself in and out.
    int32_t managers = 0;
};
[[nodiscard]] TipState& SharedTipState() noexcept;

// The tooltip window, loaded on first use; nullptr when it cannot be created.
[[nodiscard]] ctlUniToolTip* ToolTipWindow() noexcept;
// The tooltip window when it is loaded, without loading it.
[[nodiscard]] ctlUniToolTip* LoadedToolTipWindow() noexcept;
// Unloads the tooltip window (which disables tips); safe when there is none.
void UnloadToolTipWindow() noexcept;
