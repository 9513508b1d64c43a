// Where a type's member sorts among its siblings and how it is shown: constructors and
// destructors first, then operators by kind, then everything else.
#pragma once

#include <string>
#include <string_view>

namespace orv::tools {

struct MemberPlacement {
    int sort = 10000;
    std::string displayKeyWord;    // the name as shown under its owner
    std::string_view description;  // for a member without a description of its own; may be empty
};

// keyWord: the member's name as written; uKeyWord: upper-cased.
MemberPlacement PlaceMember(const std::string& keyWord, const std::string& uKeyWord);

}  // namespace orv::tools
