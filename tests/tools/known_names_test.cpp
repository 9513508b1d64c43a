// The names a run reads once per library answer every duplicate question exactly as a
// look-up of the one name in that library would.
#include "tools/known_names.h"

#include <gtest/gtest.h>

#include "library/fragment.h"
#include "library/schema.h"
#include "library/sqlite_host_db.h"

using namespace orv::tools;
using namespace orv::library;

namespace {

// The look-up the duplicate check stands for: one statement per name.
bool lookedUp(HostDb& db, int lib, long long sidLimit, const std::string& uKeyWord) {
    const std::string where = "sID<" + std::to_string(sidLimit + 1) + " And nType<20 And UKeyWord=" +
                              quoteText(uKeyWord);
    return toInt(db.findOnly(lib, tables::KeywordData, where, "sID", "")) != 0;
}

}  // namespace

TEST(KnownNames, AnswerAsTheLookUpOfEachName) {
    SqliteHostDb db;
    std::string error;
    ASSERT_TRUE(db.openInMemory(kPublic, kPublic, error)) << error;
    ASSERT_TRUE(db.openInMemory(kPrivate, kPrivate, error)) << error;
    const char* const rows[] = {
        "UKeyWord='FOO',nType=3",       "UKeyWord='MEMBER',nType=20",  "UKeyWord=NULL,nType=0",
        "UKeyWord='IT''S',nType=9",     "UKeyWord='lower',nType=9",     "UKeyWord='甲乙',nType=5",
        "UKeyWord='',nType=0",          "UKeyWord='TRAIL ',nType=10",  "UKeyWord='ENUMVAL',nType=21",
    };
    for (const int lib : {kPublic, kPrivate}) {
        for (const char* row : rows) ASSERT_GE(db.addItemUtf(lib, tables::KeywordData, row), 1) << row;
        // Added after the run began: above its limit.
        ASSERT_GE(db.addItemUtf(lib, tables::KeywordData, "UKeyWord='LATER',nType=3"), 1);
    }
    RunSettings settings;
    settings.publicSidLimit = db.maxId(kPublic, tables::KeywordData, "sID", "") - 1;
    settings.privateSidLimit = 4;  // the first four rows: a nameless one, but no empty name
    KnownNames known(db, settings);
    const std::string names[] = {"FOO", "foo", "MEMBER", "IT'S", "IT''S", "LOWER", "lower", "甲乙",
                                 "",    "TRAIL", "TRAIL ", "ENUMVAL", "LATER", "NULL", "NOTHING"};
    int found = 0;
    for (const int lib : {kPublic, kPrivate}) {
        const long long limit = lib == kPublic ? settings.publicSidLimit : settings.privateSidLimit;
        for (const std::string& name : names) {
            const std::optional<bool> answer = known.contains(lib, name);
            ASSERT_TRUE(answer.has_value()) << name;
            EXPECT_EQ(*answer, lookedUp(db, lib, limit, name)) << lib << " '" << name << "'";
            found += *answer;
        }
    }
    EXPECT_EQ(found, 8);  // FOO, IT'S, lower, 甲乙, '', "TRAIL " in public; FOO, IT'S in private
}
