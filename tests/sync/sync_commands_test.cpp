// orvhelp's digest, scramble, unscramble and apply subcommands.
#include "cli/commands.h"
#include "library/schema.h"
#include "library/sqlite_host_db.h"
#include "support/orvhelp_runner.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <sstream>

using namespace orv;

namespace {

using Result = orv::test::OrvhelpResult;
using orv::test::orvhelp;

// An IDE folder whose public library holds category 5.
class SyncIde : public ::testing::Test {
protected:
    void SetUp() override {
        std::filesystem::create_directories(dir.path() / "Settings");
        library::SqliteHostDb db;
        std::string error;
        ASSERT_TRUE(db.open(library::kPublic, publicFile(), library::OpenMode::CreateMissing, error)) << error;
        ASSERT_GT(db.addItemUtf(library::kPublic, library::tables::Directory, "dID=5,DirName='A'"), 0);
    }
    std::string publicFile() const { return dir.file("Settings/PubHelp.db"); }
    std::string ide() const { return dir.path().string(); }
    std::string value(std::string_view table, std::string_view where, std::string_view field) {
        library::SqliteHostDb db;
        std::string error;
        EXPECT_TRUE(db.open(library::kPublic, publicFile(), library::OpenMode::ExistingOnly, error)) << error;
        return db.findOnly(library::kPublic, table, where, field, "");
    }
    test::TempDir dir;
};

}  // namespace

TEST(SyncCommands, Packing) {
    const struct { std::vector<std::string> args; int status; const char* out; } cases[] = {
        {{"digest", "secret"}, 0, "ecd0e0f0d2a6ee695ebe22948eab7690\n"},
        {{"scramble", "abc", "--digit", "1"}, 0, "560a1YjJW\n"},
        {{"unscramble", "560a1YjJW"}, 0, "abc\n"},
        {{"unscramble", "560b1YjJW"}, 1, ""},
        {{"unscramble", "abc"}, 1, ""},
        {{"scramble", "abc", "--digit", "0"}, 2, ""},
        {{"scramble", "abc", "--digit", "12"}, 2, ""},
    };
    for (const auto& c : cases) {
        const Result r = orvhelp(c.args);
        EXPECT_EQ(r.status, c.status) << c.args[1] << r.err;
        EXPECT_EQ(r.out, c.out) << c.args[1];
    }
    const Result packed = orvhelp({"scramble", "澄岭9,x"});
    ASSERT_EQ(packed.status, 0);
    EXPECT_EQ(orvhelp({"unscramble", packed.out.substr(0, packed.out.size() - 1)}).out, "澄岭9,x\n");
}

TEST_F(SyncIde, ApplyCarriesOutAChange) {
    Result r = orvhelp({"apply", "--ide", ide(), "0", "70", "DirName='B, C',ParentDir=5", "--user-id", "7",
                        "--user-name", "bob", "--date", "1700000000"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "70\n");
    EXPECT_EQ(value(library::tables::Directory, "dID=70", "DirName"), "B, C");
    EXPECT_EQ(value(library::tables::Directory, "dID=70", "uDate"), "1700000000");
    EXPECT_EQ(value(library::tables::User, "uID=7", "uName"), "bob");

    r = orvhelp({"apply", "2", "0", "KeyWord='Cls',dID=70", "--ide", ide()});
    EXPECT_EQ(r.status, 0) << r.err;
    const std::string kID = value(library::tables::KeywordList, "dID=70", "kID");
    EXPECT_EQ(r.out, kID + "\n" + kID + "\n");
}

TEST_F(SyncIde, ApplyRefusals) {
    const struct { std::vector<std::string> args; int status; const char* says; } cases[] = {
        {{"apply", "1", "5", "DirName=(SELECT 1)"}, 1, "not applied"},
        {{"apply", "5", "0", "原分类ID=(5)目标分类ID=(0)被移分类=(5) OR (1=1)被移词条=()"}, 1, "not applied"},
        {{"apply", "9", "5", "DirName='x'"}, 1, "not applied"},
        {{"apply", "x", "5", "DirName='x'"}, 2, "CODE must be a whole number"},
        {{"apply", "1", "5", "DirName='x'", "--user-id", "-3"}, 2, "--user-id must be a whole number"},
        {{"apply", "1", "5"}, 2, "usage: orvhelp apply"},
    };
    for (const auto& c : cases) {
        std::vector<std::string> args = c.args;
        args.insert(args.end(), {"--ide", ide()});
        const Result r = orvhelp(args);
        EXPECT_EQ(r.status, c.status) << r.err;
        EXPECT_NE(r.err.find(c.says), std::string::npos) << r.err;
    }
    EXPECT_EQ(value(library::tables::Directory, "dID=5", "DirName"), "A");
    EXPECT_EQ(value(library::tables::Directory, "dID=5", "ParentDir"), "0");
    EXPECT_EQ(orvhelp({"apply", "1", "5", "DirName='x'"}).status, 2);  // no --ide
}
