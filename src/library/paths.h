// Files under the IDE folder. The stored names use backslashes, as the IDE does; the
// native build turns them into slashes.
#pragma once

#include "os/os.h"

#include <string>
#include <string_view>

namespace orv::library {

using os::kPathSeparator;

// The folder with one trailing separator ("" stays "").
std::string withTrailingSeparator(std::string_view folder);
// ideFolder + relative, with the relative part's backslashes as this platform wants.
std::string ideFile(std::string_view ideFolder, std::string_view relative);

inline constexpr std::string_view kSettingsFile = "Settings\\orv.ini";

}  // namespace orv::library
