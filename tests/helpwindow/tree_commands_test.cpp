// orvhelp's tree, open and links commands end to end, over library files in an IDE folder.
#include "helpwindow/helpwindow_fixture.h"

#include "library/fragment.h"
#include "library/schema.h"
#include "library/sqlite_host_db.h"
#include "support/orvhelp_runner.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

namespace orv::test {
namespace {

using namespace library;

std::string line(std::initializer_list<std::string> fields) {
    std::string s;
    for (const std::string& f : fields) s += (s.empty() ? "" : "\t") + f;
    return s + "\n";
}
std::string n(long long v) { return std::to_string(v); }

// An IDE folder whose public library holds A > B > (inB, RECT with members), a public
// bin with one entry and a top-level entry; its private library P > Q > inQ (with a
// member) and a top-level entry. No private root yet: the first tree load adds it.
class TreeCommands : public ::testing::Test {
protected:
    void SetUp() override {
        std::filesystem::create_directories(dir.path() / "Settings");
        std::filesystem::create_directories(dir.path() / "Private");
        SqliteHostDb db;
        std::string error;
        ASSERT_TRUE(db.open(kPublic, dir.file("Settings/PubHelp.db"), OpenMode::CreateMissing, error)) << error;
        ASSERT_TRUE(db.open(kPrivate, dir.file("Private/PriHelp.db"), OpenMode::CreateMissing, error)) << error;
        LibraryRows rows(db);
        HostTransaction publicRows(db, kPublic), privateRows(db, kPrivate);
        a = rows.category(kPublic, 0, "A");
        b = rows.category(kPublic, a, "B");
        inB = rows.entry(kPublic, b, "inB");
        rect = rows.entry(kPublic, b, "RECT", kEntryDefinedType);
        right = rows.member(kPublic, rect, "right");
        left = rows.member(kPublic, rect, "left");
        bin = rows.category(kPublic, 0, std::string(kPublicBinName), kCategoryRecycleBin, kRecycleBinSort);
        gone = rows.entry(kPublic, bin, "gone");
        topEntry = rows.entry(kPublic, 0, "topEntry");
        p = rows.category(kPrivate, 0, "P");
        q = rows.category(kPrivate, p, "Q");
        inQ = rows.entry(kPrivate, q, "inQ", kEntryEnum);
        red = rows.member(kPrivate, inQ, "RED", kEntryEnumMember);
        privTop = rows.entry(kPrivate, 0, "privTop");
        for (int i = 0; i < 501; ++i) {
            const long long kID = rows.entry(kPublic, a, "x" + std::to_string(1000 + i));
            if (i == 0) firstX = kID;
        }
        inBsID = db.findOnly(kPublic, tables::KeywordList, "kID=" + n(inB), "sID", "");
        ASSERT_TRUE(publicRows.commit());
        ASSERT_TRUE(privateRows.commit());
    }
    OrvhelpResult run(std::vector<std::string> args) {
        args.push_back("--ide");
        args.push_back(dir.path().string());
        return orvhelp(args);
    }
    long long privateRoot() {
        SqliteHostDb db;
        std::string error;
        EXPECT_TRUE(db.open(kPublic, dir.file("Settings/PubHelp.db"), OpenMode::ExistingOnly, error)) << error;
        EXPECT_EQ(db.count(kPublic, tables::Directory, "nType=11"), 1);
        return toInt(db.findOnly(kPublic, tables::Directory, "nType=11", "dID", ""));
    }

