// The text routines every statement reader shares: comments, continuation lines,
// blank runs, top-level commas and equals signs, the AS keyword and leading words.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "text/ascii.h"
#include "tools/extracted_entry.h"

namespace orv::tools {

// Positions are 0-based; npos means "not found".
inline constexpr std::size_t npos = std::string_view::npos;

// First apostrophe outside double-quoted strings.
std::size_t FindCommentStart(std::string_view t);

// Whether a line ends in FreeBASIC's line-continuation "_" (not "name_").
bool IsContinuation(std::string_view t);

// Reads the statement starting at lines[index] with its continuation lines. Comments
// on its lines go to `trailingComment`. Leaves index on the statement's last line, or
// at lines.size() when the input ends inside a continuation.
std::string JoinStatement(const SourceLines& lines, std::size_t& index,
                          std::string& trailingComment);

// Runs of blanks outside strings become one blank.
std::string CollapseBlanks(std::string_view s);

// Parts between top-level commas, trimmed; a top-level apostrophe ends the list and a
// comma closing the text leaves no empty part behind it. The views point into s.
std::vector<std::string_view> SplitTopLevel(std::string_view s);

std::size_t FindTopLevelEquals(std::string_view s);

// Start of a top-level "AS " keyword; the type follows at the returned position + 3.
std::size_t FindAsKeyword(std::string_view s);

// u equals w, or begins with w followed by a blank, an apostrophe or "(".
bool StartsWithWord(std::string_view u, std::string_view w);

// First blank, "=", "(", "[" or "{": where a declared name ends.
std::size_t FindNameDelimiter(std::string_view s);

// Blank-only trimming, as the readers mean it (tabs are already blanks by then).
std::string_view trimLeft(std::string_view s);
std::string_view trimRight(std::string_view s);
std::string_view trim(std::string_view s);

using text::startsWithNoCase;

// Drops `word` (upper-case ASCII, with its blank) from the front of s in any case, and
// the blanks after it; tells whether it was there.
bool dropLeadingWord(std::string& s, std::string_view word);

}  // namespace orv::tools
