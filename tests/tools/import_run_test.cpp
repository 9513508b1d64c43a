// Whole import runs: path checks, the root category with its report page, runs that
// follow each other, stopped runs, and the same through orvhelp.
#include <filesystem>
#include <regex>
#include <sstream>

#include <sys/stat.h>

#include <gtest/gtest.h>

#include "cli/commands.h"
#include "extractor_fixture.h"
#include "tools/import_run.h"

using namespace orv::tools;
using namespace orv::tools::test;
using namespace orv::library;
namespace fs = std::filesystem;

namespace {

class ImportRun : public ExtractorFixture {
protected:
    ImportOutcome run(ImportScope scope, const std::string& path) {
        request.scope = scope;
        request.path = path;
        return RunImport(db, prompter, progress, request);
    }

    std::string rootPage(long long rootId) {
        return db.findOnly(kPrivate, tables::Directory, "dID=" + std::to_string(rootId), "Description", "");
    }

    ImportRequest request;
};

// The report's first line and counts, between the times.
std::string reportHead(const std::string& report) { return report.substr(0, report.find("<br>")); }

}  // namespace

TEST(ImportReport, ListsTheRunAsWritten) {
    RunStatistics s;
    s.filesRead = 3;
    s.referenceEntries = 40;
    s.typeCounts[0] = 1;
    s.typeCounts[3] = 12;
    s.typeCounts[5] = 2;
    s.typeCounts[20] = 25;
    s.duplicateList = "私库重复：Foo (已增)<br>";
    const std::string report = ImportReport(ImportScope::Folder, ExtractionMode::Reference, DuplicateRule::AddAll,
                                            {"2026-12-10 08:00:01", "2026-12-10 08:00:04", 3}, s);
    const std::string b = "<font color=\"#3300ff\">";
    EXPECT_EQ(report,
              "<div class=\"panel\"><div class=\"panel-head\"><strong>制作报告</strong></div><div "
              "class=\"panel-body\"><strong>提取范围</strong>=文件夹，<strong>提取方式</strong>=引用文件，"
              "<strong>重复处理</strong>=全部新增<br><strong>开始时间</strong>=[" + b + "2026-12-10 08:00:01</font>] "
              "<strong>结束时间</strong>=[" + b + "2026-12-10 08:00:04</font>] <strong>耗时</strong>=[" + b +
              "3</font>]秒<br>提取文件数：" + b + "3</font>，库个数：" + b + "40</font>，源码个数：" + b +
              "0</font><br>类型个数：0其它=" + b + "1</font>,1语句=" + b + "0</font>,2过程=" + b +
              "0</font>,3函数=" + b + "12</font>,4标准类型=" + b + "0</font>,5定义类型=" + b +
              "2</font>,6别名=" + b + "0</font>,7枚举=" + b + "0</font>,8联合=" + b + "0</font>,9常量=" + b +
              "0</font>,10宏=" + b + "0</font>,11变量=" + b + "0</font>,20成员=" + b + "25</font>,21枚举成员=" +
              b + "0</font><br><strong>发生重复关键词名称情况：</strong><br>私库重复：Foo (已增)<br>"
              "<strong>发生写入数据库错误而没写入的情况：</strong><br>没有错误发生</div></div>");

    const struct { ImportScope scope; ExtractionMode mode; DuplicateRule rule; const char* says; } heads[] = {
        {ImportScope::File, ExtractionMode::Source, DuplicateRule::SkipPublicNames, "=单文件，<strong>提取方式</strong>=源码，<strong>重复处理</strong>=只增私库"},
        {ImportScope::Folder, ExtractionMode::Source, DuplicateRule::SkipPrivateNames, "=文件夹，<strong>提取方式</strong>=源码，<strong>重复处理</strong>=只增公库"},
        {ImportScope::File, ExtractionMode::Reference, DuplicateRule::SkipAnyKnownName, "=单文件，<strong>提取方式</strong>=引用文件，<strong>重复处理</strong>=不新增"},
    };
    for (const auto& h : heads) {
        const std::string head = reportHead(ImportReport(h.scope, h.mode, h.rule, {}, RunStatistics{}));
        EXPECT_NE(head.find(h.says), std::string::npos) << head;
    }
    EXPECT_NE(ImportReport(ImportScope::File, ExtractionMode::Reference, DuplicateRule::AddAll, {}, RunStatistics{})
                  .find("情况：</strong><br>没有重复发生<strong>"),
              std::string::npos);
}

