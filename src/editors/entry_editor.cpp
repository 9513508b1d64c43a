// The entry editor's core: loading, the form's page, reading it back, the change list
// and the save.
#include "editors/entry_editor.h"

#include "editors/editor_template.h"
#include "library/change_log.h"
#include "library/fragment.h"
#include "library/schema.h"
#include "render/category_trail.h"
#include "sync/public_save.h"
#include "text/ascii.h"
#include "text/encoding.h"
#include "text/markup.h"

namespace orv::editors {
namespace {

namespace joined = library::joined;
using library::quoteText;
using library::toInt;

std::string num(long long value) { return std::to_string(value); }

// Text as the page holds it: invalid UTF-8 shown as U+FFFD, and line ends as one "\n"
// (a text area hands back "\n" whatever it was given).
std::string asShown(std::string_view text) {
    std::string shown = text::isValidUtf8(text) ? std::string(text) : text::utf16ToUtf8(text::utf8ToUtf16(text));
    shown = text::replaceAll(shown, "\r\n", "\n");
    return text::replaceAll(shown, "\r", "\n");
}
// A one-line field drops line ends altogether.
std::string asShownOnOneLine(std::string_view text) {
    std::string line = asShown(text);
    return text::replaceAll(line, "\n", "");
}
bool sameText(std::string_view page, std::string_view stored) { return asShown(page) == asShown(stored); }
bool sameLine(std::string_view page, std::string_view stored) {
    return asShownOnOneLine(page) == asShownOnOneLine(stored);
}
// What a text area's value is saved as: lines ended by CR LF.
std::string withCrLf(std::string_view page) { return text::replaceAll(asShown(page), "\n", "\r\n"); }

// The number a slot or owner field names: between "=" and ":" ("ID=12:图形\"), or the
// whole field when it holds a number only.
long long slotNumber(std::string_view field) {
    const size_t eq = field.find('=');
    if (eq == std::string_view::npos) return toInt(field);
    const size_t colon = field.find(':', eq);
    return toInt(field.substr(eq + 1, colon == std::string_view::npos ? std::string_view::npos : colon - eq - 1));
}

int platformOf(const EntryFields& f) {
    const bool first = toInt(f.platform1) == 1, second = toInt(f.platform2) == 1;
    return first && second ? library::kPlatformBoth : second ? library::kPlatformLinux : library::kPlatformWindows;
}

// The text columns after the placements, in the save order.
struct TextColumn {
    std::string_view name;
    std::string EntryState::*stored;
    std::string EntryFields::*field;
};
constexpr TextColumn kTextColumns[] = {
    {"Description", &EntryState::description, &EntryFields::description},
    {"Syntax", &EntryState::syntax, &EntryFields::syntax},
    {"Member", &EntryState::member, &EntryFields::member},
    {"Parameter", &EntryState::parameter, &EntryFields::parameter},
    {"Explain", &EntryState::explain, &EntryFields::explain},
    {"Examples", &EntryState::examples, &EntryFields::examples},
    {"Source", &EntryState::source, &EntryFields::source},
    {"Related", &EntryState::related, &EntryFields::related},
    {"Include", &EntryState::include, &EntryFields::include},
};
bool isExplain(const TextColumn& c) { return c.name == "Explain"; }

// Fields read with `return $("#id").val()`.
constexpr std::string_view kValueFields[] = {"KeyWord", "DisplayKeyWord", "ctid", "DirID1", "DirID2", "DirID3",
                                             "DirID4", "DirID5", "Description", "Syntax", "Member", "Parameter",
                                             "Examples", "Source", "Related", "Include", "Sort"};
// Labels that take the required-field marker.
constexpr std::string_view kMarkedLabels[] = {"DirID1Label", "KeyWordLabel"};

std::string valueScript(std::string_view id) { return "return $(\"#" + std::string(id) + "\").val()"; }
std::string platformScript(int box) {
    return "var r=document.getElementsByName(\"Platform\");if(r[" + num(box) +
           "].checked){return 1;}else{return 0;}";
}

bool namesColumn(std::string_view list, std::string_view column) {
    for (std::string_view item : library::splitOutsideQuotes(list)) {
        library::Assignment a;
        if (library::splitAssignment(item, a) && a.column == column) return true;
    }
    return false;
}

void markRequired(EditorPage* page, std::string_view label, std::string_view then) {
    if (!page) return;
    const std::string id = "#" + std::string(label);
    page->run("if(!$(\"" + id + " .bg-dot\").length){$(\"" + id + "\").append(" +
              text::jsStringLiteral(texts::kRequiredMarker) + ");}" + std::string(then));
}

}  // namespace

std::string slotFieldText(library::HostDb& db, int lib, long long dID) {
    const std::string path = render::CategoryPath(db, lib, dID);
    return "ID=" + num(dID) + ":" + (path.empty() ? path : path.substr(1));
}

std::optional<EntryState> LoadEntry(library::HostDb& db, int lib, long long kID) {
    library::Row row;
    if (!db.findOne(lib, library::tables::ListAndData, std::string(library::tables::JoinCondition) + " And kID=" + num(kID),
                    row, "*", "") ||
        static_cast<int>(row.size()) < joined::kColumnCount)
        return std::nullopt;
    EntryState s;
    s.isNew = false;
    s.lib = lib;
    s.kID[1] = kID;
    s.dID[1] = library::cellNumber(row, joined::dID);
    s.sID = library::cellNumber(row, joined::sID);
    s.displayKeyWord = library::cellText(row, joined::DisplayKeyWord);
    s.nType = static_cast<int>(library::cellNumber(row, joined::nType));
    s.sort = library::cellNumber(row, joined::Sort);
    s.keyWord = library::cellText(row, joined::KeyWord);
    s.uKeyWord = library::cellText(row, joined::UKeyWord);
    s.description = library::cellText(row, joined::Description);
    s.explain = library::cellText(row, joined::Explain);
    s.syntax = library::cellText(row, joined::Syntax);
    s.member = library::cellText(row, joined::Member);
    s.parameter = library::cellText(row, joined::Parameter);
    s.examples = library::cellText(row, joined::Examples);
    s.source = library::cellText(row, joined::Source);
    s.related = library::cellText(row, joined::Related);
    s.include = library::cellText(row, joined::Include);
    s.platform = static_cast<int>(library::cellNumber(row, joined::Platform));
    s.attribute = static_cast<int>(library::cellNumber(row, joined::Attribute));
    if (!s.isMember()) {
        library::ResultTable others;
        db.find(lib, library::tables::KeywordList, "sID=" + num(s.sID), others, "kID,dID", "", 0);
        int slot = 2;
        for (int i = 0; i < others.count() && slot <= kSlots; ++i) {
            if (others.number(i, 0) == kID) continue;
            s.kID[slot] = others.number(i, 0);
            s.dID[slot] = others.number(i, 1);
            ++slot;
        }
    }
    for (int n = 1; n <= kSlots; ++n)
        s.slotText[n] = s.isMember() ? "ID=" + num(s.dID[n]) + ":" : slotFieldText(db, lib, s.dID[n]);
    return s;
}

EntryState NewEntryFor(library::HostDb& db, const library::TreeNode& node) {
    EntryState s;
    s.lib = node.lib;
    if (node.isCategory) {
        if (node.type == library::kCategoryPrivateRoot) s.lib = library::kPrivate;
        else s.dID[1] = node.id;
    } else {
        library::Row row;
        if (db.findOne(node.lib, library::tables::KeywordList, "kID=" + num(node.id), row, "dID,nType", "")) {
            s.dID[1] = library::cellNumber(row, 0);
            // A member's dID is its owner's kID: the new entry goes beside the owner.
            if (library::cellNumber(row, 1) >= library::kFirstMemberType)
                s.dID[1] = toInt(db.findOnly(node.lib, library::tables::KeywordList, "kID=" + num(s.dID[1]), "dID", ""));
        }
    }
    for (int n = 1; n <= kSlots; ++n) s.slotText[n] = slotFieldText(db, s.lib, s.dID[n]);
    return s;
}

EntryFields FieldsOf(const EntryState& s) {
    EntryFields f;
    f.keyWord = s.keyWord;
    f.displayKeyWord = s.displayKeyWord;
    f.platform1 = s.platform == library::kPlatformWindows || s.platform == library::kPlatformBoth ? "1" : "0";
    f.platform2 = s.platform == library::kPlatformLinux || s.platform == library::kPlatformBoth ? "1" : "0";
    f.attribute = num(s.attribute);
    f.type = num(s.nType);
    f.ctid = s.isMember() ? num(s.dID[1]) : "0";
    for (int n = 1; n <= kSlots; ++n) f.dirID[n] = s.slotText[n];
    for (const TextColumn& c : kTextColumns) f.*c.field = s.*c.stored;
    f.sort = num(s.sort);
    return f;
}

std::string FillEntryPage(std::string page, const EntryState& s, std::string_view background) {
    Placeholders put;
    put.raw("background", std::string(background));
    put.attribute("kID", num(s.kID[1]));
    put.attribute("sID", num(s.sID));
    for (int n = 1; n <= kSlots; ++n) put.attribute("DirID" + num(n), s.slotText[n]);
    put.attribute("KeyWord", s.keyWord);
    put.attribute("DisplayKeyWord", s.displayKeyWord);
    for (const TextColumn& c : kTextColumns) put.textArea(c.name, s.*c.stored);
    put.attribute("Sort", num(s.sort));
    const auto checked = [](bool on) { return on ? std::string("checked") : std::string(); };
    put.raw("Platform1", checked(s.platform == library::kPlatformWindows || s.platform == library::kPlatformBoth));
    put.raw("Platform2", checked(s.platform == library::kPlatformLinux || s.platform == library::kPlatformBoth));
    for (int n = 0; n <= 3; ++n) put.raw("Attribute" + num(n), checked(n == s.attribute));
    put.attribute("ctid", s.isMember() ? num(s.dID[1]) : "0");
    for (int n = 0; n <= 21; ++n) put.raw("Type" + num(n), checked(n == s.nType));
    return put.fill(page);
}

std::vector<std::string> entryGroupScripts(bool member) {
    std::vector<std::string> scripts;
    const std::string slots = member ? "hide" : "show";
    for (int n = 1; n <= kSlots; ++n) scripts.push_back("$(\"#fenglei" + num(n) + "\")." + slots + "();");
    scripts.push_back(std::string("$(\"#chenyuan\").") + (member ? "show" : "hide") + "();");
    return scripts;
}

std::vector<std::string> MissingEntryFields(EditorPage& page) {
    std::string ids;
    for (std::string_view id : kValueFields) ids += (ids.empty() ? "\"" : ",\"") + std::string(id) + "\"";
    for (std::string_view id : kMarkedLabels) ids += ",\"" + std::string(id) + "\"";
    const std::optional<std::string> missing = page.run(
        "var m=[];[" + ids + "].forEach(function(i){if(!document.getElementById(i))m.push(i);});"
        "if(document.getElementsByName(\"Platform\").length<2)m.push(\"Platform\");"
        "[\"Attribute\",\"type\"].forEach(function(n){if(!document.getElementsByName(n).length)m.push(n);});"
        "if(typeof editor===\"undefined\"||!editor||typeof editor.getSource!==\"function\")m.push(\"editor\");"
        "if(typeof $!==\"function\")m.push(\"jQuery\");"
        "return m.join(\",\");");
    if (!missing) return {"jQuery", "editor"};
    std::vector<std::string> names;
    for (std::string_view name : library::splitOutsideQuotes(*missing))
        if (!name.empty()) names.emplace_back(name);
    return names;
}

std::optional<EntryFields> ReadEntryFields(EditorPage& page) {
    EntryFields f;
    bool read = true;
    const auto take = [&](std::string& into, const std::string& script) {
        if (!read) return;
        std::optional<std::string> value = page.run(script);
        if (value) into = std::move(*value);
        else read = false;
    };
    take(f.keyWord, valueScript("KeyWord"));
    take(f.displayKeyWord, valueScript("DisplayKeyWord"));
    take(f.platform1, platformScript(0));
    take(f.platform2, platformScript(1));
    take(f.attribute, "return $(\"input[name='Attribute']:checked\").val()");
    take(f.type, "return $(\"input[name='type']:checked\").val()");
    take(f.ctid, valueScript("ctid"));
    for (int n = 1; n <= kSlots; ++n) take(f.dirID[n], valueScript("DirID" + num(n)));
    for (const TextColumn& c : kTextColumns)
        take(f.*c.field, isExplain(c) ? std::string("return editor.getSource();") : valueScript(c.name));
    take(f.sort, valueScript("Sort"));
    if (!read) return std::nullopt;
    return f;
}

std::string CollectEntryChanges(const EntryState& s, const EntryFields& f) {
    library::Assignments list;
    if (!sameLine(f.keyWord, s.keyWord))
        list.addText("KeyWord", f.keyWord).addText("UKeyWord", text::toUpperAscii(f.keyWord));
    // An empty display name stands for the keyword: a row stored without one (an older
    // tool's, a direct statement's) gets the keyword, and its blank line is mended.
    const std::string& display = f.displayKeyWord.empty() ? f.keyWord : f.displayKeyWord;
    if (!sameLine(display, s.displayKeyWord)) list.addText("DisplayKeyWord", display);
    if (const int platform = platformOf(f); platform != s.platform) list.add("Platform", platform);
    if (const long long attribute = toInt(f.attribute); attribute != s.attribute) list.add("Attribute", attribute);
    const long long type = toInt(f.type);
    if (type != s.nType) list.add("nType", type);
    if (type < library::kFirstMemberType) {
        if (const long long main = slotNumber(f.dirID[1]); main != s.dID[1]) list.add("dID", main);
        for (int n = 2; n <= kSlots; ++n) {
            const long long d = slotNumber(f.dirID[n]);
            if (d != s.dID[n]) list.append("dID" + num(n) + "=" + num(s.kID[n]) + "|" + num(d));
        }
    } else if (const long long owner = slotNumber(f.ctid); owner != s.dID[1]) {
        list.add("dID", owner);
    }
    for (const TextColumn& c : kTextColumns) {
        const std::string& value = f.*c.field;
        if (isExplain(c)) {
            if (value != s.explain) list.addText(c.name, value);
        } else if (!sameText(value, s.*c.stored)) {
            list.addText(c.name, withCrLf(value));
        }
    }
    // A new row stores the sort its form shows (the table's own default may differ), but
    // the sort alone is no change: an untouched new form has nothing to save or ask about.
    if (const long long sort = toInt(f.sort); sort != s.sort || (s.isNew && !list.empty())) list.add("Sort", sort);
    return list.str();
}

std::vector<std::string> AdoptShownEntry(EntryState& s, const EntryFields& f) {
    std::vector<std::string> taken;
    const auto note = [&](std::string_view column) { taken.emplace_back(column); };
    if (!sameLine(f.keyWord, s.keyWord)) {
        s.keyWord = f.keyWord;
        note("KeyWord");
    }
    if (!sameLine(f.displayKeyWord, s.displayKeyWord) && !(s.isNew && f.displayKeyWord.empty())) {
        s.displayKeyWord = f.displayKeyWord;
        note("DisplayKeyWord");
    }
    if (platformOf(f) != s.platform) {
        s.platform = platformOf(f);
        note("Platform");
    }
    if (toInt(f.attribute) != s.attribute) {
        s.attribute = static_cast<int>(toInt(f.attribute));
        note("Attribute");
    }
    if (toInt(f.type) != s.nType) {
        s.nType = static_cast<int>(toInt(f.type));
        note("nType");
    }
    if (s.nType < library::kFirstMemberType) {
        for (int n = 1; n <= kSlots; ++n) {
            if (slotNumber(f.dirID[n]) == s.dID[n]) continue;
            s.dID[n] = slotNumber(f.dirID[n]);
            note(n == 1 ? "dID" : "dID" + num(n));
        }
    } else if (slotNumber(f.ctid) != s.dID[1]) {
        s.dID[1] = slotNumber(f.ctid);
        note("dID");
    }
    for (const TextColumn& c : kTextColumns) {
        const std::string& value = f.*c.field;
        if (isExplain(c)) {
            s.explain = value;  // the page editor's own rendering of the stored HTML
        } else if (!sameText(value, s.*c.stored)) {
            s.*c.stored = withCrLf(value);
            note(c.name);
        }
    }
    if (toInt(f.sort) != s.sort) {
        s.sort = toInt(f.sort);
        note("Sort");
    }
    return taken;
}

EntrySave SaveEntry(const EditorSources& src, EntryState& s, const EntryFields& f, EditorPage* page) {
    EntrySave result;
    const long long type = toInt(f.type);
    const long long main = type < library::kFirstMemberType ? slotNumber(f.dirID[1]) : slotNumber(f.ctid);
    if (s.lib == library::kPublic && slotNumber(f.dirID[1]) == 0) {
        markRequired(page, "DirID1Label", "window.scrollTo(0,0);");
        src.prompter.message(kMainCategoryRequired, library::MessageKind::Error);
        return result;
    }
    if (text::trimBlanks(f.keyWord).empty()) {
        markRequired(page, "KeyWordLabel", "$(\"#KeyWord\").focus();");
        src.prompter.message(kKeywordRequired, library::MessageKind::Error);
        return result;
    }
    // A type switched to or from a member changes what the entry hangs below: a member
    // needs an entry that can own it, anything else a category (not the old owner's kID).
    if (type >= library::kFirstMemberType) {
        library::Row owner;
        if (!src.db.findOne(s.lib, library::tables::KeywordList, "kID=" + num(main), owner, "nType", "") ||
            !library::canOwnMembers(static_cast<int>(library::cellNumber(owner, 0)))) {
            if (page) page->run("$(\"#ctid\").focus();");
            src.prompter.message(kOwnerRequired, library::MessageKind::Error);
            return result;
        }
    } else if ((s.isMember() && main == s.dID[1]) ||
               (main != 0 && main != s.dID[1] &&
                src.db.findOnly(s.lib, library::tables::Directory, "dID=" + num(main), "dID", "").empty())) {
        markRequired(page, "DirID1Label", "window.scrollTo(0,0);");
        src.prompter.message(kMainCategoryRequired, library::MessageKind::Error);
        return result;
    }
    if (!fieldInteger(f.sort)) {
        if (page) page->run("$(\"#Sort\").focus();");
        src.prompter.message(texts::kSortNotNumber, library::MessageKind::Error);
        return result;
    }
    const std::string recordName = s.isNew ? f.keyWord : s.keyWord;
    std::string list = CollectEntryChanges(s, f);
    if (namesColumn(list, "UKeyWord") && type < library::kFirstMemberType) {
        const std::string upper = text::replaceAll(text::toUpperAscii(f.keyWord), ",", "");
        // The entry's own texts are no duplicate of it.
        const std::string own = s.isNew ? std::string() : " And sID<>" + num(s.sID);
        if (!src.db.findOnly(s.lib, library::tables::KeywordData, "UKeyWord=" + quoteText(upper) + own, "sID", "")
                 .empty() &&
            !src.prompter.ask(recordName + "\r\n" + std::string(kDuplicateName)))
            return result;
    }
    if (list.empty()) {
        result.outcome = SaveOutcome::NothingChanged;
        return result;
    }
    if (s.isNew && !namesColumn(list, "dID")) list += ",dID=" + num(main);

    const Author author = currentAuthor(src);
    const int code = s.isNew ? library::kNewEntry : library::kEntryChanged;
    const sync::PublicChange change{code, s.isNew ? 0 : s.kID[1], recordName, list, library::AddService::Utf8,
                                    author.uID};
    const sync::SaveResult saved = sync::SaveIntoLibrary(src.session, src.db, s.lib, change, src.now());
    sync::reportFailedSave(src.prompter, saved);
    // Once the server took the change or a row was written, pressing OK again would make
    // the entry twice: what failed after that has been told, and the editor is done.
    if (!saved.saved() && !saved.submitted && saved.applied == 0) return result;
    s.kID[1] = saved.target;
    s.isNew = false;
    result.outcome = SaveOutcome::Saved;
    result.list = saved.body;
    result.kID = saved.target;
    result.nType = static_cast<int>(
        toInt(src.db.findOnly(s.lib, library::tables::KeywordList, "kID=" + num(saved.target), "nType", "")));
    return result;
}

}  // namespace orv::editors
