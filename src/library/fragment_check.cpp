// Recognising literal values and well-formed assignment lists.
#include "library/fragment_check.h"

#include "library/fragment.h"
#include "text/ascii.h"

#include <algorithm>

namespace orv::library {
namespace {

bool isDigits(std::string_view text) {
    return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

bool fail(std::string* why, std::string text) {
    if (why) *why = std::move(text);
    return false;
}

}  // namespace

bool isPlacementColumn(std::string_view column) {
    return std::find(kPlacementColumns.begin(), kPlacementColumns.end(), column) != kPlacementColumns.end();
}

ColumnSet& ColumnSet::add(std::string_view name) {
    names_.push_back(name);
    return *this;
}

bool ColumnSet::contains(std::string_view name) const {
    return std::find(names_.begin(), names_.end(), name) != names_.end();
}

bool isIntegerLiteral(std::string_view text) {
    if (!text.empty() && text.front() == '-') text.remove_prefix(1);
    return isDigits(text);
}

bool isQuotedText(std::string_view text) {
    if (text.size() < 2 || text.front() != '\'' || text.back() != '\'') return false;
    const std::string_view inner = text.substr(1, text.size() - 2);
    for (size_t i = 0; i < inner.size(); ++i) {
        // A NUL would end the statement early inside the host and leave the quote open.
        if (inner[i] == '\0') return false;
        if (inner[i] != '\'') continue;
        if (i + 1 >= inner.size() || inner[i + 1] != '\'') return false;
        ++i;
    }
    return true;
}

bool isPlacementValue(std::string_view text) {
    const size_t bar = text.find('|');
    return bar != std::string_view::npos && isDigits(text.substr(0, bar)) && isDigits(text.substr(bar + 1));
}

bool isIdList(std::string_view text) {
    if (text.empty()) return true;
    size_t start = 0;
    for (;;) {
        const size_t comma = text.find(',', start);
        if (!isDigits(text.substr(start, comma == std::string_view::npos ? comma : comma - start))) return false;
        if (comma == std::string_view::npos) return true;
        start = comma + 1;
    }
}

bool checkAssignments(std::string_view list, const ColumnSet& allowed, std::string* why) {
    if (text::trimBlanks(list).empty()) return fail(why, "empty assignment list");
    for (std::string_view item : splitOutsideQuotes(list)) {
        Assignment a;
        if (!splitAssignment(item, a)) return fail(why, "no \"=\" in \"" + std::string(item) + "\"");
        if (!allowed.contains(a.column)) return fail(why, "unknown column \"" + std::string(a.column) + "\"");
        const bool ok = isPlacementColumn(a.column) ? isPlacementValue(a.value)
                                                    : isIntegerLiteral(a.value) || isQuotedText(a.value);
        if (!ok) return fail(why, "value of " + std::string(a.column) + " is not a plain literal");
    }
    return true;
}

}  // namespace orv::library
