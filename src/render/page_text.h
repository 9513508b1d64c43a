// Text operations that keyword and folder pages share: template loading, replacements,
// titled sections, search-word marking and the page date.
#pragma once

#include "text/ascii.h"

#include <string>
#include <string_view>

namespace orv::render {

// What the browser shows for an empty page.
inline constexpr std::string_view kEmptyDocument = "<html><head></head><body></body></html>";

// The frame of every titled section of a page.
inline constexpr std::string_view kSectionTemplate =
    "<div class=\"margin-top margin-bottom\"><h5><strong>[title]</strong></h5></div>"
    "<div class=\"margin-big-left margin-right\">[content]</div>";

// The bytes of ideFolder + name ("view\\keyword.htm"), without a UTF-8 byte-order mark;
// empty when the file is missing or unreadable.
std::string LoadTemplate(std::string_view ideFolder, std::string_view name);

using text::replaceAll;

// The same, comparing without ASCII case; unmatched parts are copied unchanged.
std::string ReplaceNoCase(std::string_view text, std::string_view find, std::string_view replacement);

// The section template with its title and content.
std::string FillSection(std::string_view sectionTemplate, std::string_view title, std::string_view content);

// Puts `marker` in place of every occurrence of `word` (ASCII case ignored) outside
// tags; the result is trimmed of leading and trailing blanks.
std::string MarkSearchWord(std::string_view html, std::string_view word, std::string_view marker);

// The page with, from its template's "<body" on, every tag removed that could take the
// view to another document or bring one into it, whatever the library's text holds:
// start and end tags of meta, base, link, iframe, frame, frameset, object, embed, applet
// and form, attributes and all; their contents stay, as text and tags of their own. The
// template's head keeps its own. Tags are found as a browser's parser finds them,
// including unquoted, misquoted and unclosed ones, so what the parser would read as one
// of them is removed.
std::string WithoutEscapeTags(std::string_view page);

// "yyyy-mm-dd" of a library date.
std::string dateText(long long uDate);

}  // namespace orv::render
