// Reading a header or source file into the UTF-8 text the extractor scans: byte-order
// marks decide UTF-8 or UTF-16LE, anything else is GBK.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orv::tools {

// Shown, followed by the path, when a file cannot be read.
inline constexpr std::string_view kUnreadableFileMessage = "无法读取文件！！\r\n";

// The file's text with tabs as blanks, NULs and undecodable bytes as U+FFFD and
// "\r\n" line ends; nothing when the file
// cannot be opened or read (it is not a regular file, or reading fails).
std::optional<std::string> ReadSourceText(const std::string& utf8Path);

// The conversion ReadSourceText applies to the bytes it read.
std::string DecodeSourceBytes(std::string_view bytes);

// The text split at "\r\n"; an empty text has no lines.
std::vector<std::string> SplitSourceLines(std::string_view text);

}  // namespace orv::tools
