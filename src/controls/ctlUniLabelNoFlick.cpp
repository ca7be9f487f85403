#include "controls/ctlUniLabelNoFlick.h"

ctlUniLabelNoFlick::ctlUniLabelNoFlick() noexcept {
    UsePersistentImage();
}

ctlUniLabelNoFlick::~ctlUniLabelNoFlick() {
    Destroy();
}

void ctlUniLabelNoFlick::DrawControl() noexcept {
    DrawLabel(nullptr);
}

void ctlUniLabelNoFlick::RequestDrawControl() noexcept {
    DrawControl();
}

void ctlUniLabelNoFlick::Refresh(bool) {
    RequestDrawControl();
}

void ctlUniLabelNoFlick::UpdateShape() noexcept {
    DrawControl();
}
