// Which lines the line scan hands to which reader.
#include "tools/statement_table.h"

#include <gtest/gtest.h>

using namespace orv::tools;

TEST(StatementTable, LinesFindTheirReader) {
    const struct { std::string_view u; StatementReader reader; } cases[] = {
        {"#MACRO M(A)", ReadMacro},          {"CONST A = 1", ReadConstants},
        {"COMMON SHARED A", ReadVariables},  {"DIM SHARED A", ReadVariables},
        {"STATIC SHARED A", ReadVariables},  {"#DEFINE A", ReadDefine},
        {"TYPE T", ReadType},                {"UNION U", ReadUnion},
        {"ENUM E", ReadEnum},                {"SUB S", ReadProcedure},
        {"FUNCTION F() AS LONG", ReadProcedure}, {"DECLARE  SUB S", ReadProcedure},
        {"PRIVATE FUNCTION F", ReadProcedure},   {"PUBLIC SUB S", ReadProcedure},
        // Not statements the extractor reads.
        {"ENUM", nullptr},                   {"TYPE", nullptr},
        {"#DEFINEX", nullptr},               {"FUNCTION = 1", nullptr},
        {"PRIVATE DECLARE FUNCTION F", nullptr}, {"PROPERTY P", nullptr},
        {"REM SUB S", nullptr},              {"SUBX", nullptr},
        {"EXTERN \"C\"", nullptr},           {"", nullptr},
    };
    for (const auto& c : cases) EXPECT_EQ(FindStatementReader(c.u), c.reader) << c.u;
}
