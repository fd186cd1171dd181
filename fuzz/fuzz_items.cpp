// Fuzzes the item value decoders. The first byte chooses the item's name and the class of its
// note (so the flag item tables are reached); the rest is a whole item value, type word first.
// Each input is decoded twice: through an item node over a store block of exactly its size
// (labels included), and through the decoder of its type over an exact copy.
#include <cstdint>
#include <cstring>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "items/ItemNode.h"
#include "items/ItemNodeFactory.h"
#include "items/ValueDecoders.h"
#include "output/CompiledFormula.h"
#include "output/DocumentNodeOptions.h"
#include "output/DumpWriter.h"
#include "store/api/Memory.h"
#include "tree/NodeDocument.h"

namespace {

// Item labels include their values, so the label conversions are fuzzed too.
class Document : public CNodeDocument {
public:
    Document() {
        DocumentNodeValues values = DocumentOptions().Values();
        values.includeItemValue = 1;
        DocumentOptions().Apply(values, CompiledFormula{});
    }
};

struct Name {
    const char* name;
    std::uint16_t noteClass;
};

constexpr Name kNames[] = {
    {"Subject", 0x1},        {"$Flags", 0x4},        {"$Flags", 0x10},
    {"$AssistFlags", 0x200}, {"$ReplFlags", 0x1},    {"$KSECFlags", 0x10},
    {"$VersionOpt", 0x4},    {"$ConflictAction", 1}, {"$HideScrollBars", 0x4},
};

void DecodeDirectly(std::uint16_t type, const std::uint8_t* p, std::size_t n, const Name& name) {
    std::ostringstream out;
    CDumpWriter w(out);
    w.Begin();
    const std::vector<std::uint8_t> exact(p, p + n);
    const std::uint8_t* bytes = exact.data();
    if (const ValueDecoder decode = FindValueDecoder(type))
        decode(w, ItemValueView{bytes, n, name.name, name.noteClass});
    else if (type == 2)
        WriteCollationFields(w, bytes, n);
    else if (type == 3)
        WriteObjectDescriptorFields(w, bytes, n);
    else if (type == 5)
        WriteViewFormatFields(w, bytes, n);
    w.End();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 3)
        return 0;
    const Name& name = kNames[data[0] % (sizeof kNames / sizeof kNames[0])];
    const std::uint8_t* whole = data + 1;
    const std::size_t length = size - 1;
    const std::uint16_t type = std::uint16_t(whole[0] | (whole[1] << 8));

    DecodeDirectly(type, whole + 2, length - 2, name);

    const store::MemHandle h = store::MemAlloc(length);
    if (!h)
        return 0;
    std::memcpy(store::MemLock(h), whole, length);
    store::MemUnlock(h);
    ItemScanInfo info;
    info.name = name.name;
    info.nameLength = std::uint16_t(std::strlen(name.name));
    info.type = type;
    info.value = store::BlockId{h, 0};
    info.valueLength = std::uint32_t(length);
    {
        Document doc;
        std::unique_ptr<CNoteNode> node(CreateItemNode(0, info, &doc));
        if (node) {
            std::ostringstream out;
            CDumpWriter w(out, &doc.InfoOptions());
            w.Begin();
            node->WriteBegin(w);
            node->WriteFields(w);
            node->WriteEnd(w);
            w.End();
        }
    }
    store::MemFree(h);
    return 0;
}
