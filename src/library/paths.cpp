// Joining paths under the IDE folder.
#include "library/paths.h"

namespace orv::library {

std::string withTrailingSeparator(std::string_view folder) {
    std::string out(folder);
    if (!out.empty() && out.back() != '/' && out.back() != '\\') out += kPathSeparator;
    return out;
}

std::string ideFile(std::string_view ideFolder, std::string_view relative) {
    std::string out = withTrailingSeparator(ideFolder);
    for (char c : relative) out += (c == '\\' || c == '/') ? kPathSeparator : c;
    return out;
}

}  // namespace orv::library
