// Working memory reused across requests on one thread: canvases, working bitmaps, the half-size
// chrominance picture and the coefficient planes. A block given back is kept for the thread's next
// request while the thread's spare blocks stay within kSpareBytesPerThread; larger blocks, and any
// beyond that, go back to the system at once, so a large picture never stays pinned.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

namespace kelvane::spare {

inline constexpr size_t kSpareBytesPerThread = size_t{16} << 20;

// A block of at least `bytes` bytes (aligned for any type), zero-filled when asked; null when
// memory is short. A block may be given back on any thread.
uint8_t* take(size_t bytes, bool zeroed);
void give(uint8_t* block);

// The bytes this thread keeps in spare blocks, and a release of all of them.
size_t keptBytes();
void releaseAll();

struct Giver {
    void operator()(uint8_t* block) const { give(block); }
};
using Block = std::unique_ptr<uint8_t[], Giver>;

// An allocator for vectors whose storage should come from the spare blocks.
template <class T>
struct Allocator {
    using value_type = T;
    Allocator() = default;
    template <class U>
    Allocator(const Allocator<U>&) {}
    T* allocate(size_t n) {
        if (n > SIZE_MAX / sizeof(T)) throw std::bad_array_new_length();
        uint8_t* block = take(n * sizeof(T), false);
        if (!block) throw std::bad_alloc();
        return reinterpret_cast<T*>(block);
    }
    void deallocate(T* p, size_t) { give(reinterpret_cast<uint8_t*>(p)); }
    template <class U>
    bool operator==(const Allocator<U>&) const { return true; }
};

}  // namespace kelvane::spare
