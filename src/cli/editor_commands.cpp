// orvhelp's editor commands: an entry or a category changed or added through the
// editors' own core. The form starts as the editor would open it; FIELD=VALUE arguments
// stand for what the user types into it, and the save is the editor's OK command.
#include "cli/answering_prompter.h"
#include "cli/command.h"
#include "cli/help_window_session.h"
#include "cli/node_argument.h"

#include "editors/category_editor.h"
#include "editors/editor_sources.h"
#include "editors/entry_editor.h"
#include "library/fragment.h"
#include "library/host_db.h"
#include "library/plain_progress.h"
#include "library/schema.h"
#include "library/settings.h"
#include "library/sqlite_host_db.h"
#include "library/tree_node.h"
#include "library/udate.h"
#include "render/link.h"
#include "sync/http_client.h"
#include "sync/server_protocol.h"

#include <algorithm>
#include <iterator>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace orv::cli {
namespace {

using editors::SaveOutcome;
using render::TargetKind;
namespace tables = library::tables;

// What an editor opened from the help window works with: the window's libraries and
// settings, its server session, and questions answered as --yes says.
struct EditorSession : HelpWindowSession<AnsweringPrompter> {
    using HelpWindowSession::HelpWindowSession;

    library::PlainProgress progress;
    sync::ServerSession session{settings, prompter, progress, sync::makeHttpClient()};
    editors::EditorSources sources{db, prompter, session, library::uDateNow};
};

// The tree's record of the node a link names, as the window hands the selected node to
// an editor: r00 and r10 are the top levels of the libraries; any other node must be a
// row of its library. The tree knows the private root by its kind and files it under
// the private library.
library::TreeNode nodeRecord(library::HostDb& db, const std::string& text) {
    library::TreeNode node = render::recordOfTarget(nodeArgument(text));
    if (node.isCategory && node.id == 0) return node;
    library::Row row;
    const bool found = node.isCategory
                           ? db.findOne(node.lib, tables::Directory, "dID=" + std::to_string(node.id), row,
                                        "nType,DirName,ParentDir", "")
                           : db.findOne(node.lib, tables::KeywordList, "kID=" + std::to_string(node.id), row,
                                        "nType,DisplayKeyWord,dID", "");
    if (!found) failure("the node " + text + " is not in its library");
    node.type = static_cast<int>(library::cellNumber(row, 0));
    node.name = library::cellText(row, 1);
    node.parentId = library::cellNumber(row, 2);
    if (node.isCategory && node.type == library::kCategoryPrivateRoot) node.lib = library::kPrivate;
    return node;
}

// One FIELD=VALUE argument: the name before the first "=", the value after it as given.
struct Given {
    std::string name;
    std::string value;
};

// The FIELD=VALUE arguments after the node; `known` lists the field names, and `check`
// turns a value the field cannot hold into a usage error.
template <typename Check>
std::vector<Given> givenFields(const std::vector<std::string>& args, const std::vector<std::string>& known,
                               Check check) {
    std::vector<Given> given;
    for (size_t i = 1; i < args.size(); ++i) {
        const size_t eq = args[i].find('=');
        if (eq == std::string::npos) usageError("\"" + args[i] + "\" is not FIELD=VALUE");
        Given g{args[i].substr(0, eq), args[i].substr(eq + 1)};
        if (std::find(known.begin(), known.end(), g.name) == known.end()) {
            std::string names;
            for (const std::string& name : known) names += (names.empty() ? "" : ", ") + name;
            usageError("unknown field \"" + g.name + "\" (the fields: " + names + ")");
        }
        check(g);
        given.push_back(std::move(g));
    }
    return given;
}

// What a save prints: the list as saved on one line, then a line naming the row's id
// ("kID\t17"); nothing when nothing changed. A save that did not happen is a failure.
int finish(Context& ctx, EditorSession& s, SaveOutcome outcome, const std::string& list, std::string_view idName,
           long long id, const std::string& what) {
    if (outcome == SaveOutcome::Saved) ctx.out << onOneLine(list) << '\n' << idName << '\t' << id << '\n';
    failWhenRefused(s.prompter, what);
    if (outcome == SaveOutcome::Stopped) failure(what + " did not happen");
    return kExitOk;
}

// The entry form's fields by their ids (and radio-button names), in the form's order.
enum class FieldValue { Text, Switch, Number, Slot };
struct EntryFormField {
    std::string_view name;
    std::string editors::EntryFields::*text;  // nullptr for a slot
    FieldValue value;
    int slot;
};
constexpr EntryFormField kEntryForm[] = {
    {"KeyWord", &editors::EntryFields::keyWord, FieldValue::Text, 0},
    {"DisplayKeyWord", &editors::EntryFields::displayKeyWord, FieldValue::Text, 0},
    {"Platform1", &editors::EntryFields::platform1, FieldValue::Switch, 0},
    {"Platform2", &editors::EntryFields::platform2, FieldValue::Switch, 0},
    {"Attribute", &editors::EntryFields::attribute, FieldValue::Number, 0},
    {"type", &editors::EntryFields::type, FieldValue::Number, 0},
    {"ctid", &editors::EntryFields::ctid, FieldValue::Text, 0},
    {"DirID1", nullptr, FieldValue::Slot, 1},
    {"DirID2", nullptr, FieldValue::Slot, 2},
    {"DirID3", nullptr, FieldValue::Slot, 3},
    {"DirID4", nullptr, FieldValue::Slot, 4},
    {"DirID5", nullptr, FieldValue::Slot, 5},
    {"Description", &editors::EntryFields::description, FieldValue::Text, 0},
    {"Syntax", &editors::EntryFields::syntax, FieldValue::Text, 0},
    {"Member", &editors::EntryFields::member, FieldValue::Text, 0},
    {"Parameter", &editors::EntryFields::parameter, FieldValue::Text, 0},
    {"Explain", &editors::EntryFields::explain, FieldValue::Text, 0},
    {"Examples", &editors::EntryFields::examples, FieldValue::Text, 0},
    {"Source", &editors::EntryFields::source, FieldValue::Text, 0},
    {"Related", &editors::EntryFields::related, FieldValue::Text, 0},
    {"Include", &editors::EntryFields::include, FieldValue::Text, 0},
    {"Sort", &editors::EntryFields::sort, FieldValue::Text, 0},
};

const EntryFormField& entryFormField(std::string_view name) {
    return *std::find_if(std::begin(kEntryForm), std::end(kEntryForm),
                         [&](const EntryFormField& f) { return f.name == name; });
}

bool isWholeNumber(std::string_view text) {
    return !text.empty() && text.size() <= 18 && text.find_first_not_of("0123456789") == std::string_view::npos;
}

std::vector<Given> givenEntryFields(const std::vector<std::string>& args) {
    std::vector<std::string> known;
    for (const EntryFormField& f : kEntryForm) known.emplace_back(f.name);
    return givenFields(args, known, [](const Given& g) {
        switch (entryFormField(g.name).value) {
        case FieldValue::Switch:
            if (g.value != "1" && g.value != "0")
                usageError(g.name + " must be 1 (ticked) or 0, not \"" + g.value + "\"");
            break;
        case FieldValue::Number:
            if (!isWholeNumber(g.value)) usageError(g.name + " must be a whole number, not \"" + g.value + "\"");
            break;
        case FieldValue::Text:
        case FieldValue::Slot: break;
        }
    });
}

// A slot field as the page holds it ("ID=12:图形\"), or a bare category number, which
// stands for the text the chooser would have put there.
std::string slotText(library::HostDb& db, int lib, const std::string& value) {
    return isWholeNumber(value) ? editors::slotFieldText(db, lib, library::toInt(value)) : value;
}

int editEntryCommand(Context& ctx) {
    const auto& p = ctx.args.positional;
    const bool isNew = ctx.args.has("--new");
    const std::vector<Given> given = givenEntryFields(p);
    if (!isNew && nodeArgument(p[0]).kind == TargetKind::Category)
        usageError("NODE must be an entry (k or y form) unless --new is given, not " + p[0]);
    EditorSession s(ctx);

    editors::EntryState state;
    if (isNew) {
        state = editors::NewEntryFor(s.db, nodeRecord(s.db, p[0]));
    } else {
        const render::LinkTarget entry = nodeArgument(p[0]);
        std::optional<editors::EntryState> loaded = editors::LoadEntry(s.db, entry.lib, entry.id);
        if (!loaded) {
            s.prompter.message(editors::kEntryUnreadable, library::MessageKind::Error);
            failure("the entry edit did not happen");
        }
        state = std::move(*loaded);
    }
    editors::EntryFields fields = editors::FieldsOf(state);
    for (const Given& g : given) {
        const EntryFormField& f = entryFormField(g.name);
        if (f.value == FieldValue::Slot) fields.dirID[f.slot] = slotText(s.db, state.lib, g.value);
        else fields.*f.text = g.value;
    }
    const editors::EntrySave saved = editors::SaveEntry(s.sources, state, fields, nullptr);
    return finish(ctx, s, saved.outcome, saved.list, "kID", saved.kID, "the entry edit");
}

// The category form's fields, as edit-category names them.
constexpr std::string_view kCategoryFormFields[] = {"parent", "name", "sort", "kind", "description"};

std::string kindChoices() {
    std::string choices;
    for (int kind : editors::kKindOptions) choices += (choices.empty() ? "" : ", ") + std::to_string(kind);
    return choices;
}

std::vector<Given> givenCategoryFields(const std::vector<std::string>& args) {
    const std::vector<std::string> known(std::begin(kCategoryFormFields), std::end(kCategoryFormFields));
    return givenFields(args, known, [](const Given& g) {
        if (g.name == "parent" && !isWholeNumber(g.value))
            usageError("parent must be a category number, not \"" + g.value + "\"");
        if (g.name == "kind" &&
            std::none_of(std::begin(editors::kKindOptions), std::end(editors::kKindOptions),
                         [&](int kind) { return g.value == std::to_string(kind); }))
            usageError("kind must be one of " + kindChoices() + " (hidden, shown in the IDE, a leaf), not \"" +
                       g.value + "\"");
    });
}

int editCategoryCommand(Context& ctx) {
    const auto& p = ctx.args.positional;
    const bool child = ctx.args.has("--new"), top = ctx.args.has("--new-top");
    if (child && top) usageError("--new and --new-top cannot be given together");
    const std::vector<Given> given = givenCategoryFields(p);
    if (nodeArgument(p[0]).kind != TargetKind::Category)
        usageError("NODE must be a category link (r form, r00 or r10 for a library's top level), not " + p[0]);
    EditorSession s(ctx);

    const editors::CategoryMode mode = top     ? editors::CategoryMode::NewTop
                                       : child ? editors::CategoryMode::NewChild
                                               : editors::CategoryMode::Change;
    std::optional<editors::CategoryState> loaded = editors::LoadCategory(s.db, mode, nodeRecord(s.db, p[0]));
    if (!loaded) {
        s.prompter.message(editors::kCategoryUnreadable, library::MessageKind::Error);
        failure("the category edit did not happen");
    }
    editors::CategoryState& state = *loaded;
    editors::CategoryFields fields = editors::FieldsOf(state);
    for (const Given& g : given) {
        if (g.name == "parent") fields.parentText = editors::parentFieldText(s.db, state.lib, library::toInt(g.value));
        else if (g.name == "name") fields.name = g.value;
        else if (g.name == "sort") fields.sort = g.value;
        else if (g.name == "kind") fields.kind = static_cast<int>(library::toInt(g.value));
        else if (g.name == "description") fields.description = g.value;
    }
    fields.syncKinds = ctx.args.has("--sync-kinds");
    const editors::CategorySave saved = editors::SaveCategory(s.sources, state, fields);
    return finish(ctx, s, saved.outcome, saved.list, "dID", saved.dID, "the category edit");
}

constexpr size_t kManyFields = 1000;

}  // namespace

std::vector<Command> editorCommands() {
    return {
        {"edit-entry", "edit-entry NODE [--new] [FIELD=VALUE]... [--yes]",
         "change entry NODE (k17, y03), or with --new add one to category NODE (r012; r10 the private top level) "
         "or beside entry NODE, as the entry editor's OK does. FIELD: a field of the form (KeyWord, Explain, Sort, "
         "DirID1..DirID5 as ID=12:path or just 12, ...). Prints the saved change list and kID<TAB>id, nothing "
         "when nothing changed",
         1, kManyFields, editEntryCommand},
        {"edit-category",
         "edit-category NODE [--new | --new-top] [parent=ID] [name=TEXT] [sort=N] [kind=0|10|1] "
         "[description=HTML] [--sync-kinds] [--yes]",
         "change category NODE (r012), or add one under it (--new) or at the top of its library (--new-top), as "
         "the category editor's save does; --sync-kinds gives its branch the kind. Prints the saved change list "
         "and dID<TAB>id, nothing when nothing changed",
         1, kManyFields, editCategoryCommand},
    };
}

}  // namespace orv::cli
