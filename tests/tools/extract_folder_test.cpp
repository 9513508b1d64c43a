// Walking folder trees: a category per sub-folder, header files only, links not
// followed, and the corpus imported whole.
#include <cstdlib>
#include <filesystem>

#include <gtest/gtest.h>

#include "extractor_fixture.h"

using namespace orv::tools;
using namespace orv::tools::test;
using namespace orv::library;
namespace fs = std::filesystem;

TEST_F(ExtractorFixture, FolderTreeBecomesCategories) {
    write("inc/a.bi", "Declare Sub InA\n");
    write("inc/sub/b.INC", "Declare Sub InB\n");
    write("inc/sub/readme.txt", "Declare Sub NotRead\n");
    fs::create_directories(dir.path() / "inc/empty");
    // A link back up the tree must not make the walk endless.
    fs::create_directory_symlink(dir.path() / "inc", dir.path() / "inc/sub/loop");
    settings.rootFolder = dir.file("inc/");
    Extractor extractor(db, prompter, progress, settings, statistics);
    ASSERT_EQ(extractor.ExtractFolder(1, dir.file("inc/")), 1);
    EXPECT_TRUE(prompter.shown.empty());
    EXPECT_EQ(statistics.filesRead, 2);
    EXPECT_EQ(db.count(kPrivate, tables::Directory, "DirName='sub' And ParentDir=1"), 1);
    EXPECT_EQ(db.count(kPrivate, tables::Directory, "DirName='empty' And ParentDir=1"), 1);
    const std::string include =
        db.findOnly(kPrivate, tables::KeywordData, "KeyWord='InB'", "Include", "");
    EXPECT_EQ(include, "#include Once \"sub/b.INC\" 'ln 1");
    EXPECT_EQ(db.count(kPrivate, tables::KeywordData, "KeyWord='NotRead'"), 0);
}

TEST_F(ExtractorFixture, WholeCorpusImportsWithoutErrors) {
    const char* shared = std::getenv("ORV_SHARED_DIR");
    const fs::path corpus = shared ? fs::path(shared) / "corpus" / "fbc-inc" : fs::path();
    if (corpus.empty() || !fs::is_directory(corpus))
        GTEST_SKIP() << "header corpus not found: set ORV_SHARED_DIR to the shared folder";
    settings.rootFolder = corpus.string() + "/";
    db.transaction(kPrivate, TransactionStep::Begin);
    Extractor extractor(db, prompter, progress, settings, statistics);
    ASSERT_EQ(extractor.ExtractFolder(1, settings.rootFolder), 1);
    db.transaction(kPrivate, TransactionStep::Commit);
    EXPECT_TRUE(prompter.shown.empty());
    EXPECT_EQ(statistics.errorList, "");
    EXPECT_GT(statistics.filesRead, 1000);
    // Every member sits under an owner that can have members.
    EXPECT_EQ(db.count(kPrivate, tables::KeywordList,
                       "nType>=20 And dID Not In (Select kID From KeywordList Where nType In (5,7,8))"),
              0);
    // Types and enumerations with members got them.
    EXPECT_EQ(db.count(kPrivate, "KeywordList,KeywordData",
                       "KeywordList.sID=KeywordData.sID And KeywordList.nType In (5,7,8) And "
                       "KeywordData.Member<>'' And KeywordList.kID Not In "
                       "(Select dID From KeywordList Where nType>=20)"),
              0);
    const struct { const char* name; int type; const char* include; } known[] = {
        {"z_stream_s", kEntryDefinedType, "#include Once \"zlib.bi\" 'ln 87"},
        {"zlibVersion", kEntryFunction, "#include Once \"zlib.bi\" 'ln 158"},
        {"UTF_ENCOD", kEntryEnum, "#include Once \"utf_conv.bi\" 'ln 3"},
        {"lzo_align_t", kEntryUnion, "#include Once \"lzo/lzoconf.bi\" 'ln 144"},
    };
    for (const auto& k : known) {
        Row row;
        ASSERT_TRUE(db.findOne(kPrivate, tables::KeywordData, std::string("KeyWord='") + k.name + "'",
                               row, "*", ""))
            << k.name;
        EXPECT_EQ(toInt(row[data::nType]), k.type) << k.name;
        EXPECT_EQ(row[data::Include], k.include) << k.name;
    }
}
