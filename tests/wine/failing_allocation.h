// Allocation failures on demand for the Wine suite: the test program replaces the global
// operator new and delete, so the plug-in's code linked into it can be made to run out
// of memory at any allocation, and a block freed twice is caught instead of corrupting
// the heap. Only this test program has it; OrvintaHelp.dll keeps the runtime's own.
#pragma once

namespace orv::wine {

// Arms one failure: the allocation `after` allocations from now, on the calling thread
// only, throws std::bad_alloc. Until disarmAllocationFailure, freed blocks are kept
// back from the heap so that a second free of any of them is seen.
void failAllocationAfter(long after);
// Ends the arming and says whether the armed allocation was reached (and failed).
bool disarmAllocationFailure();

// Blocks freed twice, or freed without having been allocated here, since the start.
long badFrees();

// Arms a failure for the life of the object.
class FailingAllocation {
public:
    explicit FailingAllocation(long after) { failAllocationAfter(after); }
    ~FailingAllocation() { disarm(); }
    FailingAllocation(const FailingAllocation&) = delete;
    FailingAllocation& operator=(const FailingAllocation&) = delete;
    // Whether the armed failure happened; the arming ends here.
    bool disarm() {
        if (!armed_) return failed_;
        armed_ = false;
        failed_ = disarmAllocationFailure();
        return failed_;
    }

private:
    bool armed_ = true;
    bool failed_ = false;
};

}  // namespace orv::wine
