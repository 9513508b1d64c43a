// The window-to-record table's blocks and their scans.
#include "framework/win32/record_table.h"

namespace orv::framework {

RecordTable::Pair* RecordTable::find(const void* handle) const {
    for (Block* block = first_.get(); block; block = block->next.get())
        for (Pair& pair : block->pairs)
            if (pair.handle == handle) return &pair;
    return nullptr;
}

bool RecordTable::Register(const void* handle, ControlRecord* record) {
    if (!handle) return false;
    const std::lock_guard<std::mutex> lock(mutex_);
    if (Pair* present = find(handle)) {
        present->record = record;
        return true;
    }
    Block* last = nullptr;
    for (Block* block = first_.get(); block; block = block->next.get()) {
        for (Pair& pair : block->pairs) {
            if (!pair.handle) {
                pair = {handle, record};
                return true;
            }
        }
        last = block;
    }
    last->next = std::make_unique<Block>();
    last->next->pairs[0] = {handle, record};
    return true;
}

ControlRecord* RecordTable::Lookup(const void* handle) const {
    if (!handle) return nullptr;
    const std::lock_guard<std::mutex> lock(mutex_);
    const Pair* pair = find(handle);
    return pair ? pair->record : nullptr;
}

void RecordTable::Remove(const void* handle) {
    if (!handle) return;
    const std::lock_guard<std::mutex> lock(mutex_);
    if (Pair* pair = find(handle)) *pair = Pair{};
}

std::size_t RecordTable::BlockCount() const {
    const std::lock_guard<std::mutex> lock(mutex_);
    std::size_t count = 0;
    for (const Block* block = first_.get(); block; block = block->next.get()) ++count;
    return count;
}

}  // namespace orv::framework
