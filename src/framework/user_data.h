// The 100 numbered integer slots every form and control record carries for its window's
// own use (selected ids, flags, pointers kept as numbers).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace orv::framework {

class UserData {
public:
    static constexpr int kSlots = 100;

    // Slots 0 to 99; any other number reads 0 and writes nothing, so a wrong slot number
    // can never reach memory outside the record.
    std::intptr_t Get(int slot) const { return valid(slot) ? slots_[static_cast<std::size_t>(slot)] : 0; }
    bool Set(int slot, std::intptr_t value) {
        if (!valid(slot)) return false;
        slots_[static_cast<std::size_t>(slot)] = value;
        return true;
    }

private:
    static bool valid(int slot) { return slot >= 0 && slot < kSlots; }
    std::array<std::intptr_t, kSlots> slots_{};
};

}  // namespace orv::framework
