// The record stream of a composite item (rich text, queries, actions, navigators) as child
// nodes of the item's node.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "records/RecordWalker.h"
#include "store/api/Status.h"

class CNodeDocument;
class CNoteNode;
class TNCdRecord;

// Makes the record nodes of one kind of stream; owned by the item node that walks the stream.
class CdRecordFactory {
public:
    virtual ~CdRecordFactory() = default;
    // The node for one record, with its label made; never null.
    virtual TNCdRecord* Create(const RecordSpan& record, CNodeDocument* document) const = 0;
};

// The factory for the records of an item of this type (1, 15, 16, 18 or 19); null for others.
std::unique_ptr<CdRecordFactory> MakeRecordFactory(std::uint16_t itemType);

// Whether the walk asks, before each record, if the user has cancelled. An item's value may
// hold any number of records; the actions embedded in one record are few and walked whole.
enum class RecordWalk { Cancellable, Whole };

// Walks the stream (its 16-bit kind word first; `length` counts it) and attaches one record
// node per record to `parent`, in stream order (the parent stops sorting). The bytes must stay
// valid while the record nodes exist. Returns 0, or kCancelled when the walk stopped because record
// nodes are hidden (a placeholder, when wanted, stands for them) or because the user cancelled
// (then an error node for the cancel is the last child).
store::Status AddRecordNodes(CNoteNode& parent, CdRecordFactory& factory,
                             const std::uint8_t* stream, std::size_t length,
                             RecordWalk how = RecordWalk::Cancellable);
