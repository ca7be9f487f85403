#include "controls/modCtlCommon_ctl.h"

void ShowTip(std::wstring_view, int32_t, std::optional<std::wstring_view>) {}
