// ReadType: a TYPE with its members up to END TYPE (nested unions and types, private
// sections, methods and fields), or a one-line alias type.
#include <iterator>

#include "library/schema.h"
#include "text/ascii.h"
#include "tools/declaration_parts.h"
#include "tools/reader_tables.h"
#include "tools/statement_readers.h"
#include "tools/statement_text.h"
#include "tools/type_members.h"

namespace orv::tools {
namespace {

constexpr MemberDialect kTypeDialect{true, true, false};

template <typename Words>
bool equalsAny(std::string_view u, const Words& words) {
    for (const std::string_view w : words)
        if (u == w) return true;
    return false;
}

template <typename Words>
bool startsWithAnyWord(std::string_view u, const Words& words) {
    for (const std::string_view w : words)
        if (StartsWithWord(u, w)) return true;
    return false;
}

const tables::SectionMarker* findSectionMarker(std::string_view u) {
    for (const auto& marker : tables::kSectionMarkers)
        if (u == marker.line) return &marker;
    return nullptr;
}

// Walks the body line by line. Structure lines (nesting, sections, preprocessor) only
// change the walk's state; the rest are members, unless they are hidden.
class TypeBodyReader {
public:
    explicit TypeBodyReader(MemberCollector& members) : members_(members) {}

    // Leaves index on END TYPE, on the last line, or before a procedure that begins
    // where END TYPE is missing, so that the procedure is read on its own.
    void read(const SourceLines& lines, std::size_t& index) {
        while (index + 1 < lines.size()) {
            const std::size_t start = ++index;
            std::string comment;
            std::string line = JoinStatement(lines, index, comment);
            if (line.empty()) continue;
            line = CollapseBlanks(line);
            const std::string u = text::toUpperAscii(line);
            if (!(depth_ == 0 && u == "END TYPE")) appendSyntax(line);
            if (line.front() == '#') continue;
            const Step step = structure(u);
            if (step == Step::Leave) return;
            if (step == Step::LeaveBefore) {
                index = start - 1;
                return;
            }
            if (step == Step::Member) member(std::move(line), comment);
        }
    }

private:
    enum class Step { Member, Next, Leave, LeaveBefore };

    void appendSyntax(const std::string& line) {
        std::string& syntax = members_.owner().Syntax;
        syntax += "\r\n   ";
        syntax.append(static_cast<std::size_t>(3 * depth_), ' ');
        syntax += line;
    }

    Step structure(const std::string& u) {
        if (equalsAny(u, tables::kNestedOpeners)) return nest();
        if (u == "END UNION") return unnest();
        if (u == "END TYPE") return depth_ < 1 ? Step::Leave : unnest();
        if (const auto* marker = findSectionMarker(u)) {
            hidden_ = marker->hides;
            return Step::Next;
        }
        if (equalsAny(u, tables::kIgnoredTypeLines)) return Step::Next;
        if (IsFieldNamedByKeyword(u)) return Step::Member;
        if (startsWithAnyWord(u, tables::kBodyEndingWords)) return Step::LeaveBefore;
        if (startsWithAnyWord(u, tables::kNestedOpeners)) return nest();
        return Step::Member;
    }

    Step nest() {
        ++depth_;
        return Step::Next;
    }

    // A stray closing line must not drive the depth below zero (and the indentation
    // with it).
    Step unnest() {
        if (depth_ > 0) --depth_;
        return Step::Next;
    }

    void member(std::string line, const std::string& comment) {
        const std::string orig = line;
        const bool markedPrivate = dropLeadingWord(line, "PRIVATE ");
        const bool markedPublic = dropLeadingWord(line, "PUBLIC ");
        if ((hidden_ || markedPrivate) && !markedPublic) return;
        dropLeadingWord(line, "DECLARE ");
        for (const std::string_view word : tables::kMethodQualifiers)
            if (dropLeadingWord(line, word)) break;
        const auto* kind =
            takeMethodKind(line, tables::kTypeMethodKinds, std::size(tables::kTypeMethodKinds));
        if (kind) {
            members_.addMethod(*kind, std::move(line), orig, comment);
            return;
        }
        for (const std::string_view word : tables::kTypeFieldWords)
            if (dropLeadingWord(line, word)) break;
        // "Dim As Integer x" is as type-first as "As Integer x".
        if (startsWithNoCase(line, "AS "))
            members_.addTypeFirstFields(line, comment);
        else
            members_.addNameFirstField(line, comment);
    }

    MemberCollector& members_;
    int depth_ = 0;
    bool hidden_ = false;
};

}  // namespace

ExtractedEntries ReadType(const SourceLines& lines, std::size_t& index, std::string& block) {
    std::string note, after;
    if (!joinStatementAfterKeyword(lines, index, note, after)) return {};
    const std::string rest(trim(after));
    if (rest.empty()) return {};
    ExtractedEntry type =
        makeEntry(rest.substr(0, rest.find(' ')), library::kEntryDefinedType, "Type " + rest);
    ExtractedEntries entries;
    const std::size_t a = FindAsKeyword(rest);
    if (a != npos) {
        type.Member = text::toUpperAscii(trim(std::string_view(rest).substr(a + 3)));
        type.nType = library::kEntryAlias;
        entries.push_back(std::move(type));
    } else {
        type.Parameter = ExtendsParameter(rest);
        MemberCollector members(std::move(type), kTypeDialect);
        TypeBodyReader(members).read(lines, index);
        clampToLastLine(lines, index);
        entries = members.finish("End Type");
    }
    attachComments(entries, note, block, false);
    return entries;
}

}  // namespace orv::tools
