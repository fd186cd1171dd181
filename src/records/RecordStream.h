// The record stream of a composite item (rich text, queries, actions, navigators) as child
// nodes of the item's node.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "records/RecordWalker.h"
#include "store/api/Status.h"
#include "tree/NoteNode.h"

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
// The same, one for each type, kept for the life of the process: a factory holds nothing of
// an item, so every item of a type shares one.
const CdRecordFactory* SharedRecordFactory(std::uint16_t itemType);

// Whether the walk asks, before each record, if the user has cancelled. An item's value may
// hold any number of records; the actions embedded in one record are few and walked whole.
enum class RecordWalk { Cancellable, Whole };

// At most this many record nodes are made by one expansion. A longer stream gets, after its
// first batch of record nodes, one batch node per further batch (see TNRecordBatch), so that
// no value, however many records it holds, makes all its record nodes at once.
constexpr std::size_t kRecordBatch = 4096;

// Walks the stream (its 16-bit kind word first; `length` counts it) and attaches one record
// node per record to `parent`, in stream order (the parent stops sorting), up to kRecordBatch;
// the records after those are attached as batch nodes of up to kRecordBatch records each. The
// bytes and the factory must stay valid while the record nodes exist. Returns 0, or kCancelled when
// the walk stopped because record nodes are hidden (a placeholder, when wanted, stands for them) or
// because the user cancelled (then an error node for the cancel is the last child).
// With `labels`, the labels that the record nodes made keep as copies of their own are moved
// into one block, given there (null when none was moved), which the nodes show from then on: a
// stream's labels in one allocation rather than one each. The caller keeps the block for as long
// as those nodes exist; a label made again later (an option change) is a copy of its own again.
store::Status AddRecordNodes(CNoteNode& parent, const CdRecordFactory& factory,
                             const std::uint8_t* stream, std::size_t length,
                             RecordWalk how = RecordWalk::Cancellable,
                             std::unique_ptr<char[]>* labels = nullptr);

// Stands for a run of records of a stream too long to show at once: "More Records: 4097 to
// 8192 of 1000000". Expanding it makes the run's record nodes (its children); collapsing it
// frees them again, so a dump with collapsed data holds one run at a time.
class TNRecordBatch : public CNoteNode {
public:
    // The run starts at record number `first` (0-based) at `offset` in the stream and holds
    // `count` records of the stream's `total`.
    TNRecordBatch(const CdRecordFactory& factory, const std::uint8_t* stream, std::size_t length,
                  std::size_t offset, std::size_t first, std::size_t count, std::size_t total,
                  CNodeDocument* document);

    std::size_t FirstRecord() const { return first_; }
    std::size_t RecordCount() const { return count_; }
    std::size_t Offset() const { return offset_; }

    bool IsExpandable() const override { return count_ > 0; }
    void AddChildren() override;
    void WriteBegin(CFieldWriter& writer) override;
    void WriteFields(CFieldWriter& writer) override;
    void WriteEnd(CFieldWriter& writer) override;

private:
    const CdRecordFactory& factory_;
    const std::uint8_t* stream_;
    std::size_t length_;
    std::size_t offset_;
    std::size_t first_;
    std::size_t count_;
    std::size_t total_;
};
