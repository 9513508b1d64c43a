// Checks for fragments that come from outside the user's own hands (fetched records,
// replayed change bodies): only known columns and plain literal values may pass.
#pragma once

#include "library/schema.h"

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace orv::library {

// The further placements of an entry; their value is "kID|dID", two whole numbers
// written bare, never quoted (that is how every writer of an entry list spells them).
inline constexpr std::array<std::string_view, 4> kPlacementColumns{"dID2", "dID3", "dID4", "dID5"};
bool isPlacementColumn(std::string_view column);

// The column names an assignment list may use. Names compare exactly, as the
// placement template does.
class ColumnSet {
public:
    template <size_t N>
    ColumnSet& add(const std::array<Column, N>& columns) {
        for (const Column& c : columns) names_.push_back(c.name);
        return *this;
    }
    ColumnSet& add(std::string_view name);
    bool contains(std::string_view name) const;

private:
    std::vector<std::string_view> names_;
};

// "0", "42", "-7": digits with an optional leading minus, nothing else.
bool isIntegerLiteral(std::string_view text);
// "'it''s'": one apostrophe-quoted text whose inner apostrophes are all doubled, with
// nothing after the closing apostrophe.
bool isQuotedText(std::string_view text);
// "12|0": two non-negative whole numbers joined by "|".
bool isPlacementValue(std::string_view text);
// "" or "3,14,15": non-negative whole numbers joined by commas, no blanks.
bool isIdList(std::string_view text);

// True when `list` is a well-formed assignment list over `allowed`: at least one item,
// every item "column=value" with a known column and a literal value (placement
// columns take a placement value). Otherwise false, and `why` (when given) names the
// first offending item.
bool checkAssignments(std::string_view list, const ColumnSet& allowed, std::string* why = nullptr);

}  // namespace orv::library
