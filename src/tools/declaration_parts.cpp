// Declaration splitting and the helpers shared by the statement readers.
#include "tools/declaration_parts.h"

#include "text/ascii.h"
#include "tools/statement_text.h"

namespace orv::tools {

NameFirstDeclaration SplitNameFirst(std::string_view part) {
    NameFirstDeclaration d;
    std::string_view rest;
    const std::size_t q = FindNameDelimiter(part);
    if (q == npos) {
        d.name = std::string(trim(part));
    } else {
        d.name = std::string(trim(part.substr(0, q)));
        rest = trim(part.substr(q));
    }
    std::string_view decl = rest;
    const std::size_t e = FindTopLevelEquals(rest);
    if (e != npos) {
        decl = trim(rest.substr(0, e));
        d.init = std::string(trim(rest.substr(e + 1)));
    }
    const std::size_t a = FindAsKeyword(decl);
    if (a != npos) {
        d.type = std::string(trim(decl.substr(a + 3)));
        decl = trim(decl.substr(0, a));
    }
    d.decl = std::string(decl);
    return d;
}

std::optional<TypeFirstHead> ReadTypeFirstHead(std::string_view s) {
    s = trimLeft(s.substr(3));
    const std::size_t p = s.find(' ');
    if (p == npos) return std::nullopt;
    TypeFirstHead head{std::string(s.substr(0, p)), trimLeft(s.substr(p + 1))};
    if (startsWithNoCase(head.names, "PTR ")) {
        head.type += " Ptr";
        head.names = head.names.substr(4);
    }
    return head;
}

TypeFirstDeclaration SplitTypeFirstPart(std::string_view part, const std::string& type) {
    TypeFirstDeclaration d;
    const std::size_t q = FindNameDelimiter(part);
    const std::size_t e = FindTopLevelEquals(part);
    d.name = std::string(q == npos ? part : trim(part.substr(0, q)));
    if (q != npos && e != npos) {
        d.syntax = std::string(trim(part.substr(0, e))) + " As " + type + " = " +
                   std::string(trim(part.substr(e + 1)));
    } else {
        d.syntax = std::string(part) + " As " + type;
    }
    return d;
}

std::string ExtendsParameter(std::string_view declaration) {
    const std::string u = text::toUpperAscii(declaration);
    const std::size_t at = u.find(" EXTENDS ");
    if (at == std::string::npos) return {};
    const std::string_view base = trim(std::string_view(u).substr(at + 9));
    return std::string(base.substr(0, base.find(' ')));
}

std::string initText(const std::string& init) { return init.empty() ? "" : " = " + init; }

void attachComments(ExtractedEntries& entries, const std::string& note, std::string& block,
                    bool toEveryEntry) {
    if (entries.empty()) return;
    const std::size_t count = toEveryEntry ? entries.size() : 1;
    for (std::size_t i = 0; i < count; ++i) {
        entries[i].Description = note;
        entries[i].Explain = block;
    }
    block.clear();
}

void clampToLastLine(const SourceLines& lines, std::size_t& index) {
    if (!lines.empty() && index >= lines.size()) index = lines.size() - 1;
}

bool joinStatementAfterKeyword(const SourceLines& lines, std::size_t& index, std::string& note, std::string& rest) {
    const std::string s = JoinStatement(lines, index, note);
    clampToLastLine(lines, index);
    const std::size_t p = s.find(' ');
    if (p == std::string::npos) return false;
    rest = std::string(trimLeft(std::string_view(s).substr(p + 1)));
    return true;
}

std::string_view cutAtCharBoundary(std::string_view s, std::size_t maxBytes) {
    if (s.size() <= maxBytes) return s;
    std::size_t cut = maxBytes;
    // Back off over continuation bytes (10xxxxxx) to the start of the cut character.
    while (cut > 0 && (static_cast<unsigned char>(s[cut]) & 0xC0) == 0x80) --cut;
    return s.substr(0, cut);
}

}  // namespace orv::tools
