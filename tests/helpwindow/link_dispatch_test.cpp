// Following links: the id path of each kind of target, the walk down the tree and the
// quiet selection, dropped clicks, damaged trees, and the "搜索链接" text.
#include "helpwindow/helpwindow_fixture.h"

#include "helpwindow/link_dispatch.h"
#include "library/schema.h"
#include "support/queued_window_thread.h"

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <future>
#include <memory>
#include <stdexcept>
#include <thread>

namespace orv::test {
namespace {

using helpwindow::ItemId;
using helpwindow::kNoItem;
using helpwindow::LinkDispatcher;
using render::TargetKind;
using namespace library;
using namespace std::chrono_literals;

// Runs `work` on a thread of its own; false when it has not finished within the time
// (the thread is left behind: the test has failed anyway, and a hang must not stop the run).
bool finishesWithin(std::function<void()> work, std::chrono::seconds limit) {
    auto done = std::make_shared<std::promise<void>>();
    std::future<void> finished = done->get_future();
    std::thread([work = std::move(work), done] {
        work();
        done->set_value();
    }).detach();
    return finished.wait_for(limit) == std::future_status::ready;
}

// A public tree: A > B > (entries, RECT with members), a private tree P > Q, and entries
// at both libraries' top levels.
class LinkTest : public HelpWindowFixture {
protected:
    void SetUp() override {
        a = rows.category(kPublic, 0, "A");
        b = rows.category(kPublic, a, "B");
        inB = rows.entry(kPublic, b, "inB");
        rect = rows.entry(kPublic, b, "RECT", kEntryDefinedType);
        left = rows.member(kPublic, rect, "left");
        topEntry = rows.entry(kPublic, 0, "topEntry");
        root = rows.privateRoot();
        p = rows.category(kPrivate, 0, "P");
        q = rows.category(kPrivate, p, "Q");
        inQ = rows.entry(kPrivate, q, "inQ", kEntryEnum);
        privMember = rows.member(kPrivate, inQ, "RED", kEntryEnumMember);
        privTop = rows.entry(kPrivate, 0, "privTop");
    }

    // Where the selection is: its record, or null.
    const TreeNode* selected() const {
        const std::vector<ItemId> s = tree.selection();
        return s.size() == 1 ? tree.record(s[0]) : nullptr;
    }
    // The records from the top down to the item.
    std::vector<long long> idsAbove(ItemId item) const {
        std::vector<long long> ids;
        for (ItemId i = item; i != kNoItem && i != tree.root(); i = tree.parent(i))
            ids.insert(ids.begin(), tree.record(i)->id);
        return ids;
    }

    long long a = 0, b = 0, inB = 0, rect = 0, left = 0, topEntry = 0, root = 0, p = 0, q = 0, inQ = 0,
              privMember = 0, privTop = 0;
};

// "1\\2\\3"
std::string path(const std::vector<long long>& ids) {
    std::string s;
    for (long long id : ids) s += (s.empty() ? "" : "\\") + std::to_string(id);
    return s;
}

TEST_F(LinkTest, EachKindOfTargetHasItsIdPathAndIsSelectedAtItsEnd) {
    struct Case {
        const char* link;
        int lib;
        TargetKind kind;
        long long id;
        std::string path;
    };
    const Case cases[] = {
        {"top category", kPublic, TargetKind::Category, a, path({a})},
        {"nested category", kPublic, TargetKind::Category, b, path({a, b})},
        {"top-level entry", kPublic, TargetKind::Entry, topEntry, path({topEntry})},
        {"nested entry", kPublic, TargetKind::Entry, inB, path({a, b, inB})},
        {"member", kPublic, TargetKind::Member, left, path({a, b, rect, left})},
        {"the private root", kPublic, TargetKind::Category, root, path({root})},
        {"private category", kPrivate, TargetKind::Category, q, path({root, p, q})},
        {"private top-level entry", kPrivate, TargetKind::Entry, privTop, path({root, privTop})},
        {"private entry", kPrivate, TargetKind::Entry, inQ, path({root, p, q, inQ})},
        {"private member", kPrivate, TargetKind::Member, privMember, path({root, p, q, inQ, privMember})},
    };
    LinkDispatcher links(contents, helpwindow::inlineWindowThread());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.link);
        EXPECT_EQ(helpwindow::TargetIdPath(db, c.lib, c.id, c.kind), c.path);
        const size_t pagesBefore = view.shownPages().size();
        const ItemId item = links.ShowTarget(c.lib, c.id, c.kind);
        ASSERT_NE(item, kNoItem);
        // The page once, as navigation names it; then the quiet selection at the path's end.
        ASSERT_EQ(view.shownPages().size(), pagesBefore + 1);
        const TreeNode page = view.shownPages().back();
        EXPECT_EQ(page.id, c.id);
        EXPECT_EQ(page.lib, c.lib);
        EXPECT_EQ(page.isCategory, c.kind == TargetKind::Category);
        EXPECT_EQ(page.type, 0);
        EXPECT_EQ(tree.selection(), std::vector<ItemId>{item});
        ASSERT_NE(selected(), nullptr);
        EXPECT_EQ(path(idsAbove(item)), c.path);
        EXPECT_EQ(selected()->isCategory, c.kind == TargetKind::Category);
        // Every level on the way is open.
        for (ItemId i = tree.parent(item); i != tree.root(); i = tree.parent(i)) EXPECT_TRUE(tree.isExpanded(i));
    }
}

