// The editors' test rig.
#include "editor_fixture.h"

#include "library/schema.h"
#include "sync/wire_packing.h"

namespace orv::test {

using library::kPrivate;
using library::kPublic;

EditorTest::EditorTest()
    : session{settings, prompter, progress, sync::makeHttpClient()},
      sources{db, prompter, session, [] { return kNow; }} {
    LibraryRows rows(db);
    root = rows.privateRoot();
    statements = rows.category(kPublic, 0, "Statements", library::kCategoryShownInIde, 100);
    graphics = rows.category(kPublic, 0, "Graphics", library::kCategoryShownInIde, 200);
    drawing = rows.category(kPublic, graphics, "Drawing", library::kCategoryHidden);
    bin = rows.category(kPublic, 0, "[公用库回收站]", library::kCategoryRecycleBin, library::kRecycleBinSort);
    old = rows.category(kPublic, bin, "Old");
    print = rows.entry(kPublic, statements, "Print", library::kEntryStatement);
    input = rows.entry(kPublic, statements, "Input", library::kEntryStatement);
    inputAgain = rows.placeAgain(kPublic, input, graphics);
    point = rows.entry(kPublic, statements, "Point", library::kEntryDefinedType);
    x = rows.member(kPublic, point, "x");
    square = rows.entry(kPublic, statements, "Square", library::kEntryDefinedType);
    mine = rows.category(kPrivate, 0, "Mine");
    helper = rows.entry(kPrivate, mine, "Helper", library::kEntryFunction);
    server.setNow(kServerNow);
    server.addAccount("O'Neil", "secret", 100);
    server.addAccount("zero", "secret", 0);
    for (auto kind : {server::IdKind::Category, server::IdKind::Entry, server::IdKind::Data})
        server.store().reserveIds(kind, 5000);
    settings.kill = 0;
    useFreeChanges();
}

void EditorTest::useServer(const std::string& account) {
    settings.update = 0;
    settings.user = account;
    settings.password = sync::PasswordDigest("secret");
    settings.server = "http://127.0.0.1:" + std::to_string(server.port()) + "/";
}

void EditorTest::useFreeChanges() {
    // As the setup window stores its ticked box. Nothing may reach a server in this mode:
    // there is none at this address.
    settings.update = -1;
    settings.server = "http://127.0.0.1:9/";
}

int EditorTest::changesOnServer() {
    return static_cast<int>(fetchedRecords(server.fetch(0)).size());
}

std::string EditorTest::value(int lib, std::string_view table, const std::string& where, std::string_view field) {
    return db.findOnly(lib, table, where, field, "");
}

long long EditorTest::count(int lib, std::string_view table, const std::string& where) {
    return db.count(lib, table, where);
}

}  // namespace orv::test
