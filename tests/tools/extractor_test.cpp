// Extracting files into the private library: reference and source modes, comment
// blocks, members under their owners, duplicates, failures and stopping.
#include <array>

#include <gtest/gtest.h>

#include "extractor_fixture.h"
#include "library/fragment.h"
#include "text/encoding.h"

using namespace orv::tools;
using namespace orv::tools::test;
using namespace orv::library;

namespace {

constexpr std::string_view kHeader =
    "' 点的类型\n"                    // 1
    "' draws points\n"                // 2
    "Type Point2 ' a <point>\n"       // 3
    "  x As Long\n"                   // 4
    "  Declare Constructor\n"         // 5
    "  Declare Operator - () As Point2\n"  // 6
    "End Type\n"                      // 7
    "Dim x As Integer\n"              // 8
    "  ' indented note\n"             // 9
    "Declare Sub DrawIt(ByVal p As Point2) ' it's drawn\n"  // 10
    "Enum Colour\n"                   // 11
    "  Red = 1\n"                     // 12
    "End Enum\n";                     // 13

}  // namespace

TEST_F(ExtractorFixture, ReferenceModeWritesEntriesUnderAFileCategory) {
    write("pts.bi", orv::text::utf8ToGbk(std::string(kHeader)));
    ASSERT_EQ(extractFile("pts.bi"), 1);
    EXPECT_TRUE(prompter.shown.empty());
    EXPECT_EQ(progress.texts, std::vector<std::string>{"提取文件：pts.bi"});

    Row category;
    ASSERT_TRUE(db.findOne(kPrivate, tables::Directory, "DirName='pts.bi'", category, "*", ""));
    EXPECT_EQ(category[dir::ParentDir], "1");
    EXPECT_EQ(category[dir::nType], "10");
    const long long fileCategory = toInt(category[dir::dID]);

    const auto all = entries();
    ASSERT_EQ(all.size(), 7u);  // Point2 with 3 members, DrawIt, Colour with 1 value
    const StoredEntry* type = named(all, "Point2");
    ASSERT_NE(type, nullptr);
    EXPECT_EQ(type->dID, fileCategory);
    EXPECT_EQ(type->sort, 10000);
    EXPECT_EQ(type->data[data::Include], "#include Once \"pts.bi\" 'ln 3");
    EXPECT_EQ(type->data[data::Attribute], "3");
    EXPECT_EQ(type->data[data::Platform], "0");
    EXPECT_EQ(type->data[data::Description], " a <point>");
    EXPECT_EQ(type->data[data::Explain], "点的类型<br>draws&nbsp;points");
    EXPECT_EQ(type->data[data::uID], "7");

    const struct { std::string name; long long sort; std::string display; std::string description; } members[] = {
        {"x", 10000, "x", ""},
        {"Constructor", 9010, "CONSTRUCTOR 构造", "构造函数，创建类型时被执行。"},
        {"-", 9200, "- 算术运算符", "算术运算符"},
    };
    for (const auto& m : members) {
        const StoredEntry* e = named(all, m.name);
        ASSERT_NE(e, nullptr) << m.name;
        EXPECT_EQ(e->dID, type->kID) << m.name;
        EXPECT_EQ(e->sort, m.sort) << m.name;
        EXPECT_EQ(e->display, m.display) << m.name;
        EXPECT_EQ(e->data[data::Description], m.description) << m.name;
    }

    // The statement without SHARED left the block to the next one that yields entries.
    const StoredEntry* sub = named(all, "DrawIt");
    ASSERT_NE(sub, nullptr);
    EXPECT_EQ(sub->data[data::Explain], "&nbsp;&nbsp;'&nbsp;indented&nbsp;note");
    EXPECT_EQ(sub->data[data::Description], " it's drawn");
    EXPECT_EQ(sub->data[data::Include], "#include Once \"pts.bi\" 'ln 10");
    EXPECT_EQ(named(all, "Red")->dID, named(all, "Colour")->kID);

    EXPECT_EQ(statistics.filesRead, 1);
    EXPECT_EQ(statistics.referenceEntries, 7);
    EXPECT_EQ(statistics.typeCounts[kEntryDefinedType], 1);
    EXPECT_EQ(statistics.typeCounts[kEntryMember], 3);
    EXPECT_EQ(statistics.typeCounts[kEntryEnumMember], 1);
    EXPECT_EQ(statistics.duplicateList, "");
}

TEST_F(ExtractorFixture, RuleThreeReimportAddsNothingButTheFileCategory) {
    write("pts.bi", orv::text::utf8ToGbk(std::string(kHeader)));
    settings.duplicateRule = DuplicateRule::SkipAnyKnownName;
    ASSERT_EQ(extractFile("pts.bi"), 1);
    const std::size_t firstRun = entries().size();
    statistics = RunStatistics{};
    ASSERT_EQ(extractFile("pts.bi"), 1);
    EXPECT_EQ(entries().size(), firstRun);
    EXPECT_EQ(db.count(kPrivate, tables::Directory, "DirName='pts.bi'"), 2);
    EXPECT_EQ(statistics.duplicateList,
              "私库重复：Point2 (不增)<br>私库重复：DrawIt (不增)<br>私库重复：Colour (不增)<br>");
}

