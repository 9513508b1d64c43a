// The module's fonts: one font object per distinct font text, shared by every form and
// control and kept until the module is unloaded. Win32 only.
#pragma once

#include <windows.h>

#include <cstddef>
#include <string>
#include <string_view>

namespace orv::framework {

// The font of a font text ("Microsoft YaHei,9,0"), its size in points on this screen's
// dpi. Null only when the system could not make the font; `problem` names a part of the
// text that was not understood (the font is still made from the rest).
HFONT FontFor(std::string_view fontText, std::string* problem = nullptr);

// How many distinct fonts have been made.
std::size_t FontCount();

}  // namespace orv::framework