TEST(ImportPlatform, FromTheCheckBoxes) {
    EXPECT_EQ(importPlatform(false, false), kPlatformWindows);
    EXPECT_EQ(importPlatform(true, false), kPlatformWindows);
    EXPECT_EQ(importPlatform(false, true), kPlatformLinux);
    EXPECT_EQ(importPlatform(true, true), kPlatformBoth);
}

TEST_F(ImportRun, RejectedPathsWriteNothing) {
    write("present.bi", "Declare Sub A\n");
    const struct { ImportScope scope; std::string path; ImportRejection why; const char* says; } cases[] = {
        {ImportScope::File, "", ImportRejection::NoFile, "未选择目标文件！"},
        {ImportScope::File, dir.file("absent.bi"), ImportRejection::MissingFile, "目标文件不存在！"},
        {ImportScope::File, dir.path().string(), ImportRejection::MissingFile, "目标文件不存在！"},
        {ImportScope::Folder, "", ImportRejection::NoFolder, "未选择目标文件夹！"},
        {ImportScope::Folder, dir.file("absent/"), ImportRejection::MissingFolder, "目标文件夹不存在！"},
        {ImportScope::Folder, dir.file("present.bi"), ImportRejection::MissingFolder, "目标文件夹不存在！"},
    };
    for (const auto& c : cases) {
        prompter.shown.clear();
        const ImportOutcome outcome = run(c.scope, c.path);
        EXPECT_EQ(outcome.rejection, c.why) << c.path;
        EXPECT_EQ(prompter.shown, std::vector<std::string>{c.says}) << c.path;
    }
    EXPECT_EQ(db.count(kPrivate, tables::Directory, ""), 0);
    EXPECT_TRUE(progress.texts.empty());
}

TEST_F(ImportRun, AFileRunStoresItsReportAsTheRootCategorysPage) {
    db.addItemUtf(kPublic, tables::User, "uName='O''Neil',uID=42");
    request.accountName = "O'Neil";
    write("inc/gfx.bi", "' Draws it.\nDeclare Sub Draw(x As Long)\nType Point\n  x As Long\nEnd Type\n");
    const ImportOutcome outcome = run(ImportScope::File, dir.file("inc/gfx.bi"));
    ASSERT_EQ(outcome.rejection, ImportRejection::None);
    EXPECT_EQ(prompter.shown, std::vector<std::string>{"制作完成！"});

    Row root;
    ASSERT_TRUE(db.findOne(kPrivate, tables::Directory, "dID=" + std::to_string(outcome.rootId), root, "*", ""));
    EXPECT_TRUE(std::regex_match(root[dir::DirName],
                                 std::regex(R"(\d{4}-\d\d-\d\d \d\d:\d\d:\d\d制作)")))
        << root[dir::DirName];
    EXPECT_EQ(root[dir::ParentDir], "0");
    EXPECT_EQ(root[dir::nType], std::to_string(kCategoryShownInIde));
    EXPECT_EQ(root[dir::uID], "42");
    EXPECT_EQ(root[dir::Description], outcome.report);
    EXPECT_NE(outcome.report.find("=单文件，"), std::string::npos);
    EXPECT_NE(outcome.report.find("提取文件数：<font color=\"#3300ff\">1</font>，库个数：<font color=\"#3300ff\">3"),
              std::string::npos)
        << outcome.report;

    // The file's category under the root; the include path is the file's own name.
    const std::vector<StoredEntry> all = entries();
    const StoredEntry* draw = named(all, "Draw");
    ASSERT_NE(draw, nullptr);
    EXPECT_EQ(db.findOnly(kPrivate, tables::Directory, "dID=" + std::to_string(draw->dID), "ParentDir", ""),
              std::to_string(outcome.rootId));
    EXPECT_EQ(draw->data[data::Include], "#include Once \"gfx.bi\" 'ln 2");
    EXPECT_EQ(draw->data[data::uID], "42");
}

TEST_F(ImportRun, EachRunReportsOnlyItsOwnWork) {
    write("a.bi", "Declare Function Twice(x As Long) As Long\n");
    const ImportOutcome first = run(ImportScope::File, dir.file("a.bi"));
    const ImportOutcome second = run(ImportScope::File, dir.file("a.bi"));
    EXPECT_EQ(first.statistics.filesRead, 1);
    EXPECT_EQ(second.statistics.filesRead, 1);
    EXPECT_EQ(second.statistics.typeCounts[kEntryFunction], 1);
    EXPECT_EQ(first.statistics.duplicateList, "");
    EXPECT_EQ(second.statistics.duplicateList, "私库重复：Twice (已增)<br>");
    EXPECT_NE(first.rootId, second.rootId);
    EXPECT_EQ(rootPage(second.rootId), second.report);
}

