// Spare blocks: small blocks come from malloc; the others are mappings of their own, kept per
// thread for reuse, most recently given first. Mappings of 2 MB and more ask for huge pages, which
// makes a large canvas far cheaper to fault in.
#include "runtime/spare_blocks.h"

#include <sys/mman.h>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/asan_interface.h>
#endif

#include <algorithm>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace kelvane::spare {

namespace {

constexpr size_t kMappedFrom = size_t{64} << 10;  // smaller blocks are not worth keeping
constexpr size_t kHugePage = size_t{2} << 20;
constexpr size_t kPage = size_t{4} << 10;
constexpr size_t kMaxKept = 16;

// Put before each block's bytes; its size keeps the bytes aligned for any type, as malloc's are.
struct alignas(alignof(std::max_align_t)) Header {
    size_t capacity;  // usable bytes after the header
    size_t mapped;    // the mapping's length, 0 for a malloc block
};

Header* headerOf(uint8_t* block) { return reinterpret_cast<Header*>(block) - 1; }
uint8_t* bytesOf(Header* h) { return reinterpret_cast<uint8_t*>(h + 1); }

size_t roundUp(size_t v, size_t unit) { return (v + unit - 1) / unit * unit; }

// Under AddressSanitizer a mapped block is readable only up to the bytes taken, and not at all
// while it is kept, so that overruns and uses after giving back are caught as with malloc.
void hide([[maybe_unused]] void* p, [[maybe_unused]] size_t bytes) {
#if defined(__SANITIZE_ADDRESS__)
    ASAN_POISON_MEMORY_REGION(p, bytes);
#endif
}

void show([[maybe_unused]] void* p, [[maybe_unused]] size_t bytes) {
#if defined(__SANITIZE_ADDRESS__)
    ASAN_UNPOISON_MEMORY_REGION(p, bytes);
#endif
}

void unmap(Header* h) {
    show(bytesOf(h), h->capacity);  // later mappings at these addresses start readable
    ::munmap(h, h->mapped);
}

// Hands out a mapped block for `bytes`.
uint8_t* handOut(Header* h, size_t bytes) {
    show(bytesOf(h), bytes);
    hide(bytesOf(h) + bytes, h->capacity - bytes);
    return bytesOf(h);
}

struct Kept {
    std::vector<Header*> blocks;  // most recently given first
    size_t bytes = 0;

    Kept() { blocks.reserve(kMaxKept + 1); }  // giving back never allocates
    ~Kept();

    void release() {
        for (Header* h : blocks) unmap(h);
        blocks.clear();
        bytes = 0;
    }
};

thread_local Kept t_kept;
// Set once this thread's list is gone (thread exit): blocks given back later are released.
thread_local bool t_keptGone = false;

Kept::~Kept() {
    release();
    t_keptGone = true;
}

uint8_t* mapBlock(size_t bytes) {
    const size_t length = bytes + sizeof(Header) >= kHugePage ? roundUp(bytes + sizeof(Header), kHugePage)
                                                              : roundUp(bytes + sizeof(Header), kPage);
    void* p = ::mmap(nullptr, length, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (p == MAP_FAILED) return nullptr;
    if (length >= kHugePage) ::madvise(p, length, MADV_HUGEPAGE);  // advice only: failure is harmless
    Header* h = static_cast<Header*>(p);
    h->capacity = length - sizeof(Header);
    h->mapped = length;
    return handOut(h, bytes);
}

}  // namespace

uint8_t* take(size_t bytes, bool zeroed) {
    if (bytes > SIZE_MAX - kHugePage - sizeof(Header)) return nullptr;
    if (bytes < kMappedFrom) {
        void* p = zeroed ? std::calloc(1, sizeof(Header) + bytes) : std::malloc(sizeof(Header) + bytes);
        if (!p) return nullptr;
        Header* h = static_cast<Header*>(p);
        h->capacity = bytes;
        h->mapped = 0;
        return bytesOf(h);
    }
    if (!t_keptGone) {
        // The smallest kept block that holds the bytes.
        Kept& kept = t_kept;
        auto best = kept.blocks.end();
        for (auto it = kept.blocks.begin(); it != kept.blocks.end(); ++it)
            if ((*it)->capacity >= bytes && (best == kept.blocks.end() || (*it)->capacity < (*best)->capacity))
                best = it;
        if (best != kept.blocks.end()) {
            Header* h = *best;
            kept.blocks.erase(best);
            kept.bytes -= h->mapped;
            uint8_t* bytesTaken = handOut(h, bytes);
            if (zeroed) std::memset(bytesTaken, 0, bytes);
            return bytesTaken;
        }
    }
    return mapBlock(bytes);  // new pages read as zero
}

void give(uint8_t* block) {
    if (!block) return;
    Header* h = headerOf(block);
    if (h->mapped == 0) {
        std::free(h);
        return;
    }
    if (t_keptGone || h->mapped > kSpareBytesPerThread) {
        unmap(h);
        return;
    }
    hide(bytesOf(h), h->capacity);
    Kept& kept = t_kept;
    kept.blocks.insert(kept.blocks.begin(), h);
    kept.bytes += h->mapped;
    // The least recently given blocks go first.
    while (kept.bytes > kSpareBytesPerThread || kept.blocks.size() > kMaxKept) {
        Header* last = kept.blocks.back();
        kept.blocks.pop_back();
        kept.bytes -= last->mapped;
        unmap(last);
    }
}

size_t keptBytes() { return t_keptGone ? 0 : t_kept.bytes; }

void releaseAll() {
    if (!t_keptGone) t_kept.release();
}

}  // namespace kelvane::spare
