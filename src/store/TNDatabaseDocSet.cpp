#include "store/TNDatabaseDocSet.h"

#include "output/DocumentNodeOptions.h"
#include "output/FieldWriter.h"
#include "store/TNDatabase.h"
#include "store/api/Memory.h"
#include "tree/CancelProbe.h"
#include "tree/NodeDocument.h"
#include "tree/NodeImageIndex.h"

namespace {

struct SetKind {
    NodeTypeId type;
    const char* name;
    std::uint16_t icon;
    std::uint16_t classMask;
    bool showNotes;
    bool showStubs;
};

constexpr SetKind kKinds[] = {
    {nodetype::kDesignElements, "Design Elements", 9, 0x7FFE, true, false},
    {nodetype::kDocuments, "Documents", 10, 0x0001, true, false},
    {nodetype::kDeletionStubs, "Deletion Stubs", 11, 0x7FFF, false, true},
};

} // namespace

TNDatabaseDocSet::TNDatabaseDocSet(TNDatabase* database, int kind) : TNDocSetBase(database) {
    if (kind < 0 || kind >= int(std::size(kKinds))) {
        name_ = "?Docset?";
        SetLabel(name_);
        return;
    }
    const SetKind& k = kKinds[kind];
    SetTypeId(k.type);
    SetImageIndex(*this, k.icon);
    name_ = k.name;
    classMask_ = k.classMask;
    showNotes_ = k.showNotes;
    showStubs_ = k.showStubs;
    if (DocumentNodeOptionsOf(GetDocument()).Values().countNotes == 1) {
        CountNotes();
        if (countStatus_ == store::kNoError)
            SetLabelFormat("%s (%d)", name_.c_str(), int(count_));
        else
            SetLabelFormat("%s (?\?\?)", name_.c_str()); // three question marks
    } else {
        SetLabel(name_);
    }
}

void TNDatabaseDocSet::CountNotes() {
    store::OwnedMem table;
    countStatus_ = store::NotesModifiedSince(database_ ? database_->GetHandle() : 0, classMask_,
                                             since_, table.out());
    if (countStatus_ == store::kNoModifiedNotes) {
        count_ = 0;
        countStatus_ = store::kNoError;
        return;
    }
    if (countStatus_ != store::kNoError) {
        count_ = -1;
        return;
    }
    count_ = 0;
    std::uint32_t id = 0;
    for (std::uint32_t i = 0; store::IdTableEntry(table.get(), i, &id); ++i) {
        if (UserCancelled()) {
            countStatus_ = store::kCancelled;
            return;
        }
        const bool stub = (id & store::kIdStub) != 0;
        if ((showStubs_ && stub) || (showNotes_ && !stub))
            ++count_;
    }
}

void TNDatabaseDocSet::WriteBegin(CFieldWriter& writer) {
    writer.EndLine();
    writer.Comment(" ");
    writer.EndLine();
    const std::string label(GetLabel());
    writer.Comment("%s", label.c_str());
    writer.EndLine();
    writer.Comment(" ");
    writer.EndLine();
}

void TNDatabaseDocSet::WriteFields(CFieldWriter& writer) {
    if (countStatus_ != store::kNoError) {
        writer.ErrorField("documents", countStatus_, "Couldn't get count of documents");
    } else if (writer.IsDisplay()) {
        writer.NumberField("documents", count_);
    } else {
        writer.Comment("%d documents", int(count_));
        writer.EndLine();
    }
}
