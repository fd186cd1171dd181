// Every signature that a signature table names is decoded by a kind of its stream, unless the
// record is generic by design: a table row without a decoder would be a record printed as
// remaining data by oversight.
#include <gtest/gtest.h>

#include <map>
#include <set>

#include "output/SymbolEntry.h"
#include "records/RecordFactory.h"
#include "records/RecordKinds.h"
#include "records/RecordStream.h"
#include "records/SignatureTables.h"

namespace {

struct Table {
    const char* name;
    const SymbolEntry* signatures;
    std::uint16_t stream;
    std::set<std::uint16_t> generic; // generic by the record's own definition
};

TEST(EverySignature, HasAKindOrIsGenericByDesign) {
    const Table tables[] = {
        // The older document and link records, and the picture records whose data other
        // records carry (TIFF, Metafile, Bitmap, CGM), are generic records.
        {"rich text",
         kRichTextSignatures,
         kStreamKindComposite,
         {0x80, 0x8C, 0x8D, 0x94, 0xFF87, 0xFF88, 0xFF93}},
        // The same in drawings, and the byte-form polygons, polylines and poly-regions (which
        // the walker only measures) and the byte-form navigator action.
        {"layout",
         kLayoutSignatures,
         kStreamKindLayout,
         {0x80, 0x8C, 0x8D, 0x94, 0xFF87, 0xFF88, 0xFF93, 0xB2, 0xB3, 0xB5, 0xC0}},
        {"dataset", kDatasetSignatures, kStreamKindDataset, {}},
        {"query", kQuerySignatures, kStreamKindQuery, {}},
        {"action", kActionSignatures, kStreamKindAction, {0xFF88, 0xFF8A, 0xFF8B, 0xFF92}},
    };
    std::map<std::string, std::set<std::uint16_t>> undecoded;
    std::size_t named = 0;
    for (const Table& t : tables) {
        const StreamRecords records = RecordsOfStream(t.stream);
        ForEachSymbol(t.signatures, [&](const SymbolEntry& row) {
            ++named;
            const auto signature = std::uint16_t(row.value);
            bool found = false;
            for (RecordScope scope : records.scopes)
                found = found || FindRecordKind(scope, signature) != nullptr;
            if (!found && !t.generic.count(signature))
                undecoded[std::string(t.name) + " " + row.name].insert(signature);
            return true;
        });
    }
    EXPECT_GT(named, 100u);
    for (const auto& [name, signatures] : undecoded)
        ADD_FAILURE() << name << " (0x" << std::hex << *signatures.begin() << ") has no kind";
}

} // namespace
