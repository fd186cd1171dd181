#include "records/RecordStream.h"

#include "records/RecordFactory.h"
#include "tree/CancelProbe.h"
#include "tree/NodeDocument.h"
#include "tree/TNError.h"

namespace {

struct WalkContext {
    CNoteNode& parent;
    CdRecordFactory& factory;
    RecordWalk walk;
};

store::Status AddOne(const RecordSpan& record, void* context) {
    auto& walk = *static_cast<WalkContext*>(context);
    // Once a record, so that a huge value can be left: the error node says why it ends there.
    if (walk.walk == RecordWalk::Cancellable && UserCancelled()) {
        walk.parent.AddChild(new TNError(store::kCancelled, nullptr));
        return store::kCancelled;
    }
    // A hidden record type stops the walk: one placeholder (when wanted) stands for them all.
    if (!walk.parent.AcceptChild(nodetype::kCdRecords))
        return store::kCancelled;
    walk.parent.AddChild(walk.factory.Create(record, walk.parent.GetDocument()));
    return store::kNoError;
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

store::Status AddRecordNodes(CNoteNode& parent, CdRecordFactory& factory,
                             const std::uint8_t* stream, std::size_t length, RecordWalk how) {
    if (!parent.IsTypeShownOrHeld(nodetype::kCdRecords))
        return store::kNoError;
    parent.SetSorted(false); // records keep the order of the stream
    WalkContext walk{parent, factory, how};
    return EnumerateRecords(stream, length, AddOne, &walk);
}
