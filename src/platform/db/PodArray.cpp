#include "platform/db/PodArray.h"

#include <sys/mman.h>

namespace db::podarray {

namespace {
void adviseHuge(void* p, size_t bytes)
{
#ifdef MADV_HUGEPAGE
    madvise(p, bytes, MADV_HUGEPAGE);
#endif
}

// Faults the grown part in with one call instead of one fault per page; kernels without
// the advice simply refuse it.
void populate(void* p, size_t from, size_t to)
{
    constexpr int kPopulateWrite = 23; // MADV_POPULATE_WRITE
    const size_t page = 4096;
    const size_t start = (from + page - 1) / page * page;
    if (to > start)
        madvise(static_cast<char*>(p) + start, to - start, kPopulateWrite);
}
} // namespace

void* grow(void* data, size_t oldBytes, size_t newBytes, bool& mapped)
{
    if (!mapped && newBytes < kMapped) {
        void* p = std::realloc(data, newBytes);
        if (!p)
            throw std::bad_alloc();
        return p;
    }
    if (mapped) {
        void* p = mremap(data, oldBytes, newBytes, MREMAP_MAYMOVE);
        if (p == MAP_FAILED)
            throw std::bad_alloc();
        adviseHuge(p, newBytes);
        populate(p, oldBytes, newBytes);
        return p;
    }
    void* p = mmap(nullptr, newBytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (p == MAP_FAILED)
        throw std::bad_alloc();
    adviseHuge(p, newBytes);
    populate(p, 0, newBytes);
    if (data) {
        std::memcpy(p, data, oldBytes);
        std::free(data);
    }
    mapped = true;
    return p;
}

void release(void* data, size_t bytes, bool mapped)
{
    if (!data)
        return;
    if (mapped)
        munmap(data, bytes);
    else
        std::free(data);
}

} // namespace db::podarray
