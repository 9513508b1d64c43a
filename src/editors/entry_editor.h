// The entry editor's core: the entry as loaded, its HTML form filled from it and read
// back by the page's own scripts, the list of changed columns, and the save (checks, the
// duplicate-name question, the public-save path, the entry the help window shows next).
#pragma once

#include "editors/editor_sources.h"
#include "library/tree_node.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orv::editors {

inline constexpr std::string_view kEntryWindowCaption = "词条编辑";
inline constexpr std::string_view kNewEntryCaption = "新增词条";
inline constexpr std::string_view kChangeEntryCaption = "修改词条";
inline constexpr std::string_view kEntryUnreadable = "无法读取词条！";
inline constexpr std::string_view kMainCategoryRequired = "必须设置一个主分类";
inline constexpr std::string_view kKeywordRequired = "关键词必须的要输入";
inline constexpr std::string_view kOwnerRequired = "成员必须属于一个可以有成员的词条（所属词条kID）。";
inline constexpr std::string_view kDuplicateName = "词条名称已经存在，你一定要重复添加吗？";
// Placement slots: 1 is the entry's own row, 2 to 5 further rows sharing its texts.
inline constexpr int kSlots = 5;

struct EntryState {
    bool isNew = true;
    int lib = 0;
    // Index 1..5; index 0 unused. For a member, dID[1] is the owning entry's kID.
    std::array<long long, kSlots + 1> kID{}, dID{};
    // What each slot's field shows: "ID=" dID ":" the category path without its first "\".
    std::array<std::string, kSlots + 1> slotText{};
    long long sID = 0;
    std::string displayKeyWord;
    int nType = 0;
    long long sort = 10000;
    std::string keyWord, uKeyWord, description, explain, syntax, member, parameter, examples, source, related,
        include;
    int platform = 0;
    int attribute = 0;

    bool isMember() const { return nType >= 20; }
};

// The entry of placement `kID` with up to four further placements of its texts.
std::optional<EntryState> LoadEntry(library::HostDb& db, int lib, long long kID);
// A new entry for the selected node: a category, an entry whose category is used, a
// member whose owner's category is used, or the private root (the private top level).
EntryState NewEntryFor(library::HostDb& db, const library::TreeNode& node);
// "ID=" dID ":" the category path of dID without its first character.
std::string slotFieldText(library::HostDb& db, int lib, long long dID);

// The values of the form, as the page's scripts read them back (UTF-8).
struct EntryFields {
    std::string keyWord, displayKeyWord;
    std::string platform1, platform2;  // "1" or "0"
    std::string attribute, type, ctid;
    std::array<std::string, kSlots + 1> dirID{};  // index 1..5
    std::string description, syntax, member, parameter, explain, examples, source, related, include;
    std::string sort;
};

// The fields as the filled form shows them before anyone touches it.
EntryFields FieldsOf(const EntryState& state);

// The form's page from the template (see editor_template.h), with `background` as the
// page colour.
std::string FillEntryPage(std::string page, const EntryState& state, std::string_view background);

// The scripts that show the category slots and hide the owner field, or the reverse for
// a member, in the order they run.
std::vector<std::string> entryGroupScripts(bool member);

// The ids (and radio-button names) the form must have; those the page lacks.
std::vector<std::string> MissingEntryFields(EditorPage& page);
// Every field through its script; nothing when a script could not be run.
std::optional<EntryFields> ReadEntryFields(EditorPage& page);

// The assignment list of the columns whose field differs from the loaded value, in the
// save order; empty when nothing changed.
std::string CollectEntryChanges(const EntryState& state, const EntryFields& fields);
// Takes what the page shows as the loaded value of every field that it could not show as
// stored (and the page editor's rendering of the explanation), so that an untouched form
// saves nothing; the names of the columns it took over other than Explain.
std::vector<std::string> AdoptShownEntry(EntryState& state, const EntryFields& fields);

enum class SaveOutcome {
    Saved,           // written: show the row, close the editor
    NothingChanged,  // close the editor
    Stopped          // a check or the save failed and has been told: keep the editor
};

struct EntrySave {
    SaveOutcome outcome = SaveOutcome::Stopped;
    std::string list;  // as saved (a new entry's names the server's sID)
    long long kID = 0;
    int nType = 0;
};

// The OK command: checks the form, asks about a duplicate name, saves. `page` (when
// there is one) gets the required-field markers.
EntrySave SaveEntry(const EditorSources& s, EntryState& state, const EntryFields& fields, EditorPage* page);

}  // namespace orv::editors
