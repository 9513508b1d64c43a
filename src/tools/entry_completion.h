// The text steps that complete an extracted entry before it is written: the include
// line, the cleaned explanation, the description drawn from it, and HTML escaping.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace orv::tools {

// The path of a header below the import's root folder, with "/" separators.
std::string IncludePath(std::string_view filePath, std::string_view rootFolder);

// #include Once "path" 'ln 12  (lineNumber is 1-based)
std::string IncludeLine(std::string_view includePath, std::size_t lineNumber);

// A comment block without its comment marks and decoration rules ("'''", "###", "===",
// "---", "***"), blank lines dropped.
std::string CleanExplain(std::string_view explain);

// The first line written in Chinese (any byte above 127), else the last line; trimmed.
std::string DescriptionFromExplain(std::string_view cleanedExplain);

// Text shown in a page as written: markup characters, blanks and line ends escaped.
std::string EscapeExplainHtml(std::string_view text);

}  // namespace orv::tools
