#include "store/TNDocSetBase.h"

#include <cstdio>
#include <optional>
#include <string>

#include "store/DocSetStream.h"
#include "store/TNDatabase.h"
#include "store/TNDeletionStub.h"
#include "store/TNDocument.h"
#include "store/api/Conversions.h"
#include "store/api/Memory.h"
#include "tree/CancelProbe.h"
#include "tree/TNError.h"

namespace {

// A note the store cannot name by its ID: listed as an error that names the stored value.
TNError* DamagedNote(const store::ITEM_TABLE* summary) {
    char damage[200];
    std::size_t length = 0;
    const store::Status s =
        store::SummaryValueText(summary, "$Damage", damage, sizeof damage, &length);
    if (s != store::kNoError && s != store::kBufferTooSmall)
        std::snprintf(damage, sizeof damage, "its note ID is out of range");
    return new TNError(store::kDatabaseCorrupt, "Couldn't list note: %s", damage);
}

} // namespace

TNDocSetBase::TNDocSetBase(TNDatabase* database)
    : CNoteNode(database ? database->GetDocument() : nullptr), database_(database),
      since_(store::EarliestTime()) {}

store::Status TNDocSetBase::RunSearch(store::SearchCallback callback, void* context) {
    made_ = 0;
    endedHere_ = false;
    store::LockedMem formula(formula_.Handle());
    const std::uint16_t flags = searchFlags_ | (showStubs_ ? store::kSearchStubs : 0);
    return store::Search(database_ ? database_->GetHandle() : 0, formula.bytes(), formula_.Length(),
                         flags, classMask_, hasSince_ ? &since_ : nullptr, callback, context);
}

void TNDocSetBase::AddChildren() {
    const store::Status status = RunSearch(CallbackVLTSearch, this);
    ChildKind kind{};
    if (CNoteNode* end = EndChild(status, &kind))
        AddChild(end);
}

CNoteNode* TNDocSetBase::EndChild(store::Status status, ChildKind* kind) const {
    // The store polls the same cancel check between results and may see the cancel before
    // this node does; the list still ends in its one cancel node.
    if (status == store::kCancelled) {
        if (endedHere_)
            return nullptr;
        *kind = ChildKind::Cancel;
    } else if (status != store::kNoError) {
        *kind = ChildKind::Failure;
    } else {
        return nullptr;
    }
    return MakeChildAgain(*kind, store::SEARCH_MATCH{}, nullptr, status);
}

CNoteNode* TNDocSetBase::MakeChildAgain(ChildKind kind, const store::SEARCH_MATCH& match,
                                        const store::ITEM_TABLE* summary, store::Status status,
                                        std::uint16_t noteClass,
                                        std::optional<std::string_view> label) const {
    switch (kind) {
    case ChildKind::Note:
        return new TNDocument(database_, match, summary, GetDocument(), noteClass, label);
    case ChildKind::Stub:
        return new TNDeletionStub(match, GetDocument());
    case ChildKind::Damaged:
        return DamagedNote(summary);
    case ChildKind::Cancel:
        return new TNError(store::kCancelled, nullptr);
    case ChildKind::Failure:
        return new TNError(status, "Couldn't search for notes");
    }
    return nullptr;
}

store::Status TNDocSetBase::CallbackVLTSearch(void* node, const store::SEARCH_MATCH* match,
                                              const store::ITEM_TABLE* summary) {
    auto* self = static_cast<TNDocSetBase*>(node);
    ChildKind kind{};
    store::Status stop = store::kNoError;
    if (CNoteNode* child = self->MakeChild(*match, summary, &kind, &stop))
        self->AddChild(child);
    return stop;
}

CNoteNode* TNDocSetBase::MakeChild(const store::SEARCH_MATCH& match,
                                   const store::ITEM_TABLE* summary, ChildKind* kind,
                                   store::Status* stop) {
    *stop = store::kNoError;
    if (UserCancelled()) {
        endedHere_ = true;
        *stop = store::kCancelled;
        *kind = ChildKind::Cancel;
        return MakeChildAgain(*kind, match, summary, *stop);
    }
    if (limitOn_ && made_ >= limit_) {
        endedHere_ = true;
        *stop = store::kCancelled; // enough: the search ends quietly
        return nullptr;
    }
    const bool damaged = (match.matchFlags & store::kMatchDamaged) != 0;
    if ((match.noteClass & store::kClassStub) != 0) {
        if (!showStubs_ || !AcceptChild(nodetype::kDeletionStub))
            return nullptr;
        ++made_;
        *kind = damaged ? ChildKind::Damaged : ChildKind::Stub;
        return MakeChildAgain(*kind, match, summary, *stop);
    }
    if ((match.matchFlags & store::kMatchSelected) == 0 || !showNotes_)
        return nullptr;
    char flags[256];
    std::size_t length = 0;
    std::optional<std::string_view> flagText;
    const store::Status s =
        store::SummaryValueText(summary, "$Flags", flags, sizeof flags, &length);
    if (s == store::kNoError || s == store::kBufferTooSmall)
        flagText = std::string_view(flags, length < sizeof flags ? length : sizeof flags - 1);
    const NodeTypeId type = NoteTypeFromClass(match.noteClass, flagText);
    if (!AcceptChild(type))
        return nullptr;
    ++made_;
    *kind = damaged ? ChildKind::Damaged : ChildKind::Note;
    return MakeChildAgain(*kind, match, summary, *stop);
}

std::unique_ptr<CChildStream> TNDocSetBase::StreamChildren(const ChildStreamLimits& limits) {
    return std::make_unique<CDocSetStream>(*this, limits);
}
