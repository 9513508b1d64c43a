// Reading private links and resolving them against the libraries.
#include "render/link.h"

#include "library/fragment.h"
#include "library/schema.h"
#include "text/ascii.h"
#include "text/encoding.h"

namespace orv::render {

namespace {

constexpr std::string_view kNumberedForms = "rkysc";

// The highest kID of the placements of a data row.
long long newestPlacement(library::HostDb& db, int lib, long long sID) {
    return library::toInt(db.findOnly(lib, library::tables::KeywordList, "sID=" + std::to_string(sID), "kID", "kID DESC"));
}

// The engine reports a clicked address percent-encoded: a blank of "tOPTION BYVAL" comes
// as %20, a Chinese name as its UTF-8 bytes (%E4%B8%AD...). A "%" without two hex digits
// after it is kept as it is. When the decoded bytes are not UTF-8, or hold a NUL (which
// would cut a query short at the host), the text is kept as reported: such a name matches
// no row, where a half-decoded one could match the wrong row or break the fragment.
std::string decodeLinkText(std::string_view reported) {
    if (reported.find('%') == std::string_view::npos) return std::string(reported);
    const std::string decoded = text::percentDecoded(reported);
    if (decoded.find('\0') != std::string::npos || !text::isValidUtf8(decoded)) return std::string(reported);
    return decoded;
}

}  // namespace

bool ParseLink(std::string_view reported, ParsedLink& out) {
    const std::string decoded = decodeLinkText(reported);
    const std::string_view text = decoded;
    // A NUL would end the name early at the host's C-string boundary.
    if (text.empty() || text.find('\0') != std::string_view::npos) return false;
    out = ParsedLink{};
    out.letter = text[0];
    if (out.letter == 't') {
        out.name = std::string(text.substr(1));
        return !out.name.empty();
    }
    if (kNumberedForms.find(out.letter) == std::string_view::npos || text.size() < 2) return false;
    if (text[1] != '0' && text[1] != '1') return false;
    out.lib = text[1] - '0';
    std::string_view rest = text.substr(2);
    if (out.letter == 'c') {
        const size_t comma = rest.find(',');
        if (comma == std::string_view::npos) return false;
        out.name = std::string(rest.substr(comma + 1));
        rest = rest.substr(0, comma);
    }
    out.number = library::toInt(rest);
    return true;
}

std::optional<LinkTarget> ResolveLink(library::HostDb& db, std::string_view text) {
    ParsedLink link;
    if (!ParseLink(text, link)) return std::nullopt;
    std::optional<LinkTarget> target;
    switch (link.letter) {
    case 'r': target = LinkTarget{link.lib, link.number, TargetKind::Category}; break;
    case 'k': target = LinkTarget{link.lib, link.number, TargetKind::Entry}; break;
    case 'y': target = LinkTarget{link.lib, link.number, TargetKind::Member}; break;
    case 's':
        if (link.number != 0) target = LinkTarget{link.lib, newestPlacement(db, link.lib, link.number), TargetKind::Entry};
        break;
    case 't': {
        const std::string where = "UKeyWord=" + library::quoteText(text::toUpperAscii(link.name));
        for (int lib : {library::kPublic, library::kPrivate}) {
            const long long sID = library::toInt(db.findOnly(lib, library::tables::KeywordData, where, "sID", ""));
            if (sID != 0) {
                target = LinkTarget{lib, newestPlacement(db, lib, sID), TargetKind::Entry};
                break;
            }
        }
        break;
    }
    case 'c': {
        const std::string where = std::string(library::tables::JoinCondition) +
                                  " And KeywordList.nType>19 and KeywordList.dID=" + std::to_string(link.number) +
                                  " And KeywordData.UKeyWord=" + library::quoteText(text::toUpperAscii(link.name));
        target = LinkTarget{link.lib,
                            library::toInt(db.findOnly(link.lib, library::tables::ListAndData, where, "KeywordList.kID", "")),
                            TargetKind::Member};
        break;
    }
    }
    if (!target || target->id == 0) return std::nullopt;
    return target;
}

library::TreeNode recordOfTarget(const LinkTarget& target) {
    library::TreeNode record;
    record.id = target.id;
    record.isCategory = target.kind == TargetKind::Category;
    record.lib = target.lib;
    return record;
}

bool isOutsideAddress(std::string_view address) {
    const std::string lower = [&] {
        std::string s(address.substr(0, 6));
        for (char& c : s) c = text::lowerAscii(c);
        return s;
    }();
    return lower.rfind("http:", 0) == 0 || lower.rfind("https:", 0) == 0;
}

std::optional<std::string> linkTextOfAddress(std::string_view address) {
    const size_t slash = address.rfind('/');
    if (slash == std::string_view::npos) return std::nullopt;
    return std::string(address.substr(slash + 1));
}

}  // namespace orv::render
