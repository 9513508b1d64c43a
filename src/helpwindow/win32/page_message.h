// The help window's page message (0x501), which the IDE sends with a pointer into its own
// memory: what it asks, read only once the memory it names was found readable in this
// process and the record or text ends inside it. Any program can send a window message
// and Windows does not say who did, so a wild address must lead to nothing. Win32 only.
#pragma once

#include "library/tree_node.h"

#include <windows.h>

#include <string>

namespace orv::helpwindow {

inline constexpr UINT kPageMessage = 0x501;
// The page message's commands (its first parameter).
inline constexpr WPARAM kShowRecord = 0x501;  // a HostTreeNodeRecord*: its page
inline constexpr WPARAM kIndexWord = 0x502;   // a UTF-8 word: the index tab looks it up
inline constexpr WPARAM kSearchText = 0x503;  // a UTF-16 text: the search tab searches it
inline constexpr WPARAM kFollowLink = 0x504;  // an 8-bit link text: followed

// The longest text a page message may carry, in characters.
inline constexpr size_t kPageMessageTextLimit = 4096;

struct PageRequest {
    WPARAM command = 0;        // 0: nothing to do (unknown command, unreadable payload)
    library::TreeNode record;  // kShowRecord
    std::string text;          // the others, as UTF-8
};

// Reads what the message asks. Nothing is read outside committed, readable memory of
// this process; a record of a library other than 0 and 1, or a text without its end
// within the limit, asks nothing.
PageRequest ReadPageMessage(WPARAM command, LPARAM argument);

// Whether [address, address + size) lies in committed, readable memory of this process.
bool ReadableMemory(const void* address, size_t size);

}  // namespace orv::helpwindow
