#include "treelist/NodeArena.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <new>
#include <vector>

#if defined(__linux__)
#include <sys/mman.h>
#endif

#if defined(__SANITIZE_ADDRESS__)
#define DELVEX_ARENA_OFF 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define DELVEX_ARENA_OFF 1
#endif
#endif

namespace nodearena {

#if !defined(DELVEX_ARENA_OFF)
namespace {

constexpr std::size_t kGrain = 8;
constexpr std::size_t kLargest = 1024; // larger nodes come from the general heap
constexpr std::size_t kClasses = kLargest / kGrain;
constexpr std::size_t kFirstChunk = 16 * 1024; // doubled for each further chunk of a size
constexpr std::size_t kLargePage = 2 * 1024 * 1024;

struct FreeBlock {
    FreeBlock* next;
};

struct Chunk {
    char* start;
    std::size_t bytes;
};

// A freed block goes to the front of the free list, so that blocks freed in one order are taken
// again in reverse; once no block of the size is used, the chunks are cut again from the start,
// in address order, as a new set of nodes is best laid out (created in the order a walk reads).
struct SizeClass {
    FreeBlock* free = nullptr;
    char* cursor = nullptr;
    char* end = nullptr;
    std::size_t live = 0;
    std::vector<Chunk> chunks;
    std::size_t current = 0; // the chunk being cut
};

struct Arena {
    SizeClass classes[kClasses];
    std::size_t chunkBytes = 0;
};

// Never destroyed: nodes may be freed by static objects' destructors at exit.
Arena& TheArena() {
    static Arena& arena = *new Arena();
    return arena;
}

char* NewChunk(Arena& arena, std::size_t bytes) {
    // Chunks of a large page's size are aligned to one, so that the system may back each by a
    // single page: one fault for it instead of one per small page.
    const std::size_t align = bytes >= kLargePage ? kLargePage : alignof(std::max_align_t);
    void* p = std::aligned_alloc(align, bytes);
    if (!p)
        throw std::bad_alloc();
#if defined(__linux__) && defined(MADV_HUGEPAGE)
    if (bytes >= kLargePage)
        madvise(p, bytes, MADV_HUGEPAGE); // a hint; without large pages all works the same
#endif
    arena.chunkBytes += bytes;
    return static_cast<char*>(p);
}

} // namespace
#endif

void* Allocate(std::size_t size) {
#if defined(DELVEX_ARENA_OFF)
    return ::operator new(size); // the sanitizer sees every node's own block
#else
    if (size == 0 || size > kLargest)
        return ::operator new(size);
    Arena& arena = TheArena();
    const std::size_t rounded = (size + kGrain - 1) / kGrain * kGrain;
    SizeClass& c = arena.classes[rounded / kGrain - 1];
    ++c.live;
    if (c.free) {
        FreeBlock* b = c.free;
        c.free = b->next;
        return b;
    }
    if (static_cast<std::size_t>(c.end - c.cursor) < rounded) {
        if (c.cursor && c.current + 1 < c.chunks.size()) {
            ++c.current;
        } else {
            const std::size_t bytes =
                c.chunks.empty() ? kFirstChunk : std::min(c.chunks.back().bytes * 2, kLargePage);
            c.chunks.push_back(Chunk{NewChunk(arena, bytes), bytes});
            c.current = c.chunks.size() - 1;
        }
        const Chunk& k = c.chunks[c.current];
        c.cursor = k.start;
        c.end = k.start + k.bytes / rounded * rounded;
    }
    void* p = c.cursor;
    c.cursor += rounded;
    return p;
#endif
}

void Release(void* p, [[maybe_unused]] std::size_t size) {
    if (!p)
        return;
#if defined(DELVEX_ARENA_OFF)
    ::operator delete(p);
#else
    if (size == 0 || size > kLargest) {
        ::operator delete(p);
        return;
    }
    const std::size_t rounded = (size + kGrain - 1) / kGrain * kGrain;
    SizeClass& c = TheArena().classes[rounded / kGrain - 1];
    if (--c.live == 0) {
        c.free = nullptr;
        c.current = 0;
        c.cursor = c.chunks.front().start;
        c.end = c.cursor + c.chunks.front().bytes / rounded * rounded;
        return;
    }
    auto* b = static_cast<FreeBlock*>(p);
    b->next = c.free;
    c.free = b;
#endif
}

#if !defined(DELVEX_ARENA_OFF) && defined(__linux__)
namespace {
// Below this an array comes from the general heap, which serves it without a system call.
constexpr std::size_t kLargeFrom = 1024 * 1024;

std::size_t LargeMapping(std::size_t bytes) {
    return (bytes + kLargePage - 1) / kLargePage * kLargePage;
}
} // namespace
#endif

void* AllocateLarge(std::size_t bytes) {
#if !defined(DELVEX_ARENA_OFF) && defined(__linux__)
    if (bytes >= kLargeFrom) {
        // Mapped with a large page's slack and trimmed to a large page's alignment.
        const std::size_t size = LargeMapping(bytes);
        void* m = mmap(nullptr, size + kLargePage, PROT_READ | PROT_WRITE,
                       MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (m == MAP_FAILED)
            throw std::bad_alloc();
        const auto start = reinterpret_cast<std::uintptr_t>(m);
        const std::uintptr_t aligned = (start + kLargePage - 1) / kLargePage * kLargePage;
        if (aligned > start)
            munmap(m, aligned - start);
        if (const std::size_t tail = start + size + kLargePage - (aligned + size); tail > 0)
            munmap(reinterpret_cast<void*>(aligned + size), tail);
#if defined(MADV_HUGEPAGE)
        madvise(reinterpret_cast<void*>(aligned), size, MADV_HUGEPAGE); // a hint, as above
#endif
        return reinterpret_cast<void*>(aligned);
    }
#endif
    return ::operator new(bytes == 0 ? 1 : bytes);
}

void ReleaseLarge(void* p, [[maybe_unused]] std::size_t bytes) {
    if (!p)
        return;
#if !defined(DELVEX_ARENA_OFF) && defined(__linux__)
    if (bytes >= kLargeFrom) {
        munmap(p, LargeMapping(bytes));
        return;
    }
#endif
    ::operator delete(p);
}

std::size_t ChunkBytes() {
#if defined(DELVEX_ARENA_OFF)
    return 0;
#else
    return TheArena().chunkBytes;
#endif
}

} // namespace nodearena