TEST_F(LinkTest, AnEntryAndACategoryWithTheSameIdAreToldApart) {
    // Entry ids and category ids are counted apart: a level may hold both with one id.
    const long long twin = rows.entry(kPublic, a, "e");
    ASSERT_GT(db.addItemUtf(kPublic, tables::Directory,
                            "dID=" + std::to_string(twin) + ",DirName='twin',ParentDir=" + std::to_string(a)),
              0);
    LinkDispatcher links(contents, helpwindow::inlineWindowThread());
    for (TargetKind kind : {TargetKind::Entry, TargetKind::Category}) {
        const ItemId item = links.ShowTarget(kPublic, twin, kind);
        ASSERT_NE(tree.record(item), nullptr);
        EXPECT_EQ(tree.record(item)->isCategory, kind == TargetKind::Category);
        EXPECT_EQ(tree.record(item)->id, twin);
        EXPECT_EQ(helpwindow::revealNode(contents, *tree.record(item)), item);
    }
}

TEST_F(LinkTest, HomeSelectsTheFirstTopLevelItemWithoutShowingAPage) {
    LinkDispatcher links(contents, helpwindow::inlineWindowThread());
    const ItemId item = links.ShowTarget(0, 0, TargetKind::Entry);
    EXPECT_EQ(item, tree.children(tree.root()).front());
    EXPECT_EQ(tree.text(item), "A");
    EXPECT_EQ(tree.selection(), std::vector<ItemId>{item});
    EXPECT_TRUE(view.shownPages().empty());
}

TEST_F(LinkTest, LinksToRowsThatDoNotExistShowAndSelectNothing) {
    LinkDispatcher links(contents, helpwindow::inlineWindowThread());
    for (const char* link : {"k099999", "r099999", "y099999", "y0" /* no id */, "k199999", "r19999", "s099999",
                             "tNOSUCHNAME", "c0" /* no comma */, "c0999,left", "x012", "", "k2"}) {
        SCOPED_TRACE(link);
        links.DispatchLink(link);
        EXPECT_TRUE(view.shownPages().empty());
        EXPECT_TRUE(tree.selection().empty());
        EXPECT_TRUE(tree.children(tree.root()).empty());  // not even reloaded
    }
    // A member link to an entry that is not a member's owner's placement leads nowhere either.
    EXPECT_EQ(helpwindow::TargetIdPath(db, kPublic, 99999, TargetKind::Member), "");
    EXPECT_EQ(helpwindow::TargetIdPath(db, kPublic, 0, TargetKind::Category), "");
}

