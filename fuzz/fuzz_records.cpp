// Fuzzes the record stream walk with every factory: the input is a stream (its kind word
// first), walked as each kind of item, and every record node describes itself into a dump and
// makes its label with the symbols switch on and off; records holding an embedded stream (a
// hotspot's actions) are expanded and their records described too.
#include <cstdint>
#include <memory>
#include <sstream>
#include <vector>

#include "output/DumpWriter.h"
#include "records/CdRecord.h"
#include "records/RecordStream.h"
#include "tree/NodeDocument.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // A copy of exactly the input's size, so that any read past it is caught.
    std::vector<std::uint8_t> bytes(data, data + size);
    for (std::uint16_t kind : {1, 15, 16, 18, 19}) {
        CNodeDocument doc;
        CNoteNode parent(&doc);
        auto factory = MakeRecordFactory(kind);
        AddRecordNodes(parent, *factory, bytes.data(), bytes.size());
        std::ostringstream out;
        CDumpWriter writer(out, &doc.InfoOptions());
        writer.Begin();
        const auto describe = [&](TNCdRecord& r) {
            r.WriteBegin(writer);
            r.WriteFields(writer);
            r.WriteEnd(writer);
            doc.InfoOptions().ShowSymbols ^= 1;
            r.OnOptionsChanged(0x2);
        };
        for (CTreeListNode* n = parent.GetFirstChild(); n; n = n->GetNextSibling()) {
            auto* r = static_cast<TNCdRecord*>(n);
            describe(*r);
            if (!r->IsExpandable())
                continue;
            r->CreateChildren();
            for (CTreeListNode* c = r->GetFirstChild(); c; c = c->GetNextSibling())
                if (auto* child = dynamic_cast<TNCdRecord*>(c))
                    describe(*child);
        }
        writer.End();
    }
    return 0;
}
