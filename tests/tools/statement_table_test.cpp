// Which lines the line scan hands to which reader, and what a source-mode import does
// with them instead of reading them.
#include "tools/statement_table.h"

#include <gtest/gtest.h>

using namespace orv::tools;

TEST(StatementTable, LinesFindTheirReader) {
    constexpr auto Read = SourceModeAction::Read;
    constexpr auto SkipLine = SourceModeAction::SkipLine;
    constexpr auto SkipMacro = SourceModeAction::SkipMacro;
    const struct { std::string_view u; StatementReader reader; SourceModeAction inSourceMode; } cases[] = {
        {"#MACRO M(A)", ReadMacro, SkipMacro},          {"CONST A = 1", ReadConstants, SkipLine},
        {"COMMON SHARED A", ReadVariables, SkipLine},   {"DIM SHARED A", ReadVariables, SkipLine},
        {"STATIC SHARED A", ReadVariables, SkipLine},   {"#DEFINE A", ReadDefine, SkipLine},
        {"TYPE T", ReadType, Read},                     {"UNION U", ReadUnion, Read},
        {"ENUM E", ReadEnum, Read},                     {"SUB S", ReadProcedure, Read},
        {"FUNCTION F() AS LONG", ReadProcedure, Read},  {"DECLARE  SUB S", ReadProcedure, Read},
        {"PRIVATE FUNCTION F", ReadProcedure, Read},    {"PUBLIC SUB S", ReadProcedure, Read},
        // Not statements the extractor reads.
        {"ENUM", nullptr, Read},                        {"TYPE", nullptr, Read},
        {"#DEFINEX", nullptr, Read},                    {"FUNCTION = 1", nullptr, Read},
        {"PRIVATE DECLARE FUNCTION F", nullptr, Read},  {"PROPERTY P", nullptr, Read},
        {"REM SUB S", nullptr, Read},                   {"SUBX", nullptr, Read},
        {"EXTERN \"C\"", nullptr, Read},                {"", nullptr, Read},
    };
    for (const auto& c : cases) {
        const StatementMatch match = FindStatementReader(c.u);
        EXPECT_EQ(match.reader, c.reader) << c.u;
        EXPECT_EQ(match.inSourceMode, c.inSourceMode) << c.u;
    }
}