TEST_F(LinkTest, EveryLinkFormLeadsToItsNode) {
    const std::string sID = db.findOnly(kPublic, tables::KeywordList, "kID=" + std::to_string(inB), "sID", "");
    struct Case {
        std::string link;
        long long id;
        int lib;
        bool category;
    };
    const Case cases[] = {
        {"r0" + std::to_string(b), b, kPublic, true},
        {"k0" + std::to_string(inB), inB, kPublic, false},
        {"y0" + std::to_string(left), left, kPublic, false},
        {"s0" + sID, inB, kPublic, false},
        {"tinb", inB, kPublic, false},
        {"c0" + std::to_string(rect) + ",LEFT", left, kPublic, false},
        {"k1" + std::to_string(inQ), inQ, kPrivate, false},
    };
    LinkDispatcher links(contents, helpwindow::inlineWindowThread());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.link);
        links.OpenLink(c.link);
        links.waitIdle();
        ASSERT_NE(selected(), nullptr);
        EXPECT_EQ(selected()->id, c.id);
        EXPECT_EQ(selected()->lib, c.lib);
        EXPECT_EQ(selected()->isCategory, c.category);
    }
    EXPECT_EQ(view.shownPages().size(), std::size(cases));
}

TEST_F(LinkTest, AnEntryBeyondItsLevelsLimitIsStillReachedAndOnlyThere) {
    db.transaction(kPublic, TransactionStep::Begin);
    for (int i = 0; i < 510; ++i) rows.entry(kPublic, b, "aa" + std::to_string(1000 + i));
    db.transaction(kPublic, TransactionStep::Commit);
    const long long far = rows.entry(kPublic, b, "zz", 0, 9);
    LinkDispatcher links(contents, helpwindow::inlineWindowThread());
    const ItemId item = links.ShowTarget(kPublic, far, TargetKind::Entry);
    ASSERT_NE(tree.record(item), nullptr);
    EXPECT_EQ(tree.record(item)->id, far);
    const ItemId level = tree.parent(item);
    EXPECT_EQ(tree.text(tree.children(level).back()), ".......下面还有12条被省略");
    // The located node was for that walk only.
    contents.Collapse(level);
    contents.Expand(level);
    EXPECT_EQ(contents.findChild(level, far, false), kNoItem);
    EXPECT_EQ(tree.text(tree.children(level).back()), ".......下面还有13条被省略");
}

// Clicks take their tickets in the order they were made; whichever resolution comes back
// first, only the newest click's target is shown. The workers run when the test says.
TEST_F(LinkTest, OnlyTheNewestClickIsShownWhateverOrderTheirResultsComeIn) {
    test::QueuedWindowThread thread(test::QueuedWindowThread::Jobs::Held);
    LinkDispatcher links(contents, thread.seam());
    links.OpenLink("k0" + std::to_string(inB));
    links.OpenLink("r0" + std::to_string(a));
    links.OpenLink("k0" + std::to_string(topEntry));
    ASSERT_EQ(links.ticketsIssued(), 3);
    ASSERT_EQ(thread.heldJobs(), 3u);
    EXPECT_TRUE(view.shownPages().empty());  // nothing before the results come back
    for (size_t i : {2, 0, 0}) ASSERT_TRUE(thread.runHeldJob(i));  // the newest first
    EXPECT_EQ(thread.runPosted(), 3);

    const std::vector<TreeNode> shown = view.shownPages();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].id, topEntry);
    ASSERT_NE(selected(), nullptr);
    EXPECT_EQ(selected()->id, topEntry);
}

// Between a click and its result the tree is the window's to change (a delete reloads
// it, a collapse frees a level): nothing is held, and the result walks the tree as it
// stands when it arrives.
TEST_F(LinkTest, TheTreeChangesFreelyWhileALinkIsResolved) {
    test::QueuedWindowThread thread(test::QueuedWindowThread::Jobs::Held);
    LinkDispatcher links(contents, thread.seam());
    links.OpenLink("k0" + std::to_string(inB));
    contents.Reload();
    const ItemId topA = top("A");
    contents.Expand(topA);
    contents.Collapse(topA);
    contents.SelectQuietly(top("topEntry"));
    ASSERT_TRUE(thread.runHeldJob());
    EXPECT_EQ(thread.runPosted(), 1);
    ASSERT_NE(selected(), nullptr);
    EXPECT_EQ(selected()->id, inB);
    ASSERT_EQ(view.shownPages().size(), 1u);
}

