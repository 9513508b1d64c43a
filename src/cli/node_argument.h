// A node of the contents tree named on the command line by its link.
#pragma once

#include "cli/command.h"
#include "helpwindow/link_dispatch.h"
#include "render/link.h"

#include <optional>
#include <string>

namespace orv::cli {

// "r012" public category 12, "k17" private entry 7, "y03" public member 3; anything
// else is a usage error.
inline render::LinkTarget nodeArgument(const std::string& text) {
    const std::optional<render::LinkTarget> node = helpwindow::NodeOfLink(text);
    if (!node) usageError("\"" + text + "\" is not a tree node (r, k or y form: r012, k17, y03)");
    return *node;
}

}  // namespace orv::cli
