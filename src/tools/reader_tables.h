// The words the statement readers look for, kept as tables: method kinds, the words
// that end a type body, visibility sections and the leading words members may carry.
#pragma once

#include <cstddef>
#include <string_view>

#include "library/schema.h"

namespace orv::tools::tables {

struct MethodKind {
    std::string_view word;   // upper case with its blank, as it begins a member line
    bool bareOrParen;        // also "CONSTRUCTOR" alone or "CONSTRUCTOR(" (TYPE only)
    bool keepsWord;          // the word is the member's name, not dropped
};

// A member's tag in the type's member list is the first three letters of its kind.
inline constexpr std::size_t kKindTagLength = 3;

inline constexpr MethodKind kTypeMethodKinds[] = {
    {"FUNCTION ", false, false},   {"SUB ", false, false},       {"PROPERTY ", false, false},
    {"CONSTRUCTOR ", true, true},  {"DESTRUCTOR ", true, true},  {"OPERATOR ", false, false},
};
inline constexpr MethodKind kUnionMethodKinds[] = {
    {"FUNCTION ", false, false},     {"SUB ", false, false},        {"PROPERTY ", false, false},
    {"CONSTRUCTOR ", false, false},  {"DESTRUCTOR ", false, false},
};

// A line starting with one of these inside a body is a procedure body: the
// declaration's END line is missing, so the body counts as ended there.
inline constexpr std::string_view kBodyEndingWords[] = {
    "SUB", "FUNCTION", "PROPERTY", "CONSTRUCTOR", "DESTRUCTOR"};

// Lines opening and closing a nested block inside a TYPE.
inline constexpr std::string_view kNestedOpeners[] = {"UNION", "TYPE"};

struct SectionMarker {
    std::string_view line;
    bool hides;
};
inline constexpr SectionMarker kSectionMarkers[] = {
    {"PRIVATE:", true}, {"PROTECTED:", true}, {"PRIVATE :", true},
    {"PROTECTED :", true}, {"PUBLIC:", false}, {"PUBLIC :", false}};

// Lines inside a TYPE that are neither members nor section markers.
inline constexpr std::string_view kIgnoredTypeLines[] = {"CONSTRUCTOR", "DESTRUCTOR"};

// After "DECLARE ", at most one of these is dropped, the first that matches.
inline constexpr std::string_view kMethodQualifiers[] = {"CONST ", "ABSTRACT ", "VIRTUAL "};

// Storage words a field may begin with; at most one is dropped.
inline constexpr std::string_view kTypeFieldWords[] = {"STATIC ", "REDIM ", "DIM "};
inline constexpr std::string_view kUnionFieldWords[] = {"STATIC ", "REDIM "};

// Descriptions a constructor or destructor without a comment of its own gets.
struct DefaultDescription {
    std::string_view key;
    std::string_view description;
};
inline constexpr DefaultDescription kDefaultDescriptions[] = {
    {"CONSTRUCTOR", "构造函数，创建类型时被执行。"},
    {"DESTRUCTOR", "析构函数，销毁类型时被执行。"},
};

struct ProcedureKind {
    std::string_view word;
    int type;
    std::string_view endMarker;
};
inline constexpr ProcedureKind kProcedureKinds[] = {
    {"FUNCTION ", library::kEntryFunction, "END FUNCTION"},
    {"SUB ", library::kEntrySub, "END SUB"},
};
// Words a definition may begin with; at most one is dropped.
inline constexpr std::string_view kProcedureVisibility[] = {"PUBLIC ", "PRIVATE "};

// An anonymous enumeration is named after its values, at most this many bytes of them.
inline constexpr std::size_t kAnonymousEnumNameBytes = 50;

}  // namespace orv::tools::tables
