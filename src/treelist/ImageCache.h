// The image cache's table of entries: which bitmaps, mask, kind and cell size each node image
// uses. Entries are shared: deriving an entry equal to an existing one returns that one. Loading
// and composing the bitmaps is the drawing toolkit's business; this table only names them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

enum class ImageKind : std::uint8_t {
    Plain = 1,
    Masked = 2,  // transparent through the mask
    Ghosted = 3, // transparent and ghosted with a checker pattern
};

struct ImageEntry {
    std::uint16_t bitmap = 0; // 0: no image
    std::uint16_t mask = 0;   // 0: none
    ImageKind kind = ImageKind::Plain;
    std::uint16_t cellWidth = 16;
    std::uint16_t cellHeight = 16;
    friend bool operator==(const ImageEntry&, const ImageEntry&) = default;
};

// A node's image: an entry of the cache and the cell of its strip.
struct NodeImage {
    std::uint16_t entry = 0;
    std::uint16_t strip = 0;
    friend bool operator==(const NodeImage&, const NodeImage&) = default;
};

namespace imagecache {
// Entry 0 is the default: no bitmap, 16 x 16 cells.
const ImageEntry& Entry(std::uint16_t index); // unknown indexes give entry 0
std::size_t Count();
// An entry like `from` with new bitmaps; without a kind, kind 2 with a mask and 1 without.
std::uint16_t Derive(std::uint16_t from, std::uint16_t bitmap, std::uint16_t mask,
                     std::optional<ImageKind> kind = std::nullopt);
// An entry like `from` with a new cell size.
std::uint16_t WithCellSize(std::uint16_t from, std::uint16_t width, std::uint16_t height);
} // namespace imagecache
