#pragma once
// The flicker-free label: the same properties and look as ctlUniLabel, but every change is drawn at
// once, whole, into a persistent image of the face, and the window is painted from that image
// without being erased. The tooltip window shows its tips with one. BackStyle is public here.
#include "controls/ctlUniLabel.h"

class ctlUniLabelNoFlick final : public ctlUniLabel {
public:
    ctlUniLabelNoFlick() noexcept;
    ~ctlUniLabelNoFlick() override;

    using ctlUniLabel::BackStyle;
    using ctlUniLabel::DrawControl;

    // Draws the label into its image (laying it out first) and shows it.
    void DrawControl() noexcept;
    // Draws at once: the image is always current.
    void RequestDrawControl() noexcept override;
    // Redraws; `now` makes no difference here.
    void Refresh(bool now = false) override;

    // The image's device context, with the label's font selected (for measuring in it). Its handle
    // changes when the label changes size.
    [[nodiscard]] HDC hDC() const noexcept { return ImageDC(); }

protected:
    void UpdateShape() noexcept override;
};
