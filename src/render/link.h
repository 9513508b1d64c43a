// The private links of generated pages ("r", "k", "y", "s", "t", "c" forms) and what
// each leads to in the libraries.
#pragma once

#include "library/host_db.h"
#include "library/tree_node.h"

#include <optional>
#include <string>
#include <string_view>

namespace orv::render {

enum class TargetKind { Entry = 0, Category = 1, Member = 2 };

// Where a link leads: a row of a library shown as an entry, a category or a member.
struct LinkTarget {
    int lib = 0;
    long long id = 0;
    TargetKind kind = TargetKind::Entry;
};

// A link read from its text, before any look-up.
struct ParsedLink {
    char letter = 0;
    int lib = 0;           // forms with a library digit
    long long number = 0;  // r, k, y, s: the id; c: the owning entry's kID
    std::string name;      // t: the entry's name; c: the member's name
};

// Reads a link as the engine reports it: percent escapes are decoded as UTF-8 first
// ("tOPTION%20BYVAL" is "tOPTION BYVAL"); malformed escapes stay as they are, and a text
// whose decoded bytes are not UTF-8 (or hold a NUL) is read as reported.
// False for text that is no private link: an unknown letter, a library digit other
// than 0 or 1, a "c" link without its comma, or a NUL in the text.
bool ParseLink(std::string_view reported, ParsedLink& out);

// The target of a link (read as ParseLink reads it), looked up where the form needs
// it; nothing when it leads nowhere (no such name, id or sID).
std::optional<LinkTarget> ResolveLink(library::HostDb& db, std::string_view text);

// The record navigation hands the renderer for a target: the id, the category flag of
// a category, the library, and type 0 (the renderer knows the private root by its row).
library::TreeNode recordOfTarget(const LinkTarget& target);

// True for an outside address ("http:" or "https:", any case).
bool isOutsideAddress(std::string_view address);

// The link text of an address as the engine reports a click: what follows its last "/";
// nothing when there is no "/".
std::optional<std::string> linkTextOfAddress(std::string_view address);

}  // namespace orv::render
