// The members of a TYPE or UNION body: methods with their overloads and fields in
// both declaration forms, collected into the owner's member list and member entries.
#pragma once

#include <string>
#include <string_view>
#include <unordered_map>

#include "tools/extracted_entry.h"
#include "tools/reader_tables.h"

namespace orv::tools {

// Where TYPE and UNION bodies read their members differently.
struct MemberDialect {
    bool overloadsAnyMember;   // TYPE looks for an earlier overload among all members,
                               // UNION only at the entry made just before
    bool defaultDescriptions;  // TYPE describes a bare constructor and destructor
    bool fieldSyntaxHasType;   // UNION writes "x As Integer", TYPE "x " (type in Member)
};

// "type As Long", "function As gsl_function Ptr": a field whose name is a keyword. Such
// a line neither opens a block nor begins a procedure or a method.
bool IsFieldNamedByKeyword(std::string_view u);

// The method kind a member line begins with, or none. "Static Sub f" is a method too:
// its STATIC is dropped from the line so that the method is named f, not Sub.
const tables::MethodKind* takeMethodKind(std::string& line, const tables::MethodKind* kinds,
                                         std::size_t count);

class MemberCollector {
public:
    MemberCollector(ExtractedEntry owner, MemberDialect dialect);

    ExtractedEntry& owner() { return entries_.front(); }

    // line: the member line after its prefixes; orig: as it stood in the body.
    void addMethod(const tables::MethodKind& kind, std::string line, const std::string& orig,
                   const std::string& comment);
    // "As Integer a, b"
    void addTypeFirstFields(std::string_view line, const std::string& comment);
    // "a(3) As Integer = 1"
    void addNameFirstField(std::string_view line, const std::string& comment);

    // The owner's member list loses its leading separator and its syntax gets the
    // closing line; the collector is spent afterwards.
    ExtractedEntries finish(std::string_view closingLine);

private:
    ExtractedEntry* findOverload(const std::string& key);
    void addMember(ExtractedEntry member);

    ExtractedEntries entries_;
    std::unordered_map<std::string, std::size_t> memberIndex_;
    MemberDialect dialect_;
};

}  // namespace orv::tools
