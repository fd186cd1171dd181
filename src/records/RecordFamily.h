// The families of record nodes: what every record of a kind of stream shares when no class
// of its own says more (its signature names, its image strip, its help contexts).
#pragma once

#include <cstdint>

#include "output/SymbolEntry.h"

struct RecordFamily {
    const SymbolEntry* signatures; // names for `record-type` and generic labels; may be null
    std::uint16_t bitmap;          // the image strip and its mask
    std::uint16_t maskBitmap;
    std::uint32_t helpBase; // help context = base + signature; 0: that of the node type
};

namespace recordfamily {
extern const RecordFamily kRichText;
extern const RecordFamily kLayout; // navigator drawing records
extern const RecordFamily kQuery;
extern const RecordFamily kAction;
extern const RecordFamily kDataset;
extern const RecordFamily kPlain; // no names, the node type's help
} // namespace recordfamily
