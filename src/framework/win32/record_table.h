// The table that finds a window's control record from its handle: a chain of blocks of
// 100 (handle, record) pairs. It knows nothing of windows beyond the handle as a key.
#pragma once

#include <array>
#include <cstddef>
#include <memory>
#include <mutex>

namespace orv::framework {

struct ControlRecord;

class RecordTable {
public:
    static constexpr std::size_t kPairsPerBlock = 100;

    // A handle already present gets the new record; otherwise the first free pair takes
    // it, and a new block is linked when every pair is in use. Null handles are refused.
    bool Register(const void* handle, ControlRecord* record);
    ControlRecord* Lookup(const void* handle) const;
    // Clears the handle's pair, if it has one. Blocks stay: a window that comes next will
    // need the room again, and a table that never shrinks never moves a pair.
    void Remove(const void* handle);

    std::size_t BlockCount() const;

private:
    struct Pair {
        const void* handle = nullptr;
        ControlRecord* record = nullptr;
    };
    struct Block {
        std::array<Pair, kPairsPerBlock> pairs{};
        std::unique_ptr<Block> next;
    };

    Pair* find(const void* handle) const;

    mutable std::mutex mutex_;
    std::unique_ptr<Block> first_ = std::make_unique<Block>();
};

}  // namespace orv::framework
