// The screen's dpi, read once and kept, by which every form and control is scaled from
// its 96-dpi design units. Win32 only.
#pragma once

#include "framework/dpi_scale.h"

namespace orv::framework {

const DpiScale& ScreenScale();

}  // namespace orv::framework
