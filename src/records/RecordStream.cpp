#include "records/RecordStream.h"

#include <algorithm>
#include <cstring>
#include <iterator>
#include <vector>

#include "output/FieldWriter.h"
#include "records/RecordFactory.h"
#include "tree/CancelProbe.h"
#include "tree/NodeDocument.h"
#include "tree/TNError.h"

namespace {

// Not a store status: the walk stopped because the batch is full. Never returned to callers.
constexpr store::Status kBatchFull = 0xFFFF;

struct WalkContext {
    CNoteNode& parent;
    const CdRecordFactory& factory;
    RecordWalk walk;
    const std::uint8_t* stream;
    std::size_t limit;           // record nodes to make at most
    std::size_t made = 0;        // record nodes made
    TNCdRecord* first = nullptr; // the first of them; the others are its next siblings
    std::size_t stopAt = 0;      // with kBatchFull: the offset of the first record not made
};

store::Status AddOne(const RecordSpan& record, void* context) {
    auto& walk = *static_cast<WalkContext*>(context);
    if (walk.made == walk.limit) {
        walk.stopAt = static_cast<std::size_t>(record.record - walk.stream);
        return kBatchFull;
    }
    // Once a record, so that a huge value can be left: the error node says why it ends there.
    if (walk.walk == RecordWalk::Cancellable && UserCancelled()) {
        walk.parent.AddChild(new TNError(store::kCancelled, nullptr));
        return store::kCancelled;
    }
    // A hidden record type stops the walk: one placeholder (when wanted) stands for them all.
    if (!walk.parent.AcceptChild(nodetype::kCdRecords))
        return store::kCancelled;
    TNCdRecord* node = walk.factory.Create(record, walk.parent.GetDocument());
    walk.parent.AddChild(node);
    if (!walk.first)
        walk.first = node;
    ++walk.made;
    return store::kNoError;
}

// The records after the first batch: only counted, with the offset where each batch starts.
struct CountContext {
    const std::uint8_t* stream;
    RecordWalk walk;
    std::size_t records = 0;
    std::vector<std::size_t> starts;
};

store::Status CountOne(const RecordSpan& record, void* context) {
    auto& count = *static_cast<CountContext*>(context);
    if (count.records % kRecordBatch == 0) {
        // Once a batch: counting is quick, but a value may hold millions of records.
        if (count.walk == RecordWalk::Cancellable && UserCancelled())
            return store::kCancelled;
        count.starts.push_back(static_cast<std::size_t>(record.record - count.stream));
    }
    ++count.records;
    return store::kNoError;
}

// The labels of `count` record nodes from `first` on that keep copies of their own, moved into
// one block that they then show.
std::unique_ptr<char[]> GatherLabels(TNCdRecord* first, std::size_t count) {
    std::size_t size = 0;
    const CTreeListNode* c = first;
    for (std::size_t i = 0; i < count && c; ++i, c = c->GetNextSibling())
        if (const auto* r = static_cast<const TNCdRecord*>(c); r->KeepsLabelCopy())
            size += r->GetLabel().size();
    if (size == 0)
        return nullptr;
    auto block = std::make_unique_for_overwrite<char[]>(size);
    char* at = block.get();
    CTreeListNode* n = first;
    for (std::size_t i = 0; i < count && n; ++i, n = n->GetNextSibling()) {
        auto* r = static_cast<TNCdRecord*>(n);
        if (!r->KeepsLabelCopy())
            continue;
        const std::string_view label = r->GetLabel();
        std::memcpy(at, label.data(), label.size());
        r->SetLabelBorrowed({at, label.size()});
        at += label.size();
    }
    return block;
}

} // namespace

StreamRecords RecordsOfStream(std::uint16_t itemType) {
    using S = RecordScope;
    static constexpr S kRichText[] = {S::RichTextBase, S::RichText};
    static constexpr S kLayout[] = {S::RichTextBase, S::Navigator};
    static constexpr S kQuery[] = {S::Query};
    static constexpr S kAction[] = {S::Action};
    static constexpr S kDataset[] = {S::Dataset};
    switch (itemType) {
    case kStreamKindComposite:
        return {kRichText, &recordfamily::kRichText};
    case kStreamKindLayout:
        return {kLayout, &recordfamily::kLayout};
    case kStreamKindQuery:
        return {kQuery, &recordfamily::kQuery};
    case kStreamKindAction:
        return {kAction, &recordfamily::kAction};
    case kStreamKindDataset:
        // Signatures without a kind get the plain record, not the dataset family's.
        return {kDataset, &recordfamily::kPlain};
    default:
        return {};
    }
}

