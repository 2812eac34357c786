#include "tests/support/allocation_failure.h"

#include <atomic>
#include <cstdlib>
#include <new>
#include <thread>

namespace stats::testing {
namespace {

// -1: disarmed. Otherwise the number of allocations still to succeed.
std::atomic<long long> g_countdown{-1};
std::atomic<bool> g_persistent{false};
std::atomic<bool> g_hit{false};
std::atomic<std::thread::id> g_thread{};

bool ShouldFail() {
    const long long countdown = g_countdown.load(std::memory_order_relaxed);
    if (countdown < 0 || std::this_thread::get_id() != g_thread.load(std::memory_order_relaxed)) {
        return false;
    }
    if (countdown > 0) {
        g_countdown.store(countdown - 1, std::memory_order_relaxed);
        return false;
    }
    if (!g_persistent.load(std::memory_order_relaxed)) {
        g_countdown.store(-1, std::memory_order_relaxed);
    }
    g_hit.store(true, std::memory_order_relaxed);
    return true;
}

void* Allocate(std::size_t size) {
    if (ShouldFail()) {
        throw std::bad_alloc();
    }
    void* p = std::malloc(size != 0 ? size : 1);
    if (p == nullptr) {
        throw std::bad_alloc();
    }
    return p;
}

void* AllocateOrNull(std::size_t size) noexcept {
    if (ShouldFail()) {
        return nullptr;
    }
    return std::malloc(size != 0 ? size : 1);
}

} // namespace

void FailAllocation(std::size_t countdown, bool persistent) {
    g_thread.store(std::this_thread::get_id(), std::memory_order_relaxed);
    g_persistent.store(persistent, std::memory_order_relaxed);
    g_hit.store(false, std::memory_order_relaxed);
    g_countdown.store(static_cast<long long>(countdown), std::memory_order_relaxed);
}

bool StopFailingAllocations() {
    g_countdown.store(-1, std::memory_order_relaxed);
    return g_hit.exchange(false, std::memory_order_relaxed);
}

} // namespace stats::testing

void* operator new(std::size_t size) {
    return stats::testing::Allocate(size);
}
void* operator new[](std::size_t size) {
    return stats::testing::Allocate(size);
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    return stats::testing::AllocateOrNull(size);
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
    return stats::testing::AllocateOrNull(size);
}
void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete[](void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}
void operator delete[](void* p, std::size_t) noexcept {
    std::free(p);
}
void operator delete(void* p, const std::nothrow_t&) noexcept {
    std::free(p);
}
void operator delete[](void* p, const std::nothrow_t&) noexcept {
    std::free(p);
}
