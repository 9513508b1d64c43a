// Folder pages: trail, sub-category rows, the entry limit, the list option and the private root.
#include "library/schema.h"
#include "render/link.h"
#include "render/render_fixture.h"

using namespace orv;
using namespace orv::test;

TEST_F(RenderFixture, SevenSubCategoriesInThreeRowsAndTheTrailEndsAtTheParent) {
    const long long top = addCategory(0, 0, "Top");
    const long long mid = addCategory(0, top, "Mid", "Description='<p>m</p>',uDate=1700000000");
    std::vector<long long> subs;
    for (int i = 1; i <= 7; ++i) subs.push_back(addCategory(0, mid, "S" + std::to_string(i), "Sort=" + std::to_string(i)));
    addCategory(0, mid, "[公用库回收站]", "nType=2");  // recycle bins are not listed
    const auto page = folderPage(0, mid);
    ASSERT_TRUE(page);
    EXPECT_EQ(part(page->html, "Contents"), "<li><a  target=\"_blank\" href=\"r0" + std::to_string(top) + "\">Top</a></li>");
    EXPECT_EQ(part(page->html, "Name"), "Mid");
    const std::string body = part(page->html, "Description");
    EXPECT_EQ(body.rfind("<p>m</p><br><div class=\"panel\"><div class=\"panel-head\"><strong>子分类</strong>", 0), 0u) << body;
    size_t rows = 0;
    for (size_t at = 0; (at = body.find("<tr>", at)) != std::string::npos; ++at) ++rows;
    EXPECT_EQ(rows, 3u);
    auto link = [](long long d, int i) {
        return "<a target=\"_blank\" href=\"r0" + std::to_string(d) + "\">S" + std::to_string(i) + "</a>";
    };
    EXPECT_NE(body.find("<tr><td class=\"text-sub\">" + link(subs[6], 7) +
                        "</td><td class=\"text-sub\"></td><td class=\"text-sub\"></td></tr></table></div></div>"),
              std::string::npos) << body;
    EXPECT_EQ(body.find("回收站"), std::string::npos);
    EXPECT_EQ(part(page->html, "date"), "2023-11-15");
    EXPECT_EQ(page->link, "r0" + std::to_string(mid));
}

TEST_F(RenderFixture, AHundredAndFiftyEntriesShowNinetyNine) {
    const long long d = addCategory(1, 0, "Many");
    db.transaction(1, library::TransactionStep::Begin);
    for (int i = 0; i < 150; ++i) addEntry(1, d, "E" + std::to_string(1000 + i), "Description='<i>d</i>'", "Sort=" + std::to_string(i));
    addEntry(1, d, "member", "", "nType=20,Sort=-1");  // members are never listed
    db.transaction(1, library::TransactionStep::Commit);
    const auto page = folderPage(1, d);
    ASSERT_TRUE(page);
    const std::string body = part(page->html, "Description");
    EXPECT_NE(body.find(">E1000</a></td><td><i>d</i></td></tr>"), std::string::npos);
    EXPECT_NE(body.find(">E1098</a>"), std::string::npos);
    EXPECT_EQ(body.find(">E1099</a>"), std::string::npos);
    EXPECT_EQ(body.find("member"), std::string::npos);
    EXPECT_NE(body.find("</table></div></div>.......下面还有51篇被省略<br>"), std::string::npos);
}

TEST_F(RenderFixture, ListOptionOffAndEmptyCategories) {
    const long long bare = addCategory(0, 0, "Bare");
    addEntry(0, bare, "E");
    EXPECT_FALSE(folderPage(0, bare, 0, false));  // no description, lists off: no page
    EXPECT_TRUE(folderPage(0, bare, 0, true));
    const long long empty = addCategory(0, 0, "Empty");
    EXPECT_FALSE(folderPage(0, empty));           // nothing to show at all
    EXPECT_FALSE(folderPage(0, 404));
}

TEST_F(RenderFixture, PrivateRootListsThePrivateTopLevel) {
    const long long root = addCategory(0, 0, "[私用库]", "nType=11");
    const long long notes = addCategory(1, 0, "笔记");
    const long long k = addEntry(1, 0, "TopEntry");
    const auto page = folderPage(1, root, library::kCategoryPrivateRoot);
    ASSERT_TRUE(page);
    EXPECT_EQ(part(page->html, "Contents"), "");
    const std::string body = part(page->html, "Description");
    EXPECT_NE(body.find("href=\"r1" + std::to_string(notes) + "\">笔记</a>"), std::string::npos) << body;
    EXPECT_NE(body.find("href=\"k1" + std::to_string(k) + "\">TopEntry</a>"), std::string::npos) << body;
    EXPECT_EQ(page->link, "r0" + std::to_string(root));
}

namespace {
class LoadedPage : public render::PageView {
public:
    void LoadHtml(const std::string& utf8) override { html = utf8; }
    std::string html;
};

// The search tab is not the active one: nothing is marked.
class NoSearch : public render::SearchState {
public:
    bool searchTabActive() const override { return false; }
    std::string searchText() const override { return {}; }
};
}  // namespace

// Private trails and the history lead to the private root with "r0" + its public dID;
// navigation builds that record with type 0, as for any public category.
TEST_F(RenderFixture, PrivateRootLinkShowsThePrivateTopLevel) {
    addCategory(0, 0, "Public", "Sort=1");
    const long long root = addCategory(0, 0, "[私用库]", "nType=11,Sort=20000");
    const long long notes = addCategory(1, 0, "笔记");
    const long long k = addEntry(1, 0, "TopEntry");
    const auto target = render::ResolveLink(db, "r0" + std::to_string(root));
    ASSERT_TRUE(target);
    render::NavigationHistory history;
    LoadedPage view;
    const NoSearch search;
    render::PageRenderer renderer(sources(), history, view, search);
    ASSERT_TRUE(renderer.RenderPage(render::recordOfTarget(*target)));
    EXPECT_EQ(part(view.html, "Name"), "[私用库]");
    EXPECT_EQ(part(view.html, "Contents"), "");
    const std::string body = part(view.html, "Description");
    EXPECT_NE(body.find("href=\"r1" + std::to_string(notes) + "\">笔记</a>"), std::string::npos) << body;
    EXPECT_NE(body.find("href=\"k1" + std::to_string(k) + "\">TopEntry</a>"), std::string::npos) << body;
    EXPECT_EQ(body.find("Public"), std::string::npos) << body;
    EXPECT_EQ(history.entry(history.position()), "r0" + std::to_string(root));
    // The tree's own record of the root gives the same page.
    const auto fromTree = folderPage(1, root, library::kCategoryPrivateRoot);
    ASSERT_TRUE(fromTree);
    EXPECT_EQ(fromTree->html, view.html);
}

// The search tab's word marks pages while that tab is shown, and stays text in the marker.
TEST(SearchMarking, OnlyWhileTheSearchTabIsShownAndAsText) {
    struct Search : render::SearchState {
        bool active = true;
        std::string word;
        bool searchTabActive() const override { return active; }
        std::string searchText() const override { return word; }
    } search;
    search.word = "a<b>&";
    const render::Marking marking = render::markingFrom(search);
    EXPECT_EQ(marking.word, "a<b>&");
    EXPECT_EQ(marking.marker, "<span class=\"highlight\">a&lt;b&gt;&amp;</span>");
    search.active = false;
    EXPECT_FALSE(render::markingFrom(search).on());
    search.active = true;
    search.word.clear();
    EXPECT_FALSE(render::markingFrom(search).on());
}