TEST_F(ExtractorFixture, NamesOfTheSameRunAreNotDuplicates) {
    write("a.bi", "Declare Sub Same()\n#define Q\"x'y\" 1\n");
    write("b.bi", "Declare Sub Same()\n");
    db.addItemUtf(kPublic, tables::KeywordData, "KeyWord='Q\"x''y\"',UKeyWord='Q\"X''Y\"',nType=10");
    settings.duplicateRule = DuplicateRule::SkipPrivateNames;
    settings.publicSidLimit = db.maxId(kPublic, tables::KeywordData, "sID", "");
    settings.privateSidLimit = 0;
    Extractor extractor(db, prompter, progress, settings, statistics);
    ASSERT_EQ(extractor.ExtractFile(1, dir.file("a.bi")), 1);
    ASSERT_EQ(extractor.ExtractFile(1, dir.file("b.bi")), 1);
    EXPECT_EQ(db.count(kPrivate, tables::KeywordData, "UKeyWord='SAME'"), 2);
    EXPECT_EQ(db.count(kPrivate, tables::KeywordData, "KeyWord='Q\"x''y\"'"), 1);
    // The name as written, as text of the report page.
    EXPECT_EQ(statistics.duplicateList, "公库重复：Q&quot;x'y&quot; (已增)<br>");
}

TEST_F(ExtractorFixture, SourceModeOutcomes) {
    settings.mode = ExtractionMode::Source;
    const struct {
        std::string file;
        std::string text;
        std::vector<std::string> names;
    } cases[] = {
        {"defs.bi", "Const A = 1\nDeclare Sub Later()\nSub First()\nEnd Sub\nSub Second()\nEnd Sub", {"First"}},
        {"decls.bi", "Declare Sub OnlyDeclared()\nType T\n a As Long\nEnd Type", {}},
        {"plain.inc", "' nothing to read\nprint 1", {"plain"}},
    };
    for (const auto& c : cases) {
        write(c.file, c.text);
        const std::size_t before = entries().size();
        ASSERT_EQ(extractFile(c.file, 42), 1) << c.file;
        const auto all = entries();
        ASSERT_EQ(all.size() - before, c.names.size()) << c.file;
        if (c.names.empty()) continue;
        const StoredEntry& e = all.back();
        EXPECT_EQ(e.data[data::KeyWord], c.names[0]);
        EXPECT_EQ(e.dID, 42);
        std::string stored = c.text;
        for (std::size_t at = stored.find('\n'); at != std::string::npos; at = stored.find('\n', at + 2))
            stored.replace(at, 1, "\r\n");
        EXPECT_EQ(e.data[data::Source], stored) << c.file;
    }
    // Source mode makes no file categories.
    EXPECT_EQ(db.count(kPrivate, tables::Directory, ""), 0);
}

TEST_F(ExtractorFixture, FailuresAreReportedAndStopTheFile) {
    EXPECT_EQ(extractFile("missing.bi"), 0);
    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_EQ(prompter.shown[0], "无法读取文件！！\r\n" + dir.file("missing.bi"));

    // A row that cannot be added: the error list names the entry (as text: it goes into
    // a page), nothing more is read, and no placement or texts of it are left behind.
    write("three.bi", "Declare Sub First\nDeclare Sub Second\nDeclare Sub Third\n");
    write("plain.inc", "print 1\n");
    write("<i>.inc", "print 1\n");
    const std::string hostError = "malformed&nbsp;assignment&nbsp;&quot;&lt;full&gt;&quot;<br>";
    const struct {
        std::string file;
        ExtractionMode mode;
        std::string failingList, failingData;
        long long rowsBefore;  // entries written before the failing one
        std::string errorList;
    } cases[] = {
        {"three.bi", ExtractionMode::Reference, "Second", "", 1, "Second  err: " + hostError},
        {"three.bi", ExtractionMode::Reference, "", "Second", 1, "Second  err: " + hostError},
        // A file without statements is stored whole, named after the file.
        {"plain.inc", ExtractionMode::Source, "plain", "", 0, "plain  err: " + hostError},
        {"plain.inc", ExtractionMode::Source, "", "plain", 0, "plain  err: " + hostError},
        {"<i>.inc", ExtractionMode::Source, "", "<i>", 0, "&lt;i&gt;  err: " + hostError},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file + " list " + c.failingList + " data " + c.failingData);
        FailingStepsDb failing;
        failing.failingList = c.failingList;
        failing.failingData = c.failingData;
        settings.mode = c.mode;
        statistics = RunStatistics{};
        Extractor extractor(failing, prompter, progress, settings, statistics);
        EXPECT_EQ(extractor.ExtractFile(1, dir.file(c.file)), 0);
        EXPECT_EQ(failing.count(kPrivate, tables::KeywordList, ""), c.rowsBefore);
        EXPECT_EQ(failing.count(kPrivate, tables::KeywordData, ""), c.rowsBefore);
        EXPECT_EQ(statistics.errorList, c.errorList);
    }
    EXPECT_EQ(prompter.shown.size(), 1u);
}

