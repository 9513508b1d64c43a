// The test program's global operator new and delete: armed failures, and a mark on each
// block that tells a second free from the first. Win32 only.
#include "wine/failing_allocation.h"

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <new>

namespace {

constexpr std::uint32_t kLive = 0x4C56524F;
constexpr std::uint32_t kFreed = 0x4656524F;
// The mark sits in a header that keeps the block's alignment.
constexpr std::size_t kHeader = 16;

std::atomic<DWORD> g_armedThread{0};
std::atomic<long> g_countdown{-1};
std::atomic<bool> g_failed{false};
std::atomic<bool> g_keepFreed{false};
std::atomic<long> g_badFrees{0};

void* allocate(std::size_t size) {
    if (g_countdown.load() >= 0 && g_armedThread.load() == GetCurrentThreadId() && g_countdown.fetch_sub(1) == 0) {
        g_failed = true;
        throw std::bad_alloc();
    }
    void* block = std::malloc(size + kHeader);
    if (!block) throw std::bad_alloc();
    *static_cast<std::uint32_t*>(block) = kLive;
    return static_cast<char*>(block) + kHeader;
}

void release(void* p) noexcept {
    if (!p) return;
    char* block = static_cast<char*>(p) - kHeader;
    auto* mark = reinterpret_cast<std::uint32_t*>(block);
    if (*mark != kLive) {
        ++g_badFrees;
        return;
    }
    *mark = kFreed;
    if (!g_keepFreed) std::free(block);
}

}  // namespace

void* operator new(std::size_t size) { return allocate(size); }
void* operator new[](std::size_t size) { return allocate(size); }
void operator delete(void* p) noexcept { release(p); }
void operator delete[](void* p) noexcept { release(p); }
void operator delete(void* p, std::size_t) noexcept { release(p); }
void operator delete[](void* p, std::size_t) noexcept { release(p); }

namespace orv::wine {

void failAllocationAfter(long after) {
    g_failed = false;
    g_keepFreed = true;
    g_armedThread = GetCurrentThreadId();
    g_countdown = after;
}

bool disarmAllocationFailure() {
    g_countdown = -1;
    g_armedThread = 0;
    g_keepFreed = false;
    return g_failed;
}

long badFrees() { return g_badFrees; }

}  // namespace orv::wine
