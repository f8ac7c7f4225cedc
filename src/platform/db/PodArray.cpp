#include "platform/db/PodArray.h"

#include <sys/mman.h>

#include <algorithm>
#include <mutex>
#include <vector>

namespace db::podarray {

namespace {

// Mappings of closed datasets, kept for the next ones: fresh pages are dear (each is cleared
// and mapped on its first write), reused ones are not. A few tens of megabytes at most.
constexpr size_t kKeepAtMost = 64u << 20;
struct Kept {
    void* data;
    size_t bytes;
};
std::mutex keptLock;
std::vector<Kept> kept;
size_t keptBytes = 0;

bool keep(void* data, size_t bytes)
{
    const std::lock_guard<std::mutex> hold(keptLock);
    if (keptBytes + bytes > kKeepAtMost)
        return false;
    kept.push_back({data, bytes});
    keptBytes += bytes;
    return true;
}

// The smallest kept mapping of at least bytes.
void* reuse(size_t& bytes)
{
    const std::lock_guard<std::mutex> hold(keptLock);
    size_t best = kept.size();
    for (size_t i = 0; i < kept.size(); ++i)
        if (kept[i].bytes >= bytes && (best == kept.size() || kept[i].bytes < kept[best].bytes))
            best = i;
    if (best == kept.size())
        return nullptr;
    void* p = kept[best].data;
    bytes = kept[best].bytes;
    keptBytes -= bytes;
    kept.erase(kept.begin() + std::ptrdiff_t(best));
    return p;
}
void adviseHuge(void* p, size_t bytes)
{
#ifdef MADV_HUGEPAGE
    madvise(p, bytes, MADV_HUGEPAGE);
#endif
}

// Of a grown mapping, the part faulted in at once; the rest faults in as it is filled, so that
// the arrays of a dataset's columns, which grow at the same row, do not stop the reading together.
constexpr size_t kPopulateAhead = 1024 * 1024;

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

void* grow(void* data, size_t oldBytes, size_t& newBytes, bool& mapped)
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
        populate(p, oldBytes, std::min(newBytes, oldBytes + kPopulateAhead));
        return p;
    }
    void* p = reuse(newBytes);
    if (!p) {
        p = mmap(nullptr, newBytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (p == MAP_FAILED)
            throw std::bad_alloc();
        adviseHuge(p, newBytes);
        populate(p, 0, newBytes);
    }
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
    if (!mapped)
        std::free(data);
    else if (!keep(data, bytes))
        munmap(data, bytes);
}

} // namespace db::podarray
