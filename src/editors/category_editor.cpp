// The category editor's core: loading, the change list and the save.
#include "editors/category_editor.h"

#include "editors/editor_template.h"
#include "library/descendants.h"
#include "library/fragment.h"
#include "library/schema.h"
#include "render/category_trail.h"
#include "sync/public_save.h"
#include "text/ascii.h"

namespace orv::editors {
namespace {

using library::toInt;
namespace dir = library::dir;

std::string num(long long value) { return std::to_string(value); }

// The number after "=" and before the first "\" of a parent field.
long long parentNumber(std::string_view field) {
    const size_t eq = field.find('=');
    const std::string_view rest = eq == std::string_view::npos ? field : field.substr(eq + 1);
    return toInt(rest.substr(0, rest.find('\\')));
}

bool isSpecialKind(long long kind) {
    return kind == library::kCategoryRecycleBin || kind == library::kCategoryPrivateRoot;
}

}  // namespace

std::string parentFieldText(library::HostDb& db, int lib, long long dID) {
    return "ID=" + num(dID) + render::CategoryPath(db, lib, dID);
}

std::optional<CategoryState> LoadCategory(library::HostDb& db, CategoryMode mode, const library::TreeNode& node) {
    CategoryState s;
    s.mode = mode;
    s.lib = node.lib;
    if (mode == CategoryMode::NewTop) {
        s.parentText = parentFieldText(db, s.lib, 0);
        return s;
    }
    if (mode == CategoryMode::NewChild) {
        if (node.isCategory && node.type == library::kCategoryPrivateRoot) {
            s.lib = library::kPrivate;
        } else {
            s.parent = node.isCategory ? node.id
                                       : toInt(db.findOnly(node.lib, library::tables::KeywordList,
                                                           "kID=" + num(node.id), "dID", ""));
        }
        s.parentText = parentFieldText(db, s.lib, s.parent);
        return s;
    }
    // The private root's row lives in the public library.
    if (node.type == library::kCategoryPrivateRoot) s.lib = library::kPublic;
    library::Row row;
    if (!db.findOne(s.lib, library::tables::Directory, "dID=" + num(node.id), row, "*", "")) return std::nullopt;
    s.dID = node.id;
    s.parent = library::cellNumber(row, dir::ParentDir);
    s.parentText = parentFieldText(db, s.lib, s.parent);
    s.name = library::cellText(row, dir::DirName);
    s.sort = library::cellNumber(row, dir::Sort);
    s.kind = static_cast<int>(library::cellNumber(row, dir::nType));
    s.description = library::cellText(row, dir::Description);
    s.special = isSpecialKind(s.kind);
    return s;
}

std::string FillDescriptionPage(std::string page, std::string_view description, std::string_view background) {
    Placeholders put;
    put.raw("background", std::string(background));
    put.textArea("Description", description);
    return put.fill(page);
}

CategoryFields FieldsOf(const CategoryState& s) {
    return {s.parentText, s.name, num(s.sort), s.kind, s.description, false};
}

CategoryChanges CollectCategoryChanges(library::HostDb& db, const CategoryState& s, const CategoryFields& f) {
    CategoryChanges out;
    const auto refuse = [&](std::string_view message, CategoryField focus) {
        out.error = std::string(message);
        out.focus = focus;
        return out;
    };
    library::Assignments list;
    const long long parent = parentNumber(f.parentText);
    if (s.isNew() || (parent != s.parent && !s.special)) {
        if (parent != 0) {
            // A parent must be a category the chooser could have offered.
            library::Row row;
            if (!db.findOne(s.lib, library::tables::Directory, "dID=" + num(parent), row, "nType", "") ||
                isSpecialKind(library::cellNumber(row, 0)))
                return refuse(kParentMissing, CategoryField::Parent);
        }
        if (!s.isNew()) {
            const std::string category = render::IdPath(db, s.lib, s.dID);
            if (render::IdPath(db, s.lib, parent).rfind(category, 0) == 0)
                return refuse(library::kNotUnderItselfMessage, CategoryField::Parent);
        }
        list.add("ParentDir", parent);
    }
    if (s.isNew() || (f.kind != s.kind && !s.special)) list.add("nType", f.kind);
    const std::optional<long long> sort = fieldInteger(f.sort);
    if (!sort) return refuse(texts::kSortNotNumber, CategoryField::Sort);
    // A new row stores the sort its form shows; the table's own default may differ.
    if (*sort != s.sort || s.isNew()) list.add("Sort", *sort);
    if (text::trimBlanks(f.name).empty()) return refuse(kNameRequired, CategoryField::Name);
    if (f.name != s.name) list.addText("DirName", f.name);
    if (f.description != s.description) list.addText("Description", f.description);
    out.list = list.str();
    return out;
}

bool CategoryModified(const CategoryState& s, const CategoryFields& f) {
    return parentNumber(f.parentText) != s.parent || (f.kind != s.kind && !s.special) ||
           toInt(f.sort) != s.sort || f.name != s.name || f.description != s.description;
}

CategorySave SaveCategory(const EditorSources& src, CategoryState& s, const CategoryFields& f) {
    CategorySave result;
    const CategoryChanges changes = CollectCategoryChanges(src.db, s, f);
    if (!changes.error.empty()) {
        src.prompter.message(changes.error, library::MessageKind::Error);
        result.focus = changes.focus;
        return result;
    }
    result.outcome = SaveOutcome::NothingChanged;
    result.dID = s.dID;
    if (!changes.list.empty()) {
        const Author author = currentAuthor(src);
        const sync::PublicChange change{s.isNew() ? library::kNewCategory : library::kCategoryChanged,
                                        s.dID,
                                        f.name,
                                        changes.list,
                                        library::AddService::Utf8,
                                        author.uID,
                                        /*submit=*/!s.special};
        const sync::SaveResult saved = sync::SaveIntoLibrary(src.session, src.db, s.lib, change, src.now());
        sync::reportFailedSave(src.prompter, saved);
        // Once the server took the change or the row was written, saving again would make
        // the category twice: what failed after that has been told, and the editor is done.
        if (!saved.saved() && !saved.submitted && saved.applied == 0) {
            result.outcome = SaveOutcome::Stopped;
            return result;
        }
        if (s.isNew()) s.dID = saved.target;
        s.mode = CategoryMode::Change;
        result.outcome = SaveOutcome::Saved;
        result.list = saved.body;
        result.dID = s.dID;
    }
    if (f.syncKinds && s.dID != 0 && !s.special) {
        const std::string ids = library::descendantList(src.db, s.lib, s.dID);
        if (src.db.update(s.lib, library::tables::Directory, "dID in (" + ids + ")", "nType=" + num(f.kind)) < 0) {
            src.prompter.message(library::failedWriteMessage(src.db.errMsg(s.lib)), library::MessageKind::Error);
            // Trying again is harmless when nothing else was written.
            if (changes.list.empty()) result.outcome = SaveOutcome::Stopped;
            return result;
        }
        result.outcome = SaveOutcome::Saved;
    }
    return result;
}

}  // namespace orv::editors
