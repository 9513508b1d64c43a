// Reading source files: bytes from disk, the encoding by byte-order mark, line ends.
#include "tools/source_text.h"

#include <filesystem>
#include <fstream>
#include <system_error>

#include "os/os.h"
#include "text/ascii.h"
#include "text/encoding.h"

namespace orv::tools {
namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16LeBom = "\xFF\xFE";

std::string decodeUtf16Le(std::string_view bytes) {
    std::u16string units;
    units.reserve(bytes.size() / 2);
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2)
        units += static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                       (static_cast<unsigned char>(bytes[i + 1]) << 8));
    std::string text = text::utf16ToUtf8(units);
    // A last odd byte is half a character: it is shown as such, not dropped silently.
    if (bytes.size() % 2 != 0) text += "\xEF\xBF\xBD";
    return text;
}

std::string decodeUtf8(std::string_view bytes) {
    if (text::isValidUtf8(bytes)) return std::string(bytes);
    // Invalid sequences would travel into the library as they are; U+FFFD keeps the
    // rest of the text and marks where they stood.
    return text::utf16ToUtf8(text::utf8ToUtf16(bytes));
}

}  // namespace

std::string DecodeSourceBytes(std::string_view bytes) {
    std::string text;
    if (bytes.substr(0, kUtf8Bom.size()) == kUtf8Bom)
        text = decodeUtf8(bytes.substr(kUtf8Bom.size()));
    else if (bytes.substr(0, kUtf16LeBom.size()) == kUtf16LeBom)
        text = decodeUtf16Le(bytes.substr(kUtf16LeBom.size()));
    else
        text = text::gbkToUtf8(bytes);
    for (char& c : text)
        if (c == '\t') c = ' ';
    // The library keeps texts as C strings: a NUL would cut an entry short there.
    if (text.find('\0') != std::string::npos) text = orv::text::replaceAll(text, std::string_view("\0", 1), "\xEF\xBF\xBD");
    if (text.find("\r\n") == std::string::npos) text = orv::text::replaceAll(text, "\n", "\r\n");
    return text;
}

std::optional<std::string> ReadSourceText(const std::string& utf8Path) {
    namespace fs = std::filesystem;
    const fs::path path = os::pathFromUtf8(utf8Path);
    std::error_code ec;
    // Folders, devices and pipes are not source files; a pipe would also block.
    if (!fs::is_regular_file(path, ec)) return std::nullopt;
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    std::string bytes;
    char buffer[1 << 16];
    while (in.read(buffer, sizeof buffer) || in.gcount() > 0)
        bytes.append(buffer, static_cast<std::size_t>(in.gcount()));
    if (in.bad()) return std::nullopt;
    return DecodeSourceBytes(bytes);
}

std::vector<std::string> SplitSourceLines(std::string_view text) {
    std::vector<std::string> lines;
    if (text.empty()) return lines;
    for (std::string_view line : orv::text::splitCrlf(text)) lines.emplace_back(line);
    return lines;
}

}  // namespace orv::tools
