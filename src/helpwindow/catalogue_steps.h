// What the catalogue commands share inside the help window's core: their message texts,
// the selection as they take it, the nodes they refuse, the counting of a category's
// rows, and saving a change into either library.
#pragma once

#include "helpwindow/catalogue.h"
#include "library/descendants.h"
#include "library/tree_node.h"
#include "sync/public_save.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orv::helpwindow::catalogue {

namespace text {
inline constexpr std::string_view kPrivateRoot = "【私有库】";
inline constexpr std::string_view kRecycleBin = "【回收站】";
inline constexpr std::string_view kCannotDelete = "必须存在，不可以被删除。";
inline constexpr std::string_view kCannotCopy = "不可以被复制。";
inline constexpr std::string_view kCannotMove = "不可以被移动。";
inline constexpr std::string_view kSelectionChanged = "选择的节点已经被改变或移走，没有移动。请重新选择后再移动。";
inline constexpr std::string_view kAboutToDelete = "即将删除：";
inline constexpr std::string_view kInAll = "一共：";
inline constexpr std::string_view kRecords = " 条记录";
inline constexpr std::string_view kMovesToBin = "删除是直接将它移动到回收站。";
inline constexpr std::string_view kDeletesForGood = "这里是回收站，删除操作将会永久删除而无法找回。";
inline constexpr std::string_view kReally = "你真的要这么做吗？";
inline constexpr std::string_view kBinNotCreated = "创建回收站失败";
inline constexpr std::string_view kDeletingForGood = "真实删除记录中...";
inline constexpr std::string_view kNotIntoBin = "不可以粘贴在回收站里";
inline constexpr std::string_view kPasting = "粘贴中...";
inline constexpr std::string_view kCountingChanges = "统计需要复制的数量";
inline constexpr std::string_view kCounting = "统计中...";
inline constexpr std::string_view kNotUnderItself = library::kNotUnderItselfMessage;
inline constexpr std::string_view kOnlyEntries = "只能收藏词条，不能收藏分类。";
inline constexpr std::string_view kAlreadyFavorite = "本词条已经收藏，是否要取消收藏？";
inline constexpr std::string_view kFavoriteAdded = "添加收藏成功！";
inline constexpr std::string_view kPublicWord = "公库";
inline constexpr std::string_view kPrivateWord = "私库";
}  // namespace text

// The selected items that carry a record, in tree order. A selection of more than
// kMaxSelection nodes is refused with a message (nothing is returned): taking only the
// first 1000 would delete, move or count a part the user cannot see.
std::optional<std::vector<Selected>> takeSelection(ContentsTree& tree, library::Prompter& prompter);
std::string tooManySelectedMessage(size_t selected);

bool isPrivateRoot(const library::TreeNode& node);
bool isRecycleBin(const library::TreeNode& node);
bool isMember(const library::TreeNode& node);
// "【私有库】" or "【回收站】" for the first node that is one of them; "" when none is.
std::string_view refusedLabel(const std::vector<Selected>& nodes);
// True when the nodes come from both libraries.
bool spansLibraries(const std::vector<Selected>& nodes);
std::string mixedLibrariesMessage();

// "公库" or "私库".
std::string_view libraryWord(int lib);
std::string num(long long value);
// "1,2,3".
std::string joinIds(const std::vector<long long>& ids);

// The entries (type below 20) that the categories of `list` (comma-separated dIDs of
// library `lib`) hold, with the members of those that own members. Members are kept
// apart by type: their dID is an entry's kID, which may equal a listed category's id.
long long entriesAndMembersIn(library::HostDb& db, int lib, const std::string& list);
// The members of one entry.
long long membersOf(library::HostDb& db, int lib, long long kID);

// The items of `items` that no other item of them lies below: deleting those removes
// the rest with them, and no item is deleted twice.
std::vector<ItemId> outermostItems(const ContentsTree& tree, const std::vector<ItemId>& items);

// A change of either library: the public one in the public-save order (server,
// ApplyChange, change record), the private one applied directly (it keeps no change
// log) with `date` and the change's local user id.
sync::SaveResult saveChange(const CatalogueSources& s, int lib, const sync::PublicChange& change, long long date);
// Tells the user what a failed save did not do; a refusal was told by the server check.
void reportFailedSave(const CatalogueSources& s, const sync::SaveResult& result);

library::HostDb& dbOf(const CatalogueSources& s);
const library::Settings& settingsOf(const CatalogueSources& s);
long long nowOf(const CatalogueSources& s);

}  // namespace orv::helpwindow::catalogue
