// The category editor's core: the category as loaded, the change list of its form, the
// save into either library (submitted, recorded, or neither for the rows the server keeps
// no copy of), and giving a branch one kind locally.
#pragma once

#include "editors/editor_sources.h"
#include "editors/entry_editor.h"
#include "library/schema.h"
#include "library/tree_node.h"

#include <optional>
#include <string>
#include <string_view>

namespace orv::editors {

inline constexpr std::string_view kCategoryWindowCaption = "分类编辑";
inline constexpr std::string_view kNewCategoryCaption = "新增分类";
inline constexpr std::string_view kChangeCategoryCaption = "修改分类";
inline constexpr std::string_view kCategoryUnreadable = "无法读取分类！";
inline constexpr std::string_view kNameRequired = "分类名称，必须要输入的。";
inline constexpr std::string_view kParentMissing = "指定的父分类不存在。";
inline constexpr std::string_view kRecycleBinLabel = "这是个回收站";
inline constexpr std::string_view kPrivateLibraryLabel = "这是个私用库";

enum class CategoryMode : int { NewTop = 0, NewChild = 1, Change = 2 };

struct CategoryState {
    CategoryMode mode = CategoryMode::NewTop;
    int lib = 0;
    long long dID = 0;  // 0 until a new category is saved
    long long parent = 0;
    std::string parentText;  // "ID=" parent + the parent's category path
    std::string name;
    long long sort = 10000;
    int kind = library::kCategoryShownInIde;
    std::string description;
    // The recycle bin or the private root: parent and kind stay as they are.
    bool special = false;

    bool isNew() const { return mode != CategoryMode::Change; }
};

// The state the editor opens with for the node; nothing when a changed category cannot
// be read.
std::optional<CategoryState> LoadCategory(library::HostDb& db, CategoryMode mode, const library::TreeNode& node);
// "ID=" dID + the category path ("ID=0\" for the public top level).
std::string parentFieldText(library::HostDb& db, int lib, long long dID);

struct CategoryFields {
    std::string parentText;
    std::string name;
    std::string sort;
    int kind = library::kCategoryShownInIde;
    std::string description;
    bool syncKinds = false;  // "同步子分类"
};
CategoryFields FieldsOf(const CategoryState& state);

// The description editor's page from the template (see editor_template.h).
std::string FillDescriptionPage(std::string page, std::string_view description, std::string_view background);

// The kinds the three options stand for, in their order.
inline constexpr int kKindOptions[3] = {library::kCategoryHidden, library::kCategoryShownInIde, library::kCategoryLeaf};

// Which field a refused save puts the focus on.
enum class CategoryField { None, Parent, Name, Sort };

struct CategoryChanges {
    std::string list;    // empty when nothing changed
    std::string error;   // a refusal's message; the list is empty then
    CategoryField focus = CategoryField::None;
};
// The assignment list of the changed columns in the save order, or the refusal.
CategoryChanges CollectCategoryChanges(library::HostDb& db, const CategoryState& state, const CategoryFields& fields);
// True when the close question has something to ask about.
bool CategoryModified(const CategoryState& state, const CategoryFields& fields);

struct CategorySave {
    SaveOutcome outcome = SaveOutcome::Stopped;
    std::string list;
    long long dID = 0;
    CategoryField focus = CategoryField::None;
};
// The save command: checks, writes the list, then gives the branch the chosen kind when
// "同步子分类" is on (locally only).
CategorySave SaveCategory(const EditorSources& s, CategoryState& state, const CategoryFields& fields);

}  // namespace orv::editors
