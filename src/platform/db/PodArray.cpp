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
        return p;
    }
    void* p = mmap(nullptr, newBytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (p == MAP_FAILED)
        throw std::bad_alloc();
    adviseHuge(p, newBytes);
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
