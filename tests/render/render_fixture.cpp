// Page-test libraries and templates.
#include "render/render_fixture.h"

#include "library/fragment.h"
#include "library/schema.h"
#include "text/ascii.h"

namespace orv::test {

using namespace library;

namespace {

// Each placeholder between markers, so a test can read what replaced it.
const char* const kKeywordTemplate =
    "\xEF\xBB\xBF<link href=\"pui/a.css\"><img src=\"pui/b.png\"><body>"
    "[Contents]<!-- Contents -->[/Contents][Name]<!-- DisplayKeyWord -->[/Name]"
    "<blockquote>[KeyWord]<!-- KeyWord -->[/KeyWord][Description]<!-- Description -->[/Description]</blockquote>"
    "[Syntax]<!-- Syntax -->[/Syntax][Explain]<!-- Explain -->[/Explain][Parameter]<!-- Parameter -->[/Parameter]"
    "[Member]<!-- Member -->[/Member][Examples]<!-- Examples -->[/Examples][Source]<!-- Source -->[/Source]"
    "[Related]<!-- Related -->[/Related][Include]<!-- Include -->[/Include][Platform]<!-- Platform -->[/Platform]"
    "[date]<!-- date -->[/date][User]<!-- User -->[/User]";
const char* const kFolderTemplate =
    "<link href=\"pui/a.css\"><body>[Contents]<!-- Contents -->[/Contents][Name]<!-- DisplayKeyWord -->[/Name]"
    "[Description]<!-- Description -->[/Description][date]<!-- date -->[/date][User]<!-- User -->[/User]";

}  // namespace

void RenderFixture::SetUp() {
    std::string error;
    ASSERT_TRUE(db.openInMemory(kPublic, kPublic, error)) << error;
    ASSERT_TRUE(db.openInMemory(kPrivate, kPrivate, error)) << error;
    writeFile(dir.path() / "view" / "keyword.htm", kKeywordTemplate);
    writeFile(dir.path() / "view" / "folder.htm", kFolderTemplate);
}

long long RenderFixture::addCategory(int lib, long long parent, const std::string& name, const std::string& extra) {
    return db.addItemUtf(lib, tables::Directory,
                         Assignments().addText("DirName", name).add("ParentDir", parent).append(extra).str());
}

long long RenderFixture::addEntry(int lib, long long dID, const std::string& keyword, const std::string& data,
                                  const std::string& list) {
    const long long sID = db.addItemUtf(
        lib, tables::KeywordData,
        Assignments().addText("KeyWord", keyword).addText("UKeyWord", text::toUpperAscii(keyword)).append(data).str());
    return db.addItemUtf(lib, tables::KeywordList,
                         Assignments().add("dID", dID).add("sID", sID).addText("DisplayKeyWord", keyword).append(list).str());
}

long long RenderFixture::placeAgain(int lib, long long kID, long long dID) {
    const std::string sID = db.findOnly(lib, tables::KeywordList, "kID=" + std::to_string(kID), "sID", "");
    return db.addItemUtf(lib, tables::KeywordList, "dID=" + std::to_string(dID) + ",sID=" + sID);
}

std::optional<render::Page> RenderFixture::keywordPage(int lib, long long kID, const std::string& searchWord) {
    TreeNode record;
    record.id = kID;
    record.lib = lib;
    render::Marking marking;
    if (!searchWord.empty()) marking = {searchWord, "<span class=\"highlight\">" + searchWord + "</span>"};
    return render::buildKeywordPage(sources(), record, marking);
}

std::optional<render::Page> RenderFixture::folderPage(int lib, long long dID, int type, bool classified) {
    TreeNode record;
    record.id = dID;
    record.lib = lib;
    record.isCategory = true;
    record.type = type;
    return render::buildFolderPage(sources(classified), record);
}

std::string part(const std::string& page, const std::string& name) {
    const std::string open = "[" + name + "]", close = "[/" + name + "]";
    const size_t a = page.find(open), b = page.find(close);
    if (a == std::string::npos || b == std::string::npos) return "<missing " + name + ">";
    return page.substr(a + open.size(), b - a - open.size());
}

}  // namespace orv::test