TEST_F(ImportRun, AStopDuringAFolderStillWritesTheReport) {
    for (const char* name : {"a.bi", "b.bi", "c.bi", "d.bi", "e.bi", "f.bi"})
        write(std::string("inc/") + name, "Declare Sub S_" + std::string(name, 1) + "\n");
    progress.stopAfterPolls = 4;
    // A typed folder path may lack its closing separator.
    const ImportOutcome outcome = run(ImportScope::Folder, dir.file("inc"));
    ASSERT_EQ(outcome.rejection, ImportRejection::None);
    EXPECT_GT(outcome.statistics.filesRead, 0);
    EXPECT_LT(outcome.statistics.filesRead, 6);
    EXPECT_NE(outcome.report.find("=文件夹，"), std::string::npos);
    EXPECT_EQ(rootPage(outcome.rootId), outcome.report);
    EXPECT_EQ(prompter.shown, std::vector<std::string>{"制作完成！"});
}

TEST_F(ImportRun, AnUnreadableFileEndsTheWalkButNotTheRun) {
    write("inc/a.bi", "Declare Sub A\n");
    write("inc/sub/b.bi", "Type B\n  x As Long\nEnd Type\n");
    const std::string pipe = dir.file("inc/sub/pipe.bi");
    ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
    fs::create_directory_symlink(dir.path() / "inc", dir.path() / "inc/sub/loop");
    const ImportOutcome outcome = run(ImportScope::Folder, dir.file("inc/"));
    ASSERT_EQ(outcome.rejection, ImportRejection::None);
    EXPECT_EQ(prompter.shown, (std::vector<std::string>{"无法读取文件！！\r\n" + pipe, "制作完成！"}));
    EXPECT_EQ(rootPage(outcome.rootId), outcome.report);
    EXPECT_EQ(db.count(kPrivate, tables::KeywordList, "sID Not In (Select sID From KeywordData)"), 0);
    EXPECT_EQ(db.count(kPrivate, tables::KeywordData, "sID Not In (Select sID From KeywordList)"), 0);
}

TEST_F(ImportRun, AFailedExtractionIsReportedAndCommitted) {
    FailingStepsDb failing;
    write("two.bi", "Declare Sub First\nDeclare Sub Second\n");
    request.scope = ImportScope::File;
    request.path = dir.file("two.bi");

    const ImportOutcome outcome = RunImport(failing, prompter, progress, request);
    EXPECT_EQ(prompter.shown, std::vector<std::string>{"制作完成！"});
    EXPECT_TRUE(outcome.committed);
    EXPECT_NE(outcome.report.find("没写入的情况：</strong><br>Second  err: "), std::string::npos) << outcome.report;
    EXPECT_EQ(failing.findOnly(kPrivate, tables::Directory, "dID=" + std::to_string(outcome.rootId), "Description", ""),
              outcome.report);

    // Without a root category nothing starts.
    failing.failCategories = true;
    prompter.shown.clear();
    const ImportOutcome refused = RunImport(failing, prompter, progress, request);
    EXPECT_EQ(refused.rejection, ImportRejection::RootCategory);
    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_EQ(prompter.shown[0].rfind("写数据库失败！\r\n错误信息：\r\n", 0), 0u);
    EXPECT_EQ(failing.count(kPrivate, tables::KeywordData, ""), 1);
}

TEST_F(ImportRun, ATransactionThatFailsIsNeverReportedAsDone) {
    write("one.bi", "Declare Sub One\n");
    request.scope = ImportScope::File;
    request.path = dir.file("one.bi");
    const std::string failed = "写数据库失败！\r\n错误信息：\r\n";
    const struct { bool atBegin; ImportRejection rejection; } cases[] = {
        {true, ImportRejection::Transaction},  // not begun: nothing is extracted
        {false, ImportRejection::None},        // not committed: the run's rows are lost
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.atBegin ? "begin" : "commit");
        FailingStepsDb failing;
        (c.atBegin ? failing.failingBegin : failing.failingCommit) = kPrivate;
        prompter.shown.clear();
        const ImportOutcome outcome = RunImport(failing, prompter, progress, request);
        EXPECT_EQ(outcome.rejection, c.rejection);
        EXPECT_FALSE(outcome.committed);
        ASSERT_EQ(prompter.shown.size(), 1u);
        EXPECT_EQ(prompter.shown[0].rfind(failed, 0), 0u) << prompter.shown[0];
        if (c.atBegin) {
            EXPECT_EQ(failing.count(kPrivate, tables::KeywordData, ""), 0);
        }
    }
}

