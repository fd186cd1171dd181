// The record stream of a composite item (rich text, queries, actions, navigators) as child
// nodes of the item's node.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

class CNoteNode;

// Makes the record nodes of one kind of stream; owned by the item node that walks the stream.
class CdRecordFactory {
public:
    virtual ~CdRecordFactory() = default;
};

// The factory for the records of an item of this type (1, 15, 16, 18 or 19); null for others.
std::unique_ptr<CdRecordFactory> MakeRecordFactory(std::uint16_t itemType);

// Walks the stream (its 16-bit kind word first; `length` counts it) and attaches one record
// node per record to `parent`. The bytes must stay valid while the record nodes exist.
void AddRecordNodes(CNoteNode& parent, CdRecordFactory& factory, const std::uint8_t* stream,
                    std::size_t length);
