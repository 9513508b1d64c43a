// Reading the page message's payload out of memory the sender named. Win32 only.
#include "helpwindow/win32/page_message.h"

#include "plugin/host_abi.h"
#include "text/win32/wide_text.h"

#include <cstdint>
#include <cstring>

namespace orv::helpwindow {
namespace {

constexpr DWORD kReadable =
    PAGE_READONLY | PAGE_READWRITE | PAGE_WRITECOPY | PAGE_EXECUTE_READ | PAGE_EXECUTE_READWRITE | PAGE_EXECUTE_WRITECOPY;

// The length of a zero-ended run of `Char` at `address`, looked at region by region; -1
// when memory ends, turns unreadable or the limit passes before the zero.
template <typename Char>
long long zeroEndedLength(const void* address) {
    auto at = reinterpret_cast<std::uintptr_t>(address);
    if (at == 0 || at % alignof(Char) != 0) return -1;
    size_t length = 0;
    while (length <= kPageMessageTextLimit) {
        MEMORY_BASIC_INFORMATION region{};
        if (!VirtualQuery(reinterpret_cast<const void*>(at), &region, sizeof region)) return -1;
        if (region.State != MEM_COMMIT || !(region.Protect & kReadable) || (region.Protect & (PAGE_GUARD | PAGE_NOACCESS)))
            return -1;
        const std::uintptr_t end = reinterpret_cast<std::uintptr_t>(region.BaseAddress) + region.RegionSize;
        for (; at + sizeof(Char) <= end && length <= kPageMessageTextLimit; at += sizeof(Char), ++length) {
            Char c;
            std::memcpy(&c, reinterpret_cast<const void*>(at), sizeof c);
            if (c == 0) return static_cast<long long>(length);
        }
        if (at + sizeof(Char) > end && at < end) return -1;  // a character across the region's end
    }
    return -1;
}

}  // namespace

bool ReadableMemory(const void* address, size_t size) {
    auto at = reinterpret_cast<std::uintptr_t>(address);
    if (at == 0 || size == 0 || at + size < at) return false;
    const std::uintptr_t last = at + size;
    while (at < last) {
        MEMORY_BASIC_INFORMATION region{};
        if (!VirtualQuery(reinterpret_cast<const void*>(at), &region, sizeof region)) return false;
        if (region.State != MEM_COMMIT || !(region.Protect & kReadable) || (region.Protect & (PAGE_GUARD | PAGE_NOACCESS)))
            return false;
        at = reinterpret_cast<std::uintptr_t>(region.BaseAddress) + region.RegionSize;
    }
    return true;
}

PageRequest ReadPageMessage(WPARAM command, LPARAM argument) {
    PageRequest request;
    const void* payload = reinterpret_cast<const void*>(argument);
    switch (command) {
    case kShowRecord: {
        if (reinterpret_cast<std::uintptr_t>(payload) % alignof(HostTreeNodeRecord) != 0 ||
            !ReadableMemory(payload, sizeof(HostTreeNodeRecord)))
            return request;
        HostTreeNodeRecord record;
        std::memcpy(&record, payload, sizeof record);
        if (record.lib != 0 && record.lib != 1) return request;
        request.record.id = record.id;
        request.record.isCategory = record.isCategory != 0;
        request.record.lib = record.lib;
        request.record.type = record.type;
        request.record.parentId = record.parentId;
        break;
    }
    case kIndexWord:
    case kFollowLink: {
        const long long length = zeroEndedLength<char>(payload);
        if (length < 0) return request;
        request.text.assign(static_cast<const char*>(payload), static_cast<size_t>(length));
        break;
    }
    case kSearchText: {
        const long long length = zeroEndedLength<wchar_t>(payload);
        if (length < 0) return request;
        request.text = text::wideToUtf8(std::wstring_view(static_cast<const wchar_t*>(payload), static_cast<size_t>(length)));
        break;
    }
    default:
        return request;
    }
    request.command = command;
    return request;
}

}  // namespace orv::helpwindow
