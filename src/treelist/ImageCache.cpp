#include "treelist/ImageCache.h"

#include <algorithm>
#include <vector>

namespace imagecache {
namespace {

std::vector<ImageEntry>& Table() {
    static std::vector<ImageEntry> table{ImageEntry{}};
    return table;
}

std::uint16_t FindOrAppend(const ImageEntry& e) {
    auto& table = Table();
    const auto at = std::find(table.begin(), table.end(), e);
    if (at != table.end()) {
        return static_cast<std::uint16_t>(at - table.begin());
    }
    // The index is 16 bits wide; past that the default entry stands in rather than wrapping.
    if (table.size() > 0xFFFF) {
        return 0;
    }
    table.push_back(e);
    return static_cast<std::uint16_t>(table.size() - 1);
}

} // namespace

const ImageEntry& Entry(std::uint16_t index) {
    const auto& table = Table();
    return index < table.size() ? table[index] : table[0];
}

std::size_t Count() {
    return Table().size();
}

std::uint16_t Derive(std::uint16_t from, std::uint16_t bitmap, std::uint16_t mask,
                     std::optional<ImageKind> kind) {
    ImageEntry e = Entry(from);
    e.bitmap = bitmap;
    e.mask = mask;
    e.kind = kind ? *kind : (mask != 0 ? ImageKind::Masked : ImageKind::Plain);
    return FindOrAppend(e);
}

std::uint16_t WithCellSize(std::uint16_t from, std::uint16_t width, std::uint16_t height) {
    ImageEntry e = Entry(from);
    e.cellWidth = width;
    e.cellHeight = height;
    return FindOrAppend(e);
}

} // namespace imagecache
