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
} // namespace nodearena
