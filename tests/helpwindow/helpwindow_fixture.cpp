// Row builders and tree readers of the help-window tests.
#include "helpwindow/helpwindow_fixture.h"

#include "library/fragment.h"
#include "library/schema.h"
#include "text/ascii.h"

namespace orv::test {

using namespace library;

long long LibraryRows::category(int lib, long long parent, const std::string& name, int type, int sort) {
    return db_.addItemUtf(
        lib, tables::Directory,
        Assignments().addText("DirName", name).add("ParentDir", parent).add("nType", type).add("Sort", sort).str());
}

long long LibraryRows::entry(int lib, long long dID, const std::string& name, int type, int sort) {
    const long long sID = db_.addItemUtf(lib, tables::KeywordData,
                                         Assignments()
                                             .addText("KeyWord", name)
                                             .addText("UKeyWord", text::toUpperAscii(name))
                                             .add("nType", type)
                                             .str());
    return db_.addItemUtf(lib, tables::KeywordList,
                          Assignments()
                              .add("dID", dID)
                              .add("sID", sID)
                              .addText("DisplayKeyWord", name)
                              .add("nType", type)
                              .add("Sort", sort)
                              .str());
}

long long LibraryRows::placeAgain(int lib, long long kID, long long dID) {
    Row row;
    db_.findOne(lib, tables::KeywordList, "kID=" + std::to_string(kID), row, "sID,DisplayKeyWord,nType", "");
    return db_.addItemUtf(lib, tables::KeywordList,
                          Assignments()
                              .add("dID", dID)
                              .add("sID", cellNumber(row, 0))
                              .addText("DisplayKeyWord", cellText(row, 1))
                              .add("nType", cellNumber(row, 2))
                              .str());
}

long long LibraryRows::member(int lib, long long owner, const std::string& name, int type) {
    return entry(lib, owner, name, type);
}

long long LibraryRows::privateRoot() {
    return category(kPublic, 0, std::string(kPrivateRootName), kCategoryPrivateRoot, kPrivateRootSort);
}

std::vector<std::string> HelpWindowFixture::texts(helpwindow::ItemId parent) const {
    std::vector<std::string> out;
    for (helpwindow::ItemId child : tree.children(parent)) out.push_back(tree.text(child));
    return out;
}

helpwindow::ItemId HelpWindowFixture::childNamed(helpwindow::ItemId parent, std::string_view text) const {
    for (helpwindow::ItemId child : tree.children(parent))
        if (tree.text(child) == text) return child;
    return helpwindow::kNoItem;
}

std::string snapshot(library::HostDb& db) {
    std::string out;
    for (int lib : {library::kPublic, library::kPrivate}) {
        for (std::string_view table : {tables::Directory, tables::KeywordList, tables::KeywordData}) {
            library::ResultTable rows;
            db.find(lib, table, "", rows, "*", "", 0);
            out.append(std::to_string(lib)).append(table).append(":");
            for (const library::Row& r : rows.rows)
                for (const std::string& v : r) out.append(v).append("|");
            out.append("\n");
        }
    }
    for (std::string_view table : {tables::UpdateList, tables::User}) {
        library::ResultTable rows;
        db.find(library::kPublic, table, "", rows, "*", "", 0);
        out.append(table).append(":");
        for (const library::Row& r : rows.rows)
            for (const std::string& v : r) out.append(v).append("|");
        out.append("\n");
    }
    library::ResultTable favorites;
    db.find(library::kPrivate, tables::Favorite, "", favorites, "*", "", 0);
    out.append("Favorite:").append(std::to_string(favorites.count()));
    return out;
}

}  // namespace orv::test