// A target shown directly (an editor's save, the import) drops the links still being
// resolved; a result for a dispatcher that is gone is dropped too.
TEST_F(LinkTest, ShowingATargetDropsLinksStillResolvedAndResultsOutliveNothing) {
    test::QueuedWindowThread thread(test::QueuedWindowThread::Jobs::Held);
    {
        LinkDispatcher links(contents, thread.seam());
        links.OpenLink("k0" + std::to_string(topEntry));
        links.ShowTarget(kPublic, inB, TargetKind::Entry);
        ASSERT_TRUE(thread.runHeldJob());
        thread.runPosted();
        ASSERT_NE(selected(), nullptr);
        EXPECT_EQ(selected()->id, inB);
        EXPECT_EQ(view.shownPages().size(), 1u);
    }
    {
        auto links = std::make_unique<LinkDispatcher>(contents, thread.seam());
        links->OpenLink("k0" + std::to_string(topEntry));
        ASSERT_TRUE(thread.runHeldJob());
        links.reset();
        EXPECT_EQ(thread.runPosted(), 1);
        EXPECT_EQ(selected()->id, inB);
        EXPECT_EQ(view.shownPages().size(), 1u);
    }
}

TEST_F(LinkTest, AFailingClickLeavesTheNextOneItsTurn) {
    class ThrowingOnce : public helpwindow::MemoryView {
    public:
        bool showPage(const TreeNode& record) override {
            if (!thrown) {
                thrown = true;
                throw std::runtime_error("page failed");
            }
            return MemoryView::showPage(record);
        }
        bool thrown = false;
    } view2;
    helpwindow::Contents c2({db, tree, view2, settings, [] { return kNow; }, prompter});
    test::QueuedWindowThread thread;
    LinkDispatcher links(c2, thread.seam());
    links.OpenLink("k0" + std::to_string(inB));
    links.waitIdle();
    EXPECT_THROW(thread.runPosted(), std::runtime_error);
    EXPECT_TRUE(view2.thrown);
    links.OpenLink("k0" + std::to_string(topEntry));
    links.waitIdle();
    thread.runPosted();
    ASSERT_EQ(view2.shownPages().size(), 1u);
    EXPECT_EQ(view2.shownPages()[0].id, topEntry);
}

TEST_F(LinkTest, ALoopInADamagedCategoryTreeEndsTheWalk) {
    // c1 and c2 hang under each other; c3 under itself; an entry in each.
    const long long c1 = rows.category(kPublic, 0, "c1");
    const long long c2 = rows.category(kPublic, c1, "c2");
    const long long c3 = rows.category(kPublic, 0, "c3");
    ASSERT_EQ(db.update(kPublic, tables::Directory, "dID=" + std::to_string(c1), "ParentDir=" + std::to_string(c2)), 1);
    ASSERT_EQ(db.update(kPublic, tables::Directory, "dID=" + std::to_string(c3), "ParentDir=" + std::to_string(c3)), 1);
    const long long e2 = rows.entry(kPublic, c2, "in loop");
    const long long e3 = rows.entry(kPublic, c3, "in self loop");
    const long long m = rows.member(kPublic, rows.entry(kPublic, c1, "T", kEntryDefinedType), "mm");

    struct Case {
        TargetKind kind;
        long long id;
        std::string path;
    };
    const Case cases[] = {
        {TargetKind::Category, c1, path({c1, c2, c1})},
        {TargetKind::Entry, e2, path({c1, c2, e2})},
        {TargetKind::Entry, e3, path({c3, e3})},
        {TargetKind::Category, c3, path({c3, c3})},
    };
    LinkDispatcher links(contents, helpwindow::inlineWindowThread());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        std::string got;
        ItemId shown = kNoItem, revealed = kNoItem;
        ASSERT_TRUE(finishesWithin([&] {
            got = helpwindow::TargetIdPath(db, kPublic, c.id, c.kind);
            shown = links.ShowTarget(kPublic, c.id, c.kind);
            revealed = helpwindow::revealTarget(contents, {kPublic, c.id, c.kind});
        }, 10s));
        EXPECT_EQ(got, c.path);
        // Not under the top: the walk ends in the top level, on the last item it looked at.
        EXPECT_EQ(shown, tree.children(tree.root()).back());
        EXPECT_EQ(revealed, kNoItem);
    }
    ASSERT_TRUE(finishesWithin([&] { links.DispatchLink("y0" + std::to_string(m)); }, 10s));
}