    TempDir dir;
    long long a = 0, b = 0, inB = 0, rect = 0, right = 0, left = 0, bin = 0, gone = 0, topEntry = 0, p = 0, q = 0,
              inQ = 0, red = 0, privTop = 0, firstX = 0;
    std::string inBsID;
};

TEST_F(TreeCommands, TheTopLevelWithThePrivateRootAddedOnce) {
    const OrvhelpResult first = run({"tree"});
    ASSERT_EQ(first.status, 0) << first.err;
    const long long root = privateRoot();
    const std::string a = line({n(this->a), "0", "0", "C", "1", "A"});
    const std::string rootLine = line({n(root), "1", "11", "C", "1", "[私用库]"});
    const std::string binLine = line({n(bin), "0", "2", "C", "1", "[公用库回收站]"});
    const std::string entry = line({n(topEntry), "0", "0", "E", "0", "topEntry"});
    // Just added, the root comes after the categories read; from then on in its place.
    EXPECT_EQ(first.out, a + binLine + rootLine + entry);
    const OrvhelpResult second = run({"tree"});
    EXPECT_EQ(second.out, a + rootLine + binLine + entry);
    EXPECT_EQ(privateRoot(), root);

    // With bins hidden in the settings.
    writeFile(dir.path() / "Settings" / "orv.ini", "[setup]\r\nrecycle=0\r\n");
    const OrvhelpResult hidden = run({"tree"});
    EXPECT_EQ(hidden.out.find("回收站"), std::string::npos) << hidden.out;
    EXPECT_NE(hidden.out.find("topEntry"), std::string::npos);
}

TEST_F(TreeCommands, TheLevelBelowANode) {
    run({"tree"});
    const long long root = privateRoot();
    struct Case {
        std::string node;
        std::string out;
    };
    const Case cases[] = {
        {"r0" + n(root), line({n(p), "1", "0", "C", "1", "P"}) + line({n(privTop), "1", "0", "E", "0", "privTop"})},
        {"r0" + n(b), line({n(rect), "0", "5", "E", "1", "RECT"}) + line({n(inB), "0", "0", "E", "0", "inB"})},
        {"k0" + n(rect), line({n(left), "0", "20", "E", "0", "left"}) + line({n(right), "0", "20", "E", "0", "right"})},
        {"r0" + n(bin), line({n(gone), "0", "0", "E", "0", "gone"})},
        {"r1" + n(q), line({n(inQ), "1", "7", "E", "1", "inQ"})},
        {"k1" + n(inQ), line({n(red), "1", "21", "E", "0", "RED"})},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.node);
        const OrvhelpResult r = run({"tree", c.node});
        EXPECT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(r.out, c.out);
    }
}

TEST_F(TreeCommands, ALongLevelEndsWithTheMoreLine) {
    const OrvhelpResult r = run({"tree", "r0" + n(a)});
    ASSERT_EQ(r.status, 0) << r.err;
    std::vector<std::string> lines;
    for (size_t from = 0; from < r.out.size();) {
        const size_t end = r.out.find('\n', from);
        lines.push_back(r.out.substr(from, end - from));
        from = end + 1;
    }
    ASSERT_EQ(lines.size(), 502u);  // B, 500 entries, the more line
    EXPECT_EQ(lines.front() + "\n", line({n(b), "0", "0", "C", "1", "B"}));
    EXPECT_EQ(lines[1] + "\n", line({n(firstX), "0", "0", "E", "0", "x1000"}));
    EXPECT_EQ(lines.back(), ".......下面还有1条被省略");
}

TEST_F(TreeCommands, OpenPrintsWhereALinkLeadsAndThePathDownTheTree) {
    run({"tree"});
    const long long root = privateRoot();
    struct Case {
        std::string link;
        std::string out;
    };
    const Case cases[] = {
        {"k0" + n(inB), line({"0", "0", n(inB)}) + line({"path", n(a) + "\\" + n(b) + "\\" + n(inB)}) +
                            line({"selected", n(inB), "0", "0", "E", "0", "inB"})},
        {"tINB", line({"0", "0", n(inB)}) + line({"path", n(a) + "\\" + n(b) + "\\" + n(inB)}) +
                     line({"selected", n(inB), "0", "0", "E", "0", "inB"})},
        {"s0" + inBsID, line({"0", "0", n(inB)}) + line({"path", n(a) + "\\" + n(b) + "\\" + n(inB)}) +
                            line({"selected", n(inB), "0", "0", "E", "0", "inB"})},
        {"r0" + n(b), line({"0", "1", n(b)}) + line({"path", n(a) + "\\" + n(b)}) +
                          line({"selected", n(b), "0", "0", "C", "1", "B"})},
        {"c0" + n(rect) + ",left", line({"0", "2", n(left)}) +
                                       line({"path", n(a) + "\\" + n(b) + "\\" + n(rect) + "\\" + n(left)}) +
                                       line({"selected", n(left), "0", "20", "E", "0", "left"})},
        {"y1" + n(red), line({"1", "2", n(red)}) +
                            line({"path", n(root) + "\\" + n(p) + "\\" + n(q) + "\\" + n(inQ) + "\\" + n(red)}) +
                            line({"selected", n(red), "1", "21", "E", "0", "RED"})},
        {"r0" + n(root), line({"0", "1", n(root)}) + line({"path", n(root)}) +
                             line({"selected", n(root), "1", "11", "C", "1", "[私用库]"})},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.link);
        const OrvhelpResult r = run({"open", c.link});
        EXPECT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(r.out, c.out);
    }
}

TEST_F(TreeCommands, LinksPrintsWhatOtherPagesLinkToANodeWith) {
    run({"tree"});
    const long long root = privateRoot();
    const std::pair<std::string, std::string> cases[] = {
        {"k0" + n(inB), "href=\"s0" + inBsID + "\"\n"},
        {"r1" + n(q), "href=\"r1" + n(q) + "\"\n"},
        {"r0" + n(root), "href=\"r0" + n(root) + "\"\n"},
    };
    for (const auto& [node, out] : cases) {
        SCOPED_TRACE(node);
        const OrvhelpResult r = run({"links", node});
        EXPECT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(r.out, out);
    }
}

TEST_F(TreeCommands, BadNodesAndLinksThatLeadNowhere) {
    struct Case {
        std::vector<std::string> args;
        int status;
        std::string message;
    };
    const Case cases[] = {
        {{"tree", "zz"}, 2, "is not a tree node"},
        {{"tree", "tPRINT"}, 2, "is not a tree node"},
        {{"tree", "k099999"}, 1, "is not in the contents tree"},
        {{"tree", "k0" + n(inB)}, 1, "has no level below it"},
        {{"tree", "a", "b"}, 2, "usage: orvhelp tree [NODE]"},
        {{"open", "zz"}, 2, "is not a page link"},
        {{"open", "k099999"}, 1, "leads nowhere"},
        {{"open", "tNOSUCHNAME"}, 1, "leads nowhere"},
        {{"open"}, 2, "usage: orvhelp open LINK"},
        {{"links", "y099999"}, 1, "is not in the contents tree"},
        {{"links", "s01"}, 2, "is not a tree node"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args[0] + " " + (c.args.size() > 1 ? c.args[1] : ""));
        const OrvhelpResult r = run(c.args);
        EXPECT_EQ(r.status, c.status);
        EXPECT_EQ(r.out, "");
        EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
    }
}

}  // namespace
}  // namespace orv::test
