// Reading private links and resolving them against the libraries.
#include "render/link.h"

#include "library/fragment.h"
#include "library/schema.h"
#include "text/ascii.h"

namespace orv::render {

namespace {

constexpr std::string_view kNumberedForms = "rkysc";

// The highest kID of the placements of a data row.
long long newestPlacement(library::HostDb& db, int lib, long long sID) {
    return library::toInt(db.findOnly(lib, library::tables::KeywordList, "sID=" + std::to_string(sID), "kID", "kID DESC"));
}

}  // namespace

bool ParseLink(std::string_view text, ParsedLink& out) {
    if (text.empty()) return false;
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