std::unique_ptr<CdRecordFactory> MakeRecordFactory(std::uint16_t itemType) {
    const StreamRecords records = RecordsOfStream(itemType);
    if (records.scopes.empty())
        return nullptr;
    return std::make_unique<CKindRecordFactory>(records.scopes, *records.generic);
}

const CdRecordFactory* SharedRecordFactory(std::uint16_t itemType) {
    static constexpr std::uint16_t kTypes[] = {kStreamKindComposite, kStreamKindLayout,
                                               kStreamKindQuery, kStreamKindAction,
                                               kStreamKindDataset};
    // Never destroyed: nodes freed by static objects' destructors at exit may still use them.
    static const CdRecordFactory* const* const factories = [] {
        auto* made = new const CdRecordFactory*[std::size(kTypes)];
        for (std::size_t i = 0; i < std::size(kTypes); ++i)
            made[i] = MakeRecordFactory(kTypes[i]).release();
        return made;
    }();
    for (std::size_t i = 0; i < std::size(kTypes); ++i)
        if (kTypes[i] == itemType)
            return factories[i];
    return nullptr;
}

store::Status AddRecordNodes(CNoteNode& parent, const CdRecordFactory& factory,
                             const std::uint8_t* stream, std::size_t length, RecordWalk how,
                             std::unique_ptr<char[]>* labels) {
    if (!parent.IsTypeShownOrHeld(nodetype::kCdRecords))
        return store::kNoError;
    parent.SetSorted(false); // records keep the order of the stream
    WalkContext walk{parent, factory, how, stream, kRecordBatch};
    const store::Status status = EnumerateRecords(stream, length, AddOne, &walk);
    // The records made follow one another: an unsorted parent appends its children.
    if (labels)
        *labels = GatherLabels(walk.first, walk.made);
    if (status != kBatchFull)
        return status;
    CountContext count{stream, how, 0, {}};
    if (EnumerateRecordsFrom(stream, length, walk.stopAt, CountOne, &count) != store::kNoError) {
        parent.AddChild(new TNError(store::kCancelled, nullptr));
        return store::kCancelled;
    }
    const std::size_t total = walk.made + count.records;
    for (std::size_t i = 0; i < count.starts.size(); ++i) {
        const std::size_t first = walk.made + i * kRecordBatch;
        const std::size_t n = std::min(kRecordBatch, total - first);
        parent.AddChild(new TNRecordBatch(factory, stream, length, count.starts[i], first, n, total,
                                          parent.GetDocument()));
    }
    return store::kNoError;
}

TNRecordBatch::TNRecordBatch(const CdRecordFactory& factory, const std::uint8_t* stream,
                             std::size_t length, std::size_t offset, std::size_t first,
                             std::size_t count, std::size_t total, CNodeDocument* document)
    : CNoteNode(document), factory_(factory), stream_(stream), length_(length), offset_(offset),
      first_(first), count_(count), total_(total) {
    SetTypeId(nodetype::kCdRecords); // hidden, shown and expanded along with the records
    SetSorted(false);
    SetLabelFormat("More Records: %zu to %zu of %zu", first + 1, first + count, total);
}

void TNRecordBatch::AddChildren() {
    if (!IsTypeShownOrHeld(nodetype::kCdRecords))
        return;
    WalkContext walk{*this, factory_, RecordWalk::Cancellable, stream_, count_};
    EnumerateRecordsFrom(stream_, length_, offset_, AddOne, &walk);
}

void TNRecordBatch::WriteBegin(CFieldWriter& writer) {
    writer.BeginField("record-batch");
}

void TNRecordBatch::WriteFields(CFieldWriter& writer) {
    writer.NumberField("first-record", double(first_ + 1));
    writer.NumberField("last-record", double(first_ + count_));
    writer.NumberField("records-in-stream", double(total_));
    writer.HexLField("offset", static_cast<std::uint32_t>(offset_));
}

void TNRecordBatch::WriteEnd(CFieldWriter& writer) {
    writer.EndField();
}
