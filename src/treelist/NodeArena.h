// Storage for tree nodes. A tree holds a great many small nodes of a few sizes; the general
// heap adds a header and rounds each one up, and a large expansion fills fresh memory one small
// page at a time. Here nodes of one size (to 8 bytes) are cut from chunks kept for that size,
// which grow to large pages, and a freed node goes to a list that the next node of its size
// takes. Chunks are kept for the life of the process: the memory of collapsed nodes serves the
// next expansion. Used from one thread.
#pragma once

#include <cstddef>

namespace nodearena {
void* Allocate(std::size_t size);
void Release(void* p, std::size_t size);
// Bytes held in chunks, used or free: for tests and benchmarks.
std::size_t ChunkBytes();

// Scratch memory for the arrays of a large expansion (the sort of a million children), given
// back to the system when released. Large ones come in large pages where the system has them,
// so fresh memory costs one fault per large page rather than one per small page.
void* AllocateLarge(std::size_t bytes);
void ReleaseLarge(void* p, std::size_t bytes);

// An array of trivial values in such memory, uninitialised.
template <class T> class LargeArray {
public:
    explicit LargeArray(std::size_t n)
        : data_(static_cast<T*>(AllocateLarge(n * sizeof(T)))), size_(n) {}
    ~LargeArray() { ReleaseLarge(data_, size_ * sizeof(T)); }
    LargeArray(const LargeArray&) = delete;
    LargeArray& operator=(const LargeArray&) = delete;

    T& operator[](std::size_t i) { return data_[i]; }
    T* begin() { return data_; }
    T* end() { return data_ + size_; }
    std::size_t size() const { return size_; }

private:
    T* data_;
    std::size_t size_;
};
} // namespace nodearena
