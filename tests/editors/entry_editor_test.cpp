// The entry editor's core: the change list of a form against the entry as loaded, the
// page filled from a template, and the save into either library.
#include "editor_fixture.h"

#include "editors/editor_template.h"
#include "editors/entry_editor.h"
#include "library/schema.h"

#include <filesystem>
#include <functional>

namespace orv::test {
namespace {

using editors::EntryFields;
using editors::EntryState;
using editors::SaveOutcome;
using library::kPrivate;
using library::kPublic;
namespace tables = library::tables;

std::string n(long long id) { return std::to_string(id); }

class EntryEditor : public EditorTest {
protected:
    EntryState load(int lib, long long kID) {
        std::optional<EntryState> s = editors::LoadEntry(db, lib, kID);
        EXPECT_TRUE(s.has_value());
        return s ? *s : EntryState{};
    }
    // Loads the entry, edits its untouched form and saves it as OK would.
    editors::EntrySave save(int lib, long long kID, const std::function<void(EntryFields&)>& edit) {
        EntryState state = load(lib, kID);
        EntryFields fields = editors::FieldsOf(state);
        edit(fields);
        return editors::SaveEntry(sources, state, fields, &page);
    }
    ScriptedPage page;
};

TEST_F(EntryEditor, TheChangeListHoldsOnlyWhatTheFormChangedInTheSaveOrder) {
    const std::string text = "Statements\\";
    const struct {
        const char* what;
        long long kID;
        std::function<void(EntryFields&)> edit;
        std::string expected;
    } cases[] = {
        {"nothing touched", print, [](EntryFields&) {}, ""},
        {"only the explanation", print, [](EntryFields& f) { f.explain = "<p>new</p>"; }, "Explain='<p>new</p>'"},
        {"a keyword with an apostrophe", print, [](EntryFields& f) { f.keyWord = "Print'd"; },
         "KeyWord='Print''d',UKeyWord='PRINT''D'"},
        {"an emptied display name takes the keyword", print,
         [](EntryFields& f) {
             f.keyWord = "Lprint";
             f.displayKeyWord = "";
         },
         "KeyWord='Lprint',UKeyWord='LPRINT',DisplayKeyWord='Lprint'"},
        {"both platforms", print, [](EntryFields& f) { f.platform2 = "1"; }, "Platform=2"},
        {"only the second platform", print,
         [](EntryFields& f) {
             f.platform1 = "0";
             f.platform2 = "1";
         },
         "Platform=1"},
        {"slot 3 of an entry in two categories", input, [&](EntryFields& f) { f.dirID[3] = "ID=" + n(drawing) + ":x\\"; },
         "dID3=0|" + n(drawing)},
        {"slot 2 set to the top item", input, [](EntryFields& f) { f.dirID[2] = "ID=0:"; }, "dID2=" + n(inputAgain) + "|0"},
        {"a new main category", print, [&](EntryFields& f) { f.dirID[1] = "ID=" + n(graphics) + ":Graphics\\"; },
         "dID=" + n(graphics)},
        {"a member's new owner", x, [&](EntryFields& f) { f.ctid = n(square); }, "dID=" + n(square)},
        {"a member's category slots are not read", x, [&](EntryFields& f) { f.dirID[1] = "ID=" + n(graphics) + ":"; }, ""},
        {"line feeds of a text area become CR LF", print, [](EntryFields& f) { f.syntax = "Print a\nPrint b"; },
         "Syntax='Print a\r\nPrint b'"},
        {"every kind of field, in order", print,
         [&](EntryFields& f) {
             f.keyWord = "P";
             f.displayKeyWord = "PP";
             f.platform2 = "1";
             f.attribute = "2";
             f.type = "3";
             f.dirID[1] = "ID=" + n(graphics) + ":";
             f.description = "d";
             f.syntax = "s";
             f.member = "m";
             f.parameter = "p";
             f.explain = "e";
             f.examples = "x";
             f.source = "o";
             f.related = "r";
             f.include = "i";
             f.sort = "7";
         },
         "KeyWord='P',UKeyWord='P',DisplayKeyWord='PP',Platform=2,Attribute=2,nType=3,dID=" + n(graphics) +
             ",Description='d',Syntax='s',Member='m',Parameter='p',Explain='e',Examples='x',Source='o',"
             "Related='r',Include='i',Sort=7"},
    };
    (void)text;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const EntryState state = load(kPublic, c.kID);
        EntryFields fields = editors::FieldsOf(state);
        c.edit(fields);
        EXPECT_EQ(editors::CollectEntryChanges(state, fields), c.expected);
    }
}

TEST_F(EntryEditor, StoredTextsThePageCannotShowAsTheyAreAreNoChangeWhenUntouched) {
    // Lone line feeds come back as the page's line ends, invalid UTF-8 as U+FFFD.
    db.updateUtf(kPublic, tables::KeywordData, "KeyWord='Print'",
                 "Syntax='a\nb\rc',Description='bad \xC3\x28 byte',Member='x\r\ny'");
    EntryState state = load(kPublic, print);
    EntryFields fields = editors::FieldsOf(state);
    fields.syntax = "a\nb\nc";
    fields.description = "bad \xEF\xBF\xBD( byte";
    fields.member = "x\ny";
    EXPECT_EQ(editors::CollectEntryChanges(state, fields), "");

    // A page that shows a field otherwise has it taken over, so that only a touched field saves.
    fields.related = "shown otherwise";
    fields.explain = "<p>the editor's own rendering</p>";
    EXPECT_EQ(editors::AdoptShownEntry(state, fields), std::vector<std::string>{"Related"});
    EXPECT_EQ(editors::CollectEntryChanges(state, fields), "");
    fields.sort = "5";
    EXPECT_EQ(editors::CollectEntryChanges(state, fields), "Sort=5");
}

TEST_F(EntryEditor, TheFilledPageKeepsEveryStoredTextAsData) {
    db.updateUtf(kPublic, tables::KeywordData, "KeyWord='Print'",
                 "KeyWord='a\"b</textarea><img src=x onerror=alert(1)>',Syntax='</textarea><script>x()</script>',"
                 "Explain='<p onclick=\"x\">&amp;</p>'");
    const EntryState state = load(kPublic, print);
    const std::string page = editors::FillEntryPage(
        "<input id=KeyWord value=\"<!-- KeyWord -->\"><textarea id=Syntax><!-- Syntax --></textarea>"
        "<textarea id=ExplainSource><!-- Explain --></textarea><input <!-- Type1 -->><input <!-- Type2 -->>"
        "<input id=DirID1 value=\"<!-- DirID1 -->\"><body style=\"background:<!-- background -->\">",
        state, "#F0F0F0");
    EXPECT_EQ(page,
              "<input id=KeyWord value=\"a&quot;b&lt;/textarea&gt;&lt;img src=x onerror=alert(1)&gt;\">"
              "<textarea id=Syntax>\n&lt;/textarea&gt;&lt;script&gt;x()&lt;/script&gt;</textarea>"
              "<textarea id=ExplainSource>\n&lt;p onclick=&quot;x&quot;&gt;&amp;amp;&lt;/p&gt;</textarea>"
              "<input checked><input ><input id=DirID1 value=\"ID=" +
                  n(statements) + ":Statements\\\"><body style=\"background:#F0F0F0\">");
}

TEST_F(EntryEditor, TheShippedTemplatesCarryEveryPlaceholder) {
    const std::filesystem::path ide = std::filesystem::path(ORV_SOURCE_DIR);
    const std::string entry = editors::LoadEditorTemplate(ide.string(), editors::kEntryTemplate);
    const std::string category = editors::LoadEditorTemplate(ide.string(), editors::kCategoryTemplate);
    ASSERT_FALSE(entry.empty());
    ASSERT_FALSE(category.empty());
    std::vector<std::string> names = {"background", "kID", "sID", "KeyWord", "DisplayKeyWord", "Description",
                                      "Syntax", "Member", "Parameter", "Explain", "Examples", "Source", "Related",
                                      "Include", "Sort", "Platform1", "Platform2", "ctid"};
    for (int i = 1; i <= 5; ++i) names.push_back("DirID" + n(i));
    for (int i = 0; i <= 3; ++i) names.push_back("Attribute" + n(i));
    for (int i : {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 20, 21}) names.push_back("Type" + n(i));
    for (const std::string& name : names) EXPECT_NE(entry.find("<!-- " + name + " -->"), std::string::npos) << name;
    for (const char* name : {"background", "Description"})
        EXPECT_NE(category.find("<!-- " + std::string(name) + " -->"), std::string::npos) << name;
    for (const char* command : {"ca1", "ca2", "ca3", "ca4", "ca5", "queding", "quexiao"})
        EXPECT_NE(entry.find("href=\"view/" + std::string(command) + "\""), std::string::npos) << command;
    for (const std::string* page : {&entry, &category})
        for (const char* remote : {"view/http", "view//", "url(http"})
            EXPECT_EQ(page->find(remote), std::string::npos) << "nothing comes from the network: " << remote;
}

TEST_F(EntryEditor, AnUntouchedFormSavesNothingAndAnEditedOneExactlyItsChange) {
    const std::string before = snapshot(db);
    EXPECT_EQ(save(kPublic, print, [](EntryFields&) {}).outcome, SaveOutcome::NothingChanged);
    EXPECT_EQ(snapshot(db), before);

    const editors::EntrySave saved = save(kPublic, print, [](EntryFields& f) { f.explain = "<b>new</b>"; });
    EXPECT_EQ(saved.outcome, SaveOutcome::Saved);
    EXPECT_EQ(saved.list, "Explain='<b>new</b>'");
    EXPECT_EQ(value(kPublic, tables::KeywordData, "KeyWord='Print'", "Explain"), "<b>new</b>");
    EXPECT_EQ(value(kPublic, tables::UpdateList, "tID=" + n(print), "sText"), "Explain='<b>new</b>'");
    EXPECT_EQ(value(kPublic, tables::UpdateList, "tID=" + n(print), "sCommand"), "3");
    EXPECT_TRUE(prompter.said.empty());
}

TEST_F(EntryEditor, PlacementsAreAddedMovedAndRemovedThroughTheSlots) {
    ASSERT_EQ(save(kPublic, input, [&](EntryFields& f) { f.dirID[3] = "ID=" + n(drawing) + ":"; }).outcome,
              SaveOutcome::Saved);
    const std::string sID = value(kPublic, tables::KeywordList, "kID=" + n(input), "sID");
    EXPECT_EQ(count(kPublic, tables::KeywordList, "sID=" + sID), 3);
    EXPECT_EQ(count(kPublic, tables::KeywordList, "sID=" + sID + " And dID=" + n(drawing)), 1);

    ASSERT_EQ(save(kPublic, input, [](EntryFields& f) { f.dirID[2] = "ID=0:"; }).outcome, SaveOutcome::Saved);
    EXPECT_EQ(count(kPublic, tables::KeywordList, "kID=" + n(inputAgain)), 0);
    EXPECT_EQ(count(kPublic, tables::KeywordList, "sID=" + sID), 2);
}

TEST_F(EntryEditor, ChecksStopTheSaveWithTheirMessageAndMarker) {
    const std::string before = snapshot(db);
    const struct {
        const char* what;
        std::function<void(EntryFields&)> edit;
        std::string message;
        std::string marked;
    } cases[] = {
        {"no main category", [](EntryFields& f) { f.dirID[1] = "ID=0:"; }, "必须设置一个主分类", "#DirID1Label"},
        {"no keyword", [](EntryFields& f) { f.keyWord = "  "; }, "关键词必须的要输入", "#KeyWordLabel"},
        {"a sort that is no number", [](EntryFields& f) { f.sort = "10a"; }, "排序号必须是整数。", "#Sort"},
        {"a main category that is not there", [](EntryFields& f) { f.dirID[1] = "ID=424242:"; }, "必须设置一个主分类",
         "#DirID1Label"},
        {"made a member without an owner", [](EntryFields& f) { f.type = "20"; },
         "成员必须属于一个可以有成员的词条（所属词条kID）。", "#ctid"},
        {"made a member of an entry that owns none", [&](EntryFields& f) {
             f.type = "20";
             f.ctid = n(input);
         },
         "成员必须属于一个可以有成员的词条（所属词条kID）。", "#ctid"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        prompter.said.clear();
        page.ran.clear();
        EXPECT_EQ(save(kPublic, print, c.edit).outcome, SaveOutcome::Stopped);
        EXPECT_EQ(prompter.said, std::vector<std::string>{c.message});
        ASSERT_EQ(page.ran.size(), 1u);
        EXPECT_NE(page.ran[0].find(c.marked), std::string::npos) << page.ran[0];
    }
    EXPECT_EQ(snapshot(db), before);
}

TEST_F(EntryEditor, AMemberMadeAnOrdinaryEntryNeedsACategoryOfItsOwn) {
    // Its first slot still names the owner's kID, which is no category.
    EXPECT_EQ(save(kPublic, x, [](EntryFields& f) { f.type = "11"; }).outcome, SaveOutcome::Stopped);
    EXPECT_EQ(prompter.said, std::vector<std::string>{"必须设置一个主分类"});
    const editors::EntrySave saved = save(kPublic, x, [&](EntryFields& f) {
        f.type = "11";
        f.dirID[1] = "ID=" + n(graphics) + ":Graphics\\";
    });
    ASSERT_EQ(saved.outcome, SaveOutcome::Saved);
    EXPECT_EQ(saved.list, "nType=11,dID=" + n(graphics));
    EXPECT_EQ(value(kPublic, tables::KeywordList, "kID=" + n(x), "dID"), n(graphics));
}

TEST_F(EntryEditor, ASaveWrittenButNotRecordedIsToldAndClosesTheEditor) {
    library::TreeNode node{statements, "Statements", 0, true, kPublic, library::kCategoryShownInIde};
    EntryState state = editors::NewEntryFor(db, node);
    EntryFields fields = editors::FieldsOf(state);
    fields.keyWord = "Once";
    db.failWrite(WatchedHostDb::Write::Add, 3);  // texts, placement, then the change record
    const editors::EntrySave saved = editors::SaveEntry(sources, state, fields, &page);
    EXPECT_EQ(saved.outcome, SaveOutcome::Saved) << "the entry is there: the editor is done";
    ASSERT_EQ(prompter.said.size(), 1u);
    EXPECT_EQ(count(kPublic, tables::KeywordData, "KeyWord='Once'"), 1);
    EXPECT_FALSE(state.isNew);
}

TEST_F(EntryEditor, ADuplicateNameIsAskedAboutButAnEntryIsNoDuplicateOfItself) {
    EXPECT_EQ(save(kPublic, print, [](EntryFields& f) { f.keyWord = "input"; }).outcome, SaveOutcome::Stopped);
    EXPECT_EQ(prompter.said, std::vector<std::string>{"Print\r\n词条名称已经存在，你一定要重复添加吗？"});
    EXPECT_EQ(value(kPublic, tables::KeywordData, "UKeyWord='PRINT'", "KeyWord"), "Print");

    prompter.said.clear();
    EXPECT_EQ(save(kPublic, print, [](EntryFields& f) { f.keyWord = "PRINT"; }).outcome, SaveOutcome::Saved);
    EXPECT_TRUE(prompter.said.empty());
    EXPECT_EQ(value(kPublic, tables::KeywordData, "UKeyWord='PRINT'", "KeyWord"), "PRINT");
}

// An empty display name stands for the keyword, also for a row stored without one: its
// blank line is mended by the next save, and the close question counts it. A new form
// that nobody touched holds no change (its sort alone is none).
TEST_F(EntryEditor, AnEmptyStoredDisplayNameTakesTheKeywordAndAnUntouchedNewFormIsNoChange) {
    db.updateUtf(kPublic, tables::KeywordList, "kID=" + n(print), "DisplayKeyWord=''");
    const EntryState blank = load(kPublic, print);
    ASSERT_EQ(blank.displayKeyWord, "");
    EXPECT_EQ(editors::CollectEntryChanges(blank, editors::FieldsOf(blank)), "DisplayKeyWord='Print'");

    library::TreeNode rootNode{root, "[私用库]", 0, true, kPublic, library::kCategoryPrivateRoot};
    const EntryState fresh = editors::NewEntryFor(db, rootNode);
    EntryFields fields = editors::FieldsOf(fresh);
    EXPECT_EQ(editors::CollectEntryChanges(fresh, fields), "");
    fields.keyWord = "New";
    EXPECT_EQ(editors::CollectEntryChanges(fresh, fields), "KeyWord='New',UKeyWord='NEW',DisplayKeyWord='New',Sort=10000");
}

TEST_F(EntryEditor, ANewPrivateEntryNeedsNoCategoryAndIsNeverSubmittedOrRecorded) {
    useServer("O'Neil");
    library::TreeNode rootNode{root, "[私用库]", 0, true, kPublic, library::kCategoryPrivateRoot};
    EntryState state = editors::NewEntryFor(db, rootNode);
    EXPECT_EQ(state.lib, kPrivate);
    EXPECT_EQ(state.slotText[1], "ID=0:[私用库]\\");
    EntryFields fields = editors::FieldsOf(state);
    fields.keyWord = "MyMacro";
    fields.type = "10";
    const editors::EntrySave saved = editors::SaveEntry(sources, state, fields, &page);
    ASSERT_EQ(saved.outcome, SaveOutcome::Saved);
    EXPECT_EQ(saved.list, "KeyWord='MyMacro',UKeyWord='MYMACRO',DisplayKeyWord='MyMacro',nType=10,Sort=10000,dID=0");
    EXPECT_EQ(saved.nType, 10);
    EXPECT_EQ(value(kPrivate, tables::KeywordList, "kID=" + n(saved.kID), "dID"), "0");
    EXPECT_EQ(count(kPublic, tables::UpdateList, ""), 0);
    EXPECT_EQ(count(kPrivate, tables::UpdateList, ""), 0);
    EXPECT_EQ(changesOnServer(), 0);
}

TEST_F(EntryEditor, APublicSaveGoesThroughTheServerAndARefusalChangesNothing) {
    useServer("zero");
    const std::string before = snapshot(db);
    EXPECT_EQ(save(kPublic, print, [](EntryFields& f) { f.description = "refused"; }).outcome, SaveOutcome::Stopped);
    EXPECT_EQ(snapshot(db), before);
    EXPECT_EQ(prompter.said, std::vector<std::string>{"你的公共库修改次数不足，请24小后再修改。"});

    useServer("O'Neil");
    library::TreeNode node{print, "Print", statements, false, kPublic, 1};
    EntryState state = editors::NewEntryFor(db, node);
    EntryFields fields = editors::FieldsOf(state);
    fields.keyWord = "Lprint";
    const editors::EntrySave saved = editors::SaveEntry(sources, state, fields, &page);
    ASSERT_EQ(saved.outcome, SaveOutcome::Saved);
    EXPECT_GT(saved.kID, 5000) << "a new public entry takes the server's id";
    EXPECT_EQ(value(kPublic, tables::KeywordList, "kID=" + n(saved.kID), "dID"), n(statements));
    EXPECT_EQ(value(kPublic, tables::UpdateList, "tID=" + n(saved.kID), "sCommand"), "2");
    EXPECT_EQ(value(kPublic, tables::UpdateList, "tID=" + n(saved.kID), "uDate"), n(kServerNow));
    EXPECT_EQ(changesOnServer(), 1);
}

TEST_F(EntryEditor, AMegabyteOfTextIsSavedWhole) {
    const std::string big(1 << 20, 'a');
    ASSERT_EQ(save(kPrivate, helper, [&](EntryFields& f) { f.explain = big; }).outcome, SaveOutcome::Saved);
    EXPECT_EQ(value(kPrivate, tables::KeywordData, "KeyWord='Helper'", "Explain"), big);
}

TEST_F(EntryEditor, APageThatCannotBeReadGivesNoFields) {
    page.throws = "editor.getSource";
    EXPECT_FALSE(editors::ReadEntryFields(page).has_value());
    page.throws = "";
    EXPECT_TRUE(editors::ReadEntryFields(page).has_value());
    EXPECT_FALSE(editors::LoadEntry(db, kPublic, 999999).has_value());
}

// An editor of the public library opens only while the account has changes left today;
// when it has none, the user is told so and how many changes each account level has.
TEST_F(EntryEditor, AnAccountWithNoChangesLeftIsToldWhyTheEditorDoesNotOpen) {
    useServer("zero");
    EXPECT_FALSE(editors::editingAllowed(session, kPublic));
    ASSERT_EQ(prompter.said.size(), 1u);
    EXPECT_EQ(prompter.said[0].rfind("你的公共库修改次数不足，请24小后再修改。\r\n\r\n【同步修改】", 0), 0u) << prompter.said[0];
    EXPECT_NE(prompter.said[0].find("至尊(10万以上)：24小时修改 300 次。"), std::string::npos);

    prompter.said.clear();
    useServer("O'Neil");
    EXPECT_TRUE(editors::editingAllowed(session, kPublic));
    EXPECT_TRUE(editors::editingAllowed(session, kPrivate));
    EXPECT_TRUE(prompter.said.empty());
}

}  // namespace
}  // namespace orv::test