TEST_F(ExtractorFixture, DuplicateNamesAreShownAsText) {
    write("marks.bi", "#define X<i> 1\n#define A&B 2\n#define Plain 3\n");
    db.addItemUtf(kPublic, tables::KeywordData, "KeyWord='X<i>',UKeyWord='X<I>',nType=10");
    db.addItemUtf(kPublic, tables::KeywordData, "KeyWord='A&B',UKeyWord='A&B',nType=10");
    settings.duplicateRule = DuplicateRule::SkipPublicNames;
    ASSERT_EQ(extractFile("marks.bi"), 1);
    EXPECT_EQ(statistics.duplicateList, "公库重复：X&lt;i&gt; (不增)<br>公库重复：A&amp;B (不增)<br>");
    EXPECT_EQ(db.count(kPrivate, tables::KeywordData, ""), 1);
}

TEST_F(ExtractorFixture, NamesAreReadOncePerRunAndAFailedReadAddsNothing) {
    write("run/a.bi", "Declare Sub First\nDeclare Sub Second2\n");
    write("run/b.bi", "Const C1 = 1, C2 = 2\n");
    write("run/sub/c.bi", "Type T\n  x As Long\nEnd Type\n");
    {
        FailingStepsDb counting;
        Extractor extractor(counting, prompter, progress, settings, statistics);
        ASSERT_EQ(extractor.ExtractFolder(1, dir.file("run/")), 1);
        EXPECT_EQ(counting.dataReads, (std::array<int, 2>{1, 1}));
        EXPECT_EQ(counting.count(kPrivate, tables::KeywordData, ""), 6);
    }
    const struct { int lib; } failures[] = {{kPublic}, {kPrivate}};
    for (const auto& f : failures) {
        FailingStepsDb failing;
        failing.failingReads = f.lib;
        statistics = RunStatistics{};
        Extractor extractor(failing, prompter, progress, settings, statistics);
        EXPECT_EQ(extractor.ExtractFile(1, dir.file("run/a.bi")), 0) << f.lib;
        EXPECT_EQ(failing.count(kPrivate, tables::KeywordData, ""), 0) << f.lib;
        EXPECT_EQ(statistics.errorList, "First  err: no&nbsp;such&nbsp;table:&nbsp;NoSuchTable<br>") << f.lib;
    }
}

TEST_F(ExtractorFixture, StopRequestEndsTheScanWithSuccess) {
    write("many.bi", "Declare Sub A\nDeclare Sub B\nDeclare Sub C\nDeclare Sub D\n");
    progress.stopAfterPolls = 2;
    EXPECT_EQ(extractFile("many.bi"), 1);
    EXPECT_EQ(db.count(kPrivate, tables::KeywordList, ""), 2);
}

TEST_F(ExtractorFixture, BadFilesFinishWithCompleteEntriesOnly) {
    std::string binary;
    for (int i = 0; i < 4096; ++i) binary += static_cast<char>((i * 7919) & 0xFF);
    std::string continuations;
    for (int i = 0; i < 100000; ++i) continuations += "_\n";
    const struct { std::string file; std::string bytes; int entries; } cases[] = {
        {"binary.bi", binary, -1},
        {"huge.bi", "Dim Shared big(" + std::string(5 << 20, '9') + ") As Long\n", 1},
        {"marks.bi", continuations, 0},
        // The unterminated type runs to the end and takes the macro line as its own.
        {"open.bi", "Type Open\n  a As Long\n#macro M\n", 2},
        {"bad8.bi", "\xEF\xBB\xBF" "Declare Sub A\xFF\xFE()\nDeclare Sub B()", 2},
        {"odd16.bi", std::string("\xFF\xFE" "D\0i\0m\0", 8) + "\x01", 0},
        {"nul.bi", std::string("Type T\0\nDeclare Sub S(a As \0)\nEnd Type\n", 39), 2},
    };
    for (const auto& c : cases) {
        write(c.file, c.bytes);
        const long long before = db.count(kPrivate, tables::KeywordList, "");
        EXPECT_EQ(extractFile(c.file), 1) << c.file;
        if (c.entries >= 0) {
            EXPECT_EQ(db.count(kPrivate, tables::KeywordList, "") - before, c.entries) << c.file;
        }
    }
    EXPECT_TRUE(prompter.shown.empty());
    // Every placement has its texts.
    EXPECT_EQ(db.count(kPrivate, tables::KeywordList,
                       "sID Not In (Select sID From KeywordData)"), 0);
}
