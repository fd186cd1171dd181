#include "store/TNDocSetBase.h"

#include <cstdio>
#include <optional>
#include <string>

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

void TNDocSetBase::AddChildren() {
    made_ = 0;
    endedHere_ = false;
    store::LockedMem formula(formula_.Handle());
    const std::uint16_t flags = searchFlags_ | (showStubs_ ? store::kSearchStubs : 0);
    const store::Status status =
        store::Search(database_ ? database_->GetHandle() : 0, formula.bytes(), formula_.Length(),
                      flags, classMask_, hasSince_ ? &since_ : nullptr, CallbackVLTSearch, this);
    if (status == store::kCancelled) {
        // The store polls the same cancel check between results and may see the cancel before
        // this node does; the list still ends in its one cancel node.
        if (!endedHere_)
            AddChild(new TNError(store::kCancelled, nullptr));
    } else if (status != store::kNoError) {
        AddChild(new TNError(status, "Couldn't search for notes"));
    }
}

store::Status TNDocSetBase::CallbackVLTSearch(void* node, const store::SEARCH_MATCH* match,
                                              const store::ITEM_TABLE* summary) {
    auto* self = static_cast<TNDocSetBase*>(node);
    if (UserCancelled()) {
        self->AddChild(new TNError(store::kCancelled, nullptr));
        self->endedHere_ = true;
        return store::kCancelled;
    }
    if (self->limitOn_ && self->made_ >= self->limit_) {
        self->endedHere_ = true;
        return store::kCancelled; // enough: the search ends quietly
    }
    const bool damaged = (match->matchFlags & store::kMatchDamaged) != 0;
    if ((match->noteClass & store::kClassStub) != 0) {
        if (self->showStubs_ && self->AcceptChild(nodetype::kDeletionStub)) {
            self->AddChild(damaged ? static_cast<CNoteNode*>(DamagedNote(summary))
                                   : new TNDeletionStub(*match, self->GetDocument()));
            ++self->made_;
        }
        return store::kNoError;
    }
    if ((match->matchFlags & store::kMatchSelected) == 0 || !self->showNotes_)
        return store::kNoError;
    char flags[256];
    std::size_t length = 0;
    std::optional<std::string_view> flagText;
    const store::Status s =
        store::SummaryValueText(summary, "$Flags", flags, sizeof flags, &length);
    if (s == store::kNoError || s == store::kBufferTooSmall)
        flagText = std::string_view(flags, length < sizeof flags ? length : sizeof flags - 1);
    const NodeTypeId type = NoteTypeFromClass(match->noteClass, flagText);
    if (self->AcceptChild(type)) {
        self->AddChild(damaged
                           ? static_cast<CNoteNode*>(DamagedNote(summary))
                           : new TNDocument(self->database_, *match, summary, self->GetDocument()));
        ++self->made_;
    }
    return store::kNoError;
}
