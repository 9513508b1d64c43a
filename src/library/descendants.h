// The descendant list of a category: its id, then every category below it, depth first.
#pragma once

#include "library/host_db.h"

namespace orv::library {

// Why a category cannot go below itself or one of its own descendants.
inline constexpr std::string_view kNotUnderItselfMessage = "指定的父分类不可以是自己或自己的子分类";

// "5,9,12,10" for category 5 with child 9 (itself parent of 12) and second child 10.
// A category that appears twice (a loop in a damaged tree) is listed once.
std::string descendantList(HostDb& db, int lib, long long dID);

}  // namespace orv::library
