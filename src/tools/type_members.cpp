// Member lines of TYPE and UNION bodies turned into member-list lines and entries.
#include "tools/type_members.h"

#include "library/schema.h"
#include "text/ascii.h"
#include "tools/declaration_parts.h"
#include "tools/statement_text.h"

namespace orv::tools {
namespace {

std::string memberListLine(std::string_view tag, const std::string& name, const std::string& type,
                           std::string_view rest, const std::string& comment) {
    std::string line = "\r\n";
    if (!tag.empty()) line += "<" + std::string(tag) + ">";
    line += name + "<AS:" + type + ">";
    line += rest;
    line += "<'>" + comment;
    return line;
}

std::string_view defaultDescription(const std::string& key) {
    for (const auto& d : tables::kDefaultDescriptions)
        if (d.key == key) return d.description;
    return {};
}

const tables::MethodKind* findMethodKind(std::string_view u, const tables::MethodKind* kinds,
                                         std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) {
        const tables::MethodKind& kind = kinds[i];
        if (u.substr(0, kind.word.size()) == kind.word) return &kind;
        if (!kind.bareOrParen) continue;
        const std::string_view bare = kind.word.substr(0, kind.word.size() - 1);
        if (u == bare || (u.size() > bare.size() && u.substr(0, bare.size()) == bare &&
                          u[bare.size()] == '('))
            return &kind;
    }
    return nullptr;
}

}  // namespace

bool IsFieldNamedByKeyword(std::string_view u) {
    const std::size_t blank = u.find(' ');
    return blank != npos && u.substr(blank + 1, 3) == "AS ";
}

const tables::MethodKind* takeMethodKind(std::string& line, const tables::MethodKind* kinds,
                                         std::size_t count) {
    if (IsFieldNamedByKeyword(text::toUpperAscii(line))) return nullptr;
    if (const auto* kind = findMethodKind(text::toUpperAscii(line), kinds, count)) return kind;
    std::string rest = line;
    if (!dropLeadingWord(rest, "STATIC ")) return nullptr;
    const auto* kind = findMethodKind(text::toUpperAscii(rest), kinds, count);
    if (kind) line = std::move(rest);
    return kind;
}

MemberCollector::MemberCollector(ExtractedEntry owner, MemberDialect dialect)
    : dialect_(dialect) {
    entries_.push_back(std::move(owner));
}

ExtractedEntry* MemberCollector::findOverload(const std::string& key) {
    if (!dialect_.overloadsAnyMember)
        return entries_.back().UKeyWord == key ? &entries_.back() : nullptr;
    const auto it = memberIndex_.find(key);
    return it == memberIndex_.end() ? nullptr : &entries_[it->second];
}

void MemberCollector::addMember(ExtractedEntry member) {
    // The first entry of a name is where its overloads gather.
    memberIndex_.emplace(member.UKeyWord, entries_.size());
    entries_.push_back(std::move(member));
}

void MemberCollector::addMethod(const tables::MethodKind& kind, std::string line,
                                const std::string& orig, const std::string& comment) {
    if (!kind.keepsWord) line.erase(0, kind.word.size());
    dropLeadingWord(line, "STATIC ");
    const std::size_t p = line.find_first_of(" (");
    const std::string name = line.substr(0, p);
    if (name.empty()) return;
    std::string_view rest = p == npos ? std::string_view() : trim(std::string_view(line).substr(p));
    std::string type;
    const std::size_t a = FindAsKeyword(rest);
    if (a != npos) {
        type = std::string(trim(rest.substr(a + 3)));
        rest = trim(rest.substr(0, a));
    }
    owner().Member +=
        memberListLine(kind.word.substr(0, tables::kKindTagLength), name, type, rest, comment);
    const std::string key = text::toUpperAscii(name);
    if (ExtractedEntry* earlier = findOverload(key)) {
        earlier->Syntax += "\r\n" + orig;
        earlier->Description += comment;
        return;
    }
    ExtractedEntry member = makeEntry(name, library::kEntryMember, orig);
    member.Description = comment;
    if (member.Description.empty() && dialect_.defaultDescriptions)
        member.Description = std::string(defaultDescription(key));
    member.Member = text::toUpperAscii(type);
    addMember(std::move(member));
}

void MemberCollector::addTypeFirstFields(std::string_view line, const std::string& comment) {
    const auto head = ReadTypeFirstHead(line);
    if (!head) return;
    for (const std::string_view part : SplitTopLevel(head->names)) {
        TypeFirstDeclaration d = SplitTypeFirstPart(part, head->type);
        if (d.name.empty()) continue;
        owner().Member += memberListLine({}, d.name, head->type, {}, comment);
        ExtractedEntry field = makeEntry(d.name, library::kEntryMember, std::move(d.syntax));
        field.Description = comment;
        field.Member = text::toUpperAscii(head->type);
        addMember(std::move(field));
    }
}

void MemberCollector::addNameFirstField(std::string_view line, const std::string& comment) {
    const NameFirstDeclaration d = SplitNameFirst(line);
    if (d.name.empty()) return;
    const std::string init = initText(d.init);
    owner().Member += memberListLine({}, d.name, d.type, d.decl + init, comment);
    std::string syntax;
    if (dialect_.fieldSyntaxHasType)
        syntax = d.name + d.decl + (d.type.empty() ? "" : " As " + d.type) + init;
    else
        syntax = d.name + " " + d.decl + init;
    ExtractedEntry field = makeEntry(d.name, library::kEntryMember, std::move(syntax));
    field.Description = comment;
    field.Member = text::toUpperAscii(d.type);
    addMember(std::move(field));
}

ExtractedEntries MemberCollector::finish(std::string_view closingLine) {
    std::string& list = owner().Member;
    if (list.compare(0, 2, "\r\n") == 0) list.erase(0, 2);
    owner().Syntax += "\r\n";
    owner().Syntax += closingLine;
    return std::move(entries_);
}

}  // namespace orv::tools
