// The category chooser's core: the categories it offers (a library's tree without its
// recycle bin and the private root), the top item that stands for the top level, and
// what a choice writes into the editor that asked.
#pragma once

#include "library/host_db.h"

#include <string>
#include <string_view>
#include <vector>

namespace orv::editors {

inline constexpr std::string_view kChooserWindowCaption = "选择目录";
inline constexpr std::string_view kChooserColumn = "目录";

// "选择公库分类" or "选择私库分类".
std::string chooserCaption(int lib);
// "...[公库首目录]..." or "...[私库首目录]...": category 0.
std::string chooserTopText(int lib);

struct ChooserNode {
    long long dID = 0;
    std::string name;
    int kind = 0;
    std::vector<ChooserNode> children;
};

// Every category of the library below the top level, in the tree's order (Sort, then
// name), leaving out recycle bins and the private root with everything below them. A
// category that would appear twice (a loop in a damaged tree) appears once.
std::vector<ChooserNode> ChooserTree(library::HostDb& db, int lib);

// Slots: 0 the category editor's parent field, 1 to 5 the entry editor's placement slots.
inline constexpr int kParentSlot = 0;
inline constexpr int kLastEntrySlot = 5;

// The script that puts the chosen category into slot `slot` (1 to 5) of the entry form:
// $("#DirIDn").val("ID=" id ":" path), the text as a proper script string.
std::string slotScript(library::HostDb& db, int lib, int slot, long long dID);

}  // namespace orv::editors
