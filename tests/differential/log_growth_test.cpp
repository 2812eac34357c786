// What growing the log costs in allocated memory: appending n records, or
// entering n band names, allocates bytes in proportion to n. Storage that
// grew by one element at a time would copy the whole log at every append,
// allocating on the order of n squared bytes.
//
// The program has its own operator new, which adds up the bytes asked for.
#include <cstdint>
#include <cstdlib>
#include <new>
#include <string>

#include <gtest/gtest.h>

#include "log/qso_log.h"

namespace {

bool counting = false;
std::uint64_t bytesAllocated = 0;

} // namespace

void* operator new(std::size_t size) {
    if (counting) {
        bytesAllocated += size;
    }
    if (void* p = std::malloc(size == 0 ? 1 : size)) {
        return p;
    }
    throw std::bad_alloc();
}
void* operator new[](std::size_t size) {
    return operator new(size);
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

namespace stats {
namespace {

// Bytes allocated while `grow` runs.
template <typename Grow> std::uint64_t BytesAllocatedBy(Grow grow) {
    bytesAllocated = 0;
    counting = true;
    grow();
    counting = false;
    return bytesAllocated;
}

TEST(LogGrowth, AllocatedBytesGrowInProportionToTheEntries) {
    constexpr std::size_t n = 5000;
    struct Case {
        const char* what;
        std::uint64_t bytesPerEntry; // at most, averaged over the n entries
        std::uint64_t (*grow)();
    };
    const Case cases[] = {
        {"QsoLog::Append", 16 * sizeof(QsoRecord),
         [] {
             QsoLog log;
             QsoRecord r;
             r.mode = "CW";
             r.band = "80m";
             r.exchSent = r.exchRcvd = "00101";
             return BytesAllocatedBy([&] {
                 for (std::size_t i = 0; i < n; ++i) {
                     r.call = r.pairCall = "C" + std::to_string(i);
                     r.time = COleDateTime(41164.0 + static_cast<double>(i) / 86400.0,
                                           COleDateTime::valid);
                     log.Append(r);
                 }
             });
         }},
        {"BandList::Enter", 1024,
         [] {
             BandList bands;
             return BytesAllocatedBy([&] {
                 for (std::size_t i = 0; i < n; ++i) {
                     bands.Enter(std::to_string(i) + "m");
                 }
             });
         }},
    };
    for (const Case& c : cases) {
        EXPECT_LE(c.grow(), c.bytesPerEntry * n) << c.what;
    }
}

} // namespace
} // namespace stats
