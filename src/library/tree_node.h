// The record behind every contents-tree item and list entry, and what pages and
// navigation pass around: which row of which library, and whether it is a category.
#pragma once

#include <string>

namespace orv::library {

struct TreeNode {
    long long id = 0;        // kID of an entry, dID of a category
    std::string name;
    long long parentId = 0;
    bool isCategory = false;
    int lib = 0;             // library index
    int type = 0;            // the category's nType (11: the private library's root)
};

}  // namespace orv::library
