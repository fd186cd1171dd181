// Helpers of the record tests: walking a stream into nodes and dumping a node's fields.
#pragma once

#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "output/DumpWriter.h"
#include "records/CdRecord.h"
#include "records/RecordStream.h"
#include "support/NodeDump.h"
#include "support/RecordEncoder.h"
#include "tree/NoteNode.h"

// The record nodes of a stream, under a parent of their own.
struct WalkedStream {
    std::unique_ptr<CNoteNode> parent = std::make_unique<CNoteNode>();
    store::Status status = 0;

    std::vector<TNCdRecord*> Records() const {
        std::vector<TNCdRecord*> out;
        for (CTreeListNode* n = parent->GetFirstChild(); n; n = n->GetNextSibling())
            out.push_back(static_cast<TNCdRecord*>(n));
        return out;
    }
};

inline WalkedStream Walk(const std::uint8_t* bytes, std::size_t length, std::uint16_t kind = 1) {
    WalkedStream w;
    auto factory = MakeRecordFactory(kind);
    w.status = AddRecordNodes(*w.parent, *factory, bytes, length);
    return w;
}

inline WalkedStream Walk(const RecordBytes& stream, std::uint16_t kind = 1) {
    return Walk(stream.data(), stream.size(), kind);
}

inline std::string Dump(TNCdRecord& node, CInfoPaneOptions* options = nullptr) {
    return DescribeNode(node, options);
}

// The dump of the only record of a one-record stream.
inline std::string DumpOne(const RecordEncoder& encoder) {
    WalkedStream w = Walk(encoder.Stream());
    auto records = w.Records();
    return records.size() == 1 ? Dump(*records[0]) : "(" + std::to_string(records.size()) + ")";
}

// The label and dump of the one record of a stream of `kind` made of one record.
struct OneShown {
    std::string label;
    std::string dump;
};
inline OneShown ShowOne(std::uint16_t kind, std::uint16_t signature, const RecordBody& body,
                        CInfoPaneOptions* options = nullptr) {
    const RecordBytes stream = RecordEncoder(kind).Add(signature, body).Stream();
    WalkedStream w = Walk(stream, kind);
    auto r = w.Records();
    if (r.size() != 1)
        return {"?", "(" + std::to_string(r.size()) + ")"};
    return {std::string(r[0]->GetLabel()), Dump(*r[0], options)};
}
