// Allocation failure on demand, for tests of what the module does when memory
// runs out. A program that links allocation_failure.cpp gets its own global
// operator new and delete: they allocate with malloc() and, while a failure
// is armed, make the chosen allocation throw std::bad_alloc (the nothrow
// forms return nullptr). Only the thread that armed the failure is affected.
#pragma once

#include <cstddef>

namespace stats::testing {

// Arms a failure: the allocation `countdown` allocations from now fails (0:
// the very next one). With `persistent` every later allocation fails too,
// until the failure is disarmed.
void FailAllocation(std::size_t countdown, bool persistent = false);

// Disarms the failure; true when an allocation failed since it was armed.
bool StopFailingAllocations();

// Arms a failure for the life of the object.
class ScopedAllocationFailure {
  public:
    explicit ScopedAllocationFailure(std::size_t countdown, bool persistent = false) {
        FailAllocation(countdown, persistent);
    }
    ~ScopedAllocationFailure() { Stop(); }
    ScopedAllocationFailure(const ScopedAllocationFailure&) = delete;
    ScopedAllocationFailure& operator=(const ScopedAllocationFailure&) = delete;

    // Disarms now; true when an allocation failed.
    bool Stop() {
        if (armed_) {
            armed_ = false;
            hit_ = StopFailingAllocations();
        }
        return hit_;
    }

  private:
    bool armed_ = true;
    bool hit_ = false;
};

} // namespace stats::testing
