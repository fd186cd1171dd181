#include "store/TNSelectedDocSet.h"

#include "common/ProgramSettings.h"
#include "output/FieldWriter.h"
#include "output/NoteTables.h"
#include "store/NoteSelectorMru.h"
#include "store/SelectNotesCore.h"
#include "store/SelectNotesPrompt.h"
#include "store/TNDatabase.h"
#include "store/api/Conversions.h"
#include "tree/NodeImageIndex.h"
#include "treelist/TreeListCore.h"

namespace {

void OnSelectNotes(CCommandTarget& target) {
    auto& set = static_cast<TNSelectedDocSet&>(target);
    if (!set.RunDialog() || !set.HasChildren())
        return;
    // A new choice means a new search.
    if (CTreeListCore* tree = set.GetTree()) {
        tree->Collapse(&set);
        tree->Expand(&set);
    }
}

void OnRemove(CCommandTarget& target) {
    static_cast<TNSelectedDocSet&>(target).DeleteNode();
}

constexpr CommandEntry kCommands[] = {
    {docsetcmd::kSelectNotes, OnSelectNotes, nullptr},
    {docsetcmd::kRemove, OnRemove, nullptr},
};

} // namespace

TNSelectedDocSet::TNSelectedDocSet(TNDatabase* database) : TNDocSetBase(database) {
    SetTypeId(nodetype::kDocumentSet);
    SetImageIndex(*this, 16);
    SetLabel("All Documents");
    store::CurrentTime(&since_);
    store::AdjustTime(&since_, 0, 0, 0, -90, 0, 0);
    limit_ = 15;
}

const CommandMap& TNSelectedDocSet::GetCommandMap() const {
    static const CommandMap map{&CNoteNode::GetCommandMap(), kCommands};
    return map;
}

bool TNSelectedDocSet::RunDialog() {
    CSelectNotesPrompt* prompt = GetSelectNotesPrompt();
    if (!prompt)
        return false;
    CSelectNotesCore core(ProgramNoteSelectorMru(), ProgramSettings(), selector_, accepted_);
    if (!prompt->Run(core))
        return false;
    TakeChoice(core);
    return true;
}

void TNSelectedDocSet::TakeChoice(CSelectNotesCore& core) {
    selector_ = core.Selector();
    classMask_ = selector_.ClassMask();
    showNotes_ = selector_.ShowNotes();
    showStubs_ = selector_.ShowDeletionStubs();
    hasSince_ = selector_.onlyModified;
    limitOn_ = selector_.limitOn;
    limit_ = selector_.limit > 0 ? std::uint32_t(selector_.limit) : 0;
    formula_ = core.TakeFormula();
    since_ = core.Since();
    SetLabel(selector_.Description());
    accepted_ = true;
    Redraw();
}

void TNSelectedDocSet::SelectNotesFor(TNDatabase& database) {
    if (database.GetHandle() == 0) {
        if (CTreeListCore* tree = database.GetTree())
            tree->Expand(&database);
        else
            database.CreateChildren();
    }
    if (database.GetHandle() == 0)
        return;
    auto* set = new TNSelectedDocSet(&database);
    if (set->RunDialog())
        database.AddChild(set);
    else
        delete set;
}

void TNSelectedDocSet::WriteFields(CFieldWriter& writer) {
    if (!formula_.Empty()) {
        store::LockedMem bytes(formula_.Handle());
        writer.FormulaField("formula", bytes.bytes(), formula_.Length());
    }
    if (hasSince_)
        writer.TimeField("modified-since", since_);
    if (limitOn_)
        writer.NumberField("limit", limit_);
    writer.SymbolField("classes", classMask_, notetables::kNoteClass);
    writer.BoolField("show-notes", showNotes_);
    writer.BoolField("show-deletion-stubs", showStubs_);
}
