// Text put into markup and script: HTML escapes for attribute values and text areas, and
// JavaScript string literals, so that stored text lands in a page as data, never as code.
#pragma once

#include <string>
#include <string_view>

namespace orv::text {

// & < > " ' as character references: safe inside a quoted attribute and inside text.
std::string escapeHtml(std::string_view text);
// The same, appended to `out`.
void appendEscapedHtml(std::string& out, std::string_view text);
// A double-quoted JavaScript string literal holding `text` (UTF-8): backslash, quote,
// line ends, the other control characters and "</" escaped.
std::string jsStringLiteral(std::string_view text);

}  // namespace orv::text
