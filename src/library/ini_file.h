// A small INI reader and writer that answers like the Win32 profile functions for the
// same file: sections and keys compared without ASCII case, values trimmed and stripped
// of one pair of enclosing quotes, and the file's own encoding kept when it is written.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace orv::library {

class IniFile {
public:
    enum class Encoding { Utf16Le, Utf8Bom, Ansi };

    // Loads a file; a missing or unreadable file reads as empty. Text is held as UTF-8
    // (an ANSI file is read as GBK).
    static IniFile load(const std::string& path);
    static IniFile parse(std::string_view bytes);

    // The value of a key, or `fallback` when the section or key is missing.
    std::string get(std::string_view section, std::string_view key, std::string_view fallback) const;
    void set(std::string_view section, std::string_view key, std::string_view value);

    // The whole file in its encoding (a new file is UTF-16 with a byte-order mark so that
    // no character is lost), lines ending in CR LF.
    std::string serialize() const;
    // Writes the file through a temporary file and a rename, so a failure leaves the
    // old file whole. On failure `error` names the path.
    bool save(const std::string& path, std::string& error) const;

    Encoding encoding() const { return encoding_; }

private:
    struct Line {
        std::string text;     // as it stands in the file (UTF-8)
        std::string section;  // for a section header: its name
        std::string key;      // for an entry: its key
        bool isSection = false;
        bool isEntry = false;
    };
    static Line classify(std::string text);
    // Index of the section header, or -1.
    long findSection(std::string_view section) const;

    std::vector<Line> lines_;
    Encoding encoding_ = Encoding::Utf16Le;
};

}  // namespace orv::library
