// Reading page links and finding where they lead.
#include "render/link.h"
#include "render/render_fixture.h"

using namespace orv;
using namespace orv::test;
using render::TargetKind;

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
