// Reading page links and finding where they lead.
#include "render/link.h"
#include "render/render_fixture.h"

using namespace orv;
using namespace orv::test;
using render::TargetKind;
using namespace std::string_literals;

TEST(Links, Parsing) {
    render::ParsedLink l;
    ASSERT_TRUE(render::ParseLink("r015", l));
    EXPECT_EQ(l.letter, 'r');
    EXPECT_EQ(l.lib, 0);
    EXPECT_EQ(l.number, 15);
    ASSERT_TRUE(render::ParseLink("c17,Len", l));
    EXPECT_EQ(l.lib, 1);
    EXPECT_EQ(l.number, 7);
    EXPECT_EQ(l.name, "Len");
    for (const char* bad : {"", "c17", "x015", "k", "k5", "t", "rA1"}) EXPECT_FALSE(render::ParseLink(bad, l)) << bad;
    ASSERT_TRUE(render::ParseLink("k0x", l));  // a number that is not one reads as 0
    EXPECT_EQ(l.number, 0);
}

// Link texts as the engine reports a click: percent-encoded, decoded as UTF-8 once.
TEST(Links, ReportedTextsAreDecodedBeforeParsing) {
    const struct { std::string reported; char letter; int lib; long long number; std::string name; } cases[] = {
        {"tOPTION%20BYVAL", 't', 0, 0, "OPTION BYVAL"},
        {"t%E4%B8%AD%E6%96%87", 't', 0, 0, "中文"},
        {"t%e4%b8%ad", 't', 0, 0, "中"},                   // lower-case hex digits
        {"tOPTION BYVAL", 't', 0, 0, "OPTION BYVAL"},      // already plain: unchanged
        {"c17,Len%20Of", 'c', 1, 7, "Len Of"},
        {"%6B015", 'k', 0, 15, ""},                        // even the letter may come encoded
        {"t%2520", 't', 0, 0, "%20"},                      // decoded once, not twice
        {"tit%27s", 't', 0, 0, "it's"},
        // Malformed escapes stay as they are.
        {"t%", 't', 0, 0, "%"},
        {"t100%", 't', 0, 0, "100%"},
        {"t%G1", 't', 0, 0, "%G1"},
        {"t%2", 't', 0, 0, "%2"},
        {"t%20%2", 't', 0, 0, " %2"},
        {"t%%41", 't', 0, 0, "%A"},
        // Bytes that are no UTF-8, or a NUL: the text is read as reported.
        {"t%FF", 't', 0, 0, "%FF"},
        {"t%E4%B8", 't', 0, 0, "%E4%B8"},                  // a character cut short
        {"t%C0%AF", 't', 0, 0, "%C0%AF"},                  // an overlong "/"
        {"t%E4%B8%AD%20%FF", 't', 0, 0, "%E4%B8%AD%20%FF"},
        {"tA%00B", 't', 0, 0, "A%00B"},
    };
    for (const auto& c : cases) {
        render::ParsedLink l;
        ASSERT_TRUE(render::ParseLink(c.reported, l)) << c.reported;
        EXPECT_EQ(l.letter, c.letter) << c.reported;
        EXPECT_EQ(l.lib, c.lib) << c.reported;
        EXPECT_EQ(l.number, c.number) << c.reported;
        EXPECT_EQ(l.name, c.name) << c.reported;
    }
    render::ParsedLink l;
    for (const std::string& bad : {"%74"s, "t\0x"s, "%"s, "x%30"s}) EXPECT_FALSE(render::ParseLink(bad, l)) << bad;
}

TEST(Links, Addresses) {
    EXPECT_TRUE(render::isOutsideAddress("HTTPS://example.org/x"));
    EXPECT_TRUE(render::isOutsideAddress("http:x"));
    EXPECT_FALSE(render::isOutsideAddress("file:///C:/ide/k015"));
    EXPECT_EQ(render::linkTextOfAddress("file:///C:/ide/view/k015").value(), "k015");
    EXPECT_FALSE(render::linkTextOfAddress("k015"));
}

TEST_F(RenderFixture, ResolvingEachForm) {
    const long long kPub = addEntry(0, 3, "PRINT");
    addEntry(1, 4, "Print");
    const long long again = placeAgain(0, kPub, 8);
    const long long type = addEntry(1, 2, "Point", "nType=5");
    const long long member = addEntry(1, type, "x", "nType=20", "nType=20");
    const std::string sID = db.findOnly(0, "KeywordList", "kID=" + std::to_string(kPub), "sID", "");
    const struct { std::string link; int lib; long long id; TargetKind kind; } cases[] = {
        {"r05", 0, 5, TargetKind::Category},
        {"k1" + std::to_string(type), 1, type, TargetKind::Entry},
        {"y1" + std::to_string(member), 1, member, TargetKind::Member},
        {"s0" + sID, 0, again, TargetKind::Entry},          // the newest placement of the data row
        {"tprint", 0, again, TargetKind::Entry},            // public before private
        {"c1" + std::to_string(type) + ",X", 1, member, TargetKind::Member},
    };
    for (const auto& c : cases) {
        const auto t = render::ResolveLink(db, c.link);
        ASSERT_TRUE(t) << c.link;
        EXPECT_EQ(t->lib, c.lib) << c.link;
        EXPECT_EQ(t->id, c.id) << c.link;
        EXPECT_EQ(t->kind, c.kind) << c.link;
    }
    for (const char* nowhere : {"tNOSUCH", "s0999", "c1" "999,x", "k0", "ty'; DROP TABLE KeywordList; --"})
        EXPECT_FALSE(render::ResolveLink(db, nowhere)) << nowhere;
    EXPECT_GT(db.count(0, "KeywordList", ""), 0);
}

TEST_F(RenderFixture, EncodedNamesResolveAndHostileOnesLeadNowhere) {
    const long long byval = addEntry(0, 1, "OPTION BYVAL");
    const long long chinese = addEntry(1, 2, "中文");
    const long long type = addEntry(1, 2, "Point", "nType=5");
    const long long member = addEntry(1, type, "x y", "nType=20", "nType=20");
    const struct { std::string reported; int lib; long long id; } found[] = {
        {"tOPTION%20BYVAL", 0, byval},
        {"toption%20byval", 0, byval},
        {"t%E4%B8%AD%E6%96%87", 1, chinese},
        {"c1" + std::to_string(type) + ",x%20y", 1, member},
    };
    for (const auto& c : found) {
        const auto t = render::ResolveLink(db, c.reported);
        ASSERT_TRUE(t) << c.reported;
        EXPECT_EQ(t->lib, c.lib) << c.reported;
        EXPECT_EQ(t->id, c.id) << c.reported;
    }
    // Names reach the query quoted; none of these may break it or touch a table.
    for (const std::string& hostile : {"t%27%3B%20DROP%20TABLE%20KeywordList%3B%20--"s, "t%FF%27"s, "t%E4%B8%27"s,
                                       "tA%00%27"s, "t%27%00"s, "c1" + std::to_string(type) + ",%27%00"}) {
        EXPECT_FALSE(render::ResolveLink(db, hostile)) << hostile;
        EXPECT_EQ(db.errMsg(0), "") << hostile;
        EXPECT_EQ(db.errMsg(1), "") << hostile;
    }
    EXPECT_EQ(db.count(0, "KeywordList", ""), 1);
}
