// INI files read and written the way the profile functions of Win32 treat them.
#include "library/ini_file.h"

#include "os/os.h"
#include "text/ascii.h"
#include "text/encoding.h"

#include <filesystem>
#include <fstream>
#include <sstream>

namespace orv::library {

namespace fs = std::filesystem;

namespace {

std::string stripQuotes(std::string_view v) {
    if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
        v = v.substr(1, v.size() - 2);
    return std::string(v);
}

}  // namespace

IniFile IniFile::load(const std::string& path) {
    std::ifstream in(os::pathFromUtf8(path), std::ios::binary);
    if (!in) return parse({});
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return parse(bytes.str());
}

IniFile IniFile::parse(std::string_view bytes) {
    IniFile ini;
    std::string utf8;
    if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF &&
        static_cast<unsigned char>(bytes[1]) == 0xFE) {
        ini.encoding_ = Encoding::Utf16Le;
        std::u16string wide;
        for (size_t i = 2; i + 1 < bytes.size(); i += 2)
            wide += static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                          (static_cast<unsigned char>(bytes[i + 1]) << 8));
        utf8 = text::utf16ToUtf8(wide);
    } else if (bytes.size() >= 3 && bytes.substr(0, 3) == "\xEF\xBB\xBF") {
        ini.encoding_ = Encoding::Utf8Bom;
        utf8 = std::string(bytes.substr(3));
    } else if (!bytes.empty()) {
        ini.encoding_ = Encoding::Ansi;
        utf8 = text::gbkToUtf8(bytes);
    }
    size_t start = 0;
    while (start < utf8.size()) {
        size_t end = utf8.find('\n', start);
        if (end == std::string::npos) end = utf8.size();
        std::string line = utf8.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        ini.lines_.push_back(classify(std::move(line)));
        start = end + 1;
    }
    return ini;
}

IniFile::Line IniFile::classify(std::string text) {
    Line line;
    const std::string_view t = text::trimBlanks(text);
    if (!t.empty() && t.front() == '[') {
        const size_t close = t.find(']');
        line.isSection = true;
        line.section = std::string(text::trimBlanks(t.substr(1, close == std::string_view::npos ? std::string_view::npos : close - 1)));
    } else if (!t.empty() && t.front() != ';') {
        const size_t eq = t.find('=');
        if (eq != std::string_view::npos) {
            line.isEntry = true;
            line.key = std::string(text::trimBlanks(t.substr(0, eq)));
        }
    }
    line.text = std::move(text);
    return line;
}

long IniFile::findSection(std::string_view section) const {
    for (size_t i = 0; i < lines_.size(); ++i)
        if (lines_[i].isSection && text::equalsNoCaseAscii(lines_[i].section, section)) return static_cast<long>(i);
    return -1;
}

std::string IniFile::get(std::string_view section, std::string_view key, std::string_view fallback) const {
    const long s = findSection(section);
    if (s < 0) return std::string(fallback);
    for (size_t i = static_cast<size_t>(s) + 1; i < lines_.size() && !lines_[i].isSection; ++i) {
        if (lines_[i].isEntry && text::equalsNoCaseAscii(lines_[i].key, key)) {
            const std::string& t = lines_[i].text;
            return stripQuotes(text::trimBlanks(std::string_view(t).substr(t.find('=') + 1)));
        }
    }
    return std::string(fallback);
}

void IniFile::set(std::string_view section, std::string_view key, std::string_view value) {
    std::string entry = std::string(key) + "=" + std::string(value);
    const long s = findSection(section);
    if (s < 0) {
        lines_.push_back(classify("[" + std::string(section) + "]"));
        lines_.push_back(classify(std::move(entry)));
        return;
    }
    size_t insertAt = static_cast<size_t>(s) + 1;
    for (size_t i = static_cast<size_t>(s) + 1; i < lines_.size() && !lines_[i].isSection; ++i) {
        if (lines_[i].isEntry && text::equalsNoCaseAscii(lines_[i].key, key)) {
            lines_[i] = classify(std::move(entry));
            return;
        }
        if (!text::trimBlanks(lines_[i].text).empty()) insertAt = i + 1;
    }
    lines_.insert(lines_.begin() + static_cast<long>(insertAt), classify(std::move(entry)));
}

std::string IniFile::serialize() const {
    std::string utf8;
    for (const Line& l : lines_) utf8.append(l.text).append("\r\n");
    switch (encoding_) {
    case Encoding::Utf8Bom:
        return "\xEF\xBB\xBF" + utf8;
    case Encoding::Ansi:
        return text::utf8ToGbk(utf8);
    case Encoding::Utf16Le:
        break;
    }
    std::string out = "\xFF\xFE";
    for (char16_t c : text::utf8ToUtf16(utf8)) {
        out += static_cast<char>(c & 0xFF);
        out += static_cast<char>(c >> 8);
    }
    return out;
}

bool IniFile::save(const std::string& path, std::string& error) const {
    const fs::path target = os::pathFromUtf8(path);
    fs::path temp = target;
    temp += ".tmp";
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        const std::string bytes = serialize();
        if (!out || !out.write(bytes.data(), static_cast<std::streamsize>(bytes.size())) || !out.flush()) {
            error = "cannot write " + path;
            std::error_code ignored;
            fs::remove(temp, ignored);
            return false;
        }
    }
    std::error_code ec;
    fs::rename(temp, target, ec);
    if (ec) {
        error = "cannot write " + path + " (" + ec.message() + ")";
        fs::remove(temp, ec);
        return false;
    }
    return true;
}

}  // namespace orv::library