TEST_F(LinkTest, RevealingNodesOneAfterAnotherKeepsTheEarlierItems) {
    db.transaction(kPublic, TransactionStep::Begin);
    for (int i = 0; i < 505; ++i) rows.entry(kPublic, b, "aa" + std::to_string(1000 + i));
    db.transaction(kPublic, TransactionStep::Commit);
    const long long far = rows.entry(kPublic, b, "zz", 0, 9);
    contents.Reload();
    const ItemId farItem = helpwindow::revealTarget(contents, {kPublic, far, TargetKind::Entry});
    ASSERT_NE(farItem, kNoItem);
    const ItemId member = helpwindow::revealTarget(contents, {kPublic, left, TargetKind::Member});
    const ItemId bItem = helpwindow::revealTarget(contents, {kPublic, b, TargetKind::Category});
    const ItemId privItem = helpwindow::revealTarget(contents, {kPrivate, inQ, TargetKind::Entry});
    const ItemId rootItem = helpwindow::revealNode(contents, *tree.record(contents.privateRootNode()));
    ASSERT_NE(member, kNoItem);
    ASSERT_NE(privItem, kNoItem);
    EXPECT_EQ(tree.record(farItem)->id, far);  // still there: no level was read again
    EXPECT_EQ(tree.record(member)->id, left);
    EXPECT_EQ(tree.parent(tree.parent(member)), bItem);
    EXPECT_EQ(tree.record(privItem)->lib, kPrivate);
    EXPECT_EQ(rootItem, contents.privateRootNode());
    EXPECT_EQ(helpwindow::revealNode(contents, *tree.record(member)), member);
    EXPECT_EQ(helpwindow::revealNode(contents, *tree.record(privItem)), privItem);
    EXPECT_TRUE(tree.selection().empty());
    EXPECT_TRUE(view.shownPages().empty());
    EXPECT_EQ(helpwindow::revealTarget(contents, {kPublic, 99999, TargetKind::Entry}), kNoItem);
}

TEST_F(LinkTest, NodeLinksNameTreeNodesOnly) {
    struct Case {
        const char* text;
        bool node;
        int lib;
        long long id;
        TargetKind kind;
    };
    const Case cases[] = {
        {"r012", true, 0, 12, TargetKind::Category}, {"k17", true, 1, 7, TargetKind::Entry},
        {"y03", true, 0, 3, TargetKind::Member},     {"s03", false, 0, 0, TargetKind::Entry},
        {"tPRINT", false, 0, 0, TargetKind::Entry},  {"c05,x", false, 0, 0, TargetKind::Entry},
        {"r212", false, 0, 0, TargetKind::Entry},    {"", false, 0, 0, TargetKind::Entry},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const auto node = helpwindow::NodeOfLink(c.text);
        ASSERT_EQ(node.has_value(), c.node);
        if (!node) continue;
        EXPECT_EQ(node->lib, c.lib);
        EXPECT_EQ(node->id, c.id);
        EXPECT_EQ(node->kind, c.kind);
    }
}

TEST_F(LinkTest, TheSearchLinkTextOfEachKindOfNode) {
    const std::string inBsID = db.findOnly(kPublic, tables::KeywordList, "kID=" + std::to_string(inB), "sID", "");
    const std::string inQsID = db.findOnly(kPrivate, tables::KeywordList, "kID=" + std::to_string(inQ), "sID", "");
    const long long noTexts = db.addItemUtf(kPublic, tables::KeywordList, "dID=" + std::to_string(b) + ",sID=0");
    auto node = [](long long id, int lib, bool category, int type = 0) {
        TreeNode n;
        n.id = id;
        n.lib = lib;
        n.isCategory = category;
        n.type = type;
        return n;
    };
    struct Case {
        TreeNode node;
        std::string text;
    };
    const Case cases[] = {
        {node(inB, kPublic, false), "href=\"s0" + inBsID + "\""},
        {node(inQ, kPrivate, false), "href=\"s1" + inQsID + "\""},
        {node(b, kPublic, true), "href=\"r0" + std::to_string(b) + "\""},
        {node(q, kPrivate, true), "href=\"r1" + std::to_string(q) + "\""},
        {node(root, kPrivate, true, kCategoryPrivateRoot), "href=\"r0" + std::to_string(root) + "\""},
        {node(noTexts, kPublic, false), ""},
        {node(99999, kPublic, false), ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(helpwindow::SearchLinkText(db, c.node), c.text);
    }
}

}  // namespace
}  // namespace orv::test