TEST_F(ImportRun, NamesReachTheReportPageAsText) {
    // An apostrophe inside a string is part of the name; the page stores it single.
    db.addItemUtf(kPrivate, tables::KeywordData, "KeyWord='Q\"x''y\"<b>',UKeyWord='Q\"X''Y\"<B>',nType=10");
    write("marks.bi", "#define Q\"x'y\"<b> 2\n");
    const ImportOutcome outcome = run(ImportScope::File, dir.file("marks.bi"));
    ASSERT_TRUE(outcome.committed);
    const std::string page = rootPage(outcome.rootId);
    EXPECT_NE(page.find("情况：</strong><br>私库重复：Q&quot;x'y&quot;&lt;b&gt; (已增)<br><strong>"), std::string::npos) << page;
    EXPECT_EQ(page.find("<b>"), std::string::npos) << page;
}

TEST_F(ImportRun, OrvhelpImportPrintsTheReport) {
    const fs::path ide = dir.path() / "ide";
    fs::create_directories(ide / "Settings");
    fs::create_directories(ide / "Private");
    {
        SqliteHostDb files;
        std::string error;
        ASSERT_TRUE(files.open(kPublic, (ide / "Settings/PubHelp.db").string(), OpenMode::CreateMissing, error));
        ASSERT_TRUE(files.open(kPrivate, (ide / "Private/PriHelp.db").string(), OpenMode::CreateMissing, error));
    }
    write("src/one.bi", "Declare Sub One\n");
    write("src/deeper/two.bi", "Const TWO = 2\n");
    const auto orvhelp = [&](std::vector<std::string> args) {
        args.insert(args.end(), {"--ide", ide.string()});
        std::ostringstream out, err;
        const int status = orv::cli::run(args, out, err);
        return std::tuple{status, out.str(), err.str()};
    };

    auto [status, out, err] = orvhelp({"import", dir.file("src/one.bi"), "--dup", "3", "--platform", "2"});
    EXPECT_EQ(status, 0) << err;
    EXPECT_EQ(out.find('\r'), std::string::npos) << "no progress line when the output is not a terminal";
    EXPECT_NE(out.find("制作完成！\n制作报告\n提取范围=单文件，提取方式=引用文件，重复处理=不新增\n开始时间=["),
              std::string::npos)
        << out;
    EXPECT_NE(out.find("\n提取文件数：1，库个数：1，源码个数：0\n"), std::string::npos) << out;
    EXPECT_NE(out.find("没有重复发生发生写入数据库错误而没写入的情况：\n没有错误发生\n"), std::string::npos) << out;

    std::tie(status, out, err) = orvhelp({"import", dir.file("src"), "--source"});
    EXPECT_EQ(status, 0) << err;
    EXPECT_NE(out.find("提取范围=文件夹，提取方式=源码，重复处理=全部新增"), std::string::npos) << out;
    EXPECT_NE(out.find("提取文件数：2，"), std::string::npos) << out;

    SqliteHostDb files;
    std::string error;
    ASSERT_TRUE(files.open(kPrivate, (ide / "Private/PriHelp.db").string(), OpenMode::ExistingOnly, error));
    EXPECT_EQ(files.findOnly(kPrivate, tables::KeywordData, "KeyWord='One'", "Platform", ""), "2");
    EXPECT_EQ(files.count(kPrivate, tables::Directory, "ParentDir=0 And DirName Like '%制作'"), 2);

    const struct { std::vector<std::string> args; int status; const char* says; } refused[] = {
        {{"import", dir.file("src/none.bi")}, 1, "目标文件不存在！"},
        {{"import", dir.file("src/one.bi"), "--dup", "4"}, 2, "--dup must be"},
        {{"import", dir.file("src/one.bi"), "--platform", "x"}, 2, "--platform must be"},
    };
    for (const auto& r : refused) {
        std::tie(status, out, err) = orvhelp(r.args);
        EXPECT_EQ(status, r.status) << r.says;
        EXPECT_NE(err.find(r.says), std::string::npos) << err;
    }
}
