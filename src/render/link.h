// The private links of generated pages ("r", "k", "y", "s", "t", "c" forms) and what
// each leads to in the libraries.
#pragma once

#include "library/host_db.h"

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

// False for text that is no private link: an unknown letter, a library digit other
// than 0 or 1, or a "c" link without its comma.
bool ParseLink(std::string_view text, ParsedLink& out);

// The target of a link, looked up where the form needs it; nothing when it leads
// nowhere (no such name, id or sID).
std::optional<LinkTarget> ResolveLink(library::HostDb& db, std::string_view text);

// True for an outside address ("http:" or "https:", any case).
bool isOutsideAddress(std::string_view address);

// The link text of an address as the engine reports a click: what follows its last "/";
// nothing when there is no "/".
std::optional<std::string> linkTextOfAddress(std::string_view address);

}  // namespace orv::render
