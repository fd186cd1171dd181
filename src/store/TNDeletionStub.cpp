#include "store/TNDeletionStub.h"

#include <cstdio>
#include <string>

#include "output/DocumentNodeOptions.h"
#include "output/FieldWriter.h"
#include "output/NoteTables.h"
#include "output/UpdateHints.h"
#include "store/TNDocument.h"
#include "tree/NodeDocument.h"
#include "tree/NodeImageIndex.h"

namespace {

struct StubKind {
    std::uint16_t noteClass;
    const char* name;
    std::uint16_t icon;
};

constexpr StubKind kStubKinds[] = {
    {0x001, "document", 0},      {0x002, "Help About", 7},
    {0x004, "form", 1},          {0x008, "view", 2},
    {0x010, "database icon", 4}, {0x020, "design collection", 9},
    {0x040, "ACL Note", 5},      {0x080, "Help Index", 7},
    {0x100, "Help Using", 7},    {0x200, "macro", 6},
    {0x400, "shared field", 3},  {0x800, "selective replication formula", 8},
};

} // namespace

TNDeletionStub::TNDeletionStub(const store::SEARCH_MATCH& match, CNodeDocument* document)
    : CNoteNode(document), match_(match) {
    match_.noteClass &= 0x7FFF;
    SetTypeId(nodetype::kDeletionStub);
    SetStripImage(*this, kStubStrip, 0);
    MakeLabel();
}

void TNDeletionStub::MakeLabel() {
    const DocumentNodeValues& options = DocumentNodeOptionsOf(GetDocument()).Values();
    const char* kind = "???";
    for (const StubKind& k : kStubKinds) {
        if ((match_.noteClass & 0x0FFF) == k.noteClass) {
            kind = k.name;
            SetImageIndex(*this, k.icon);
            break;
        }
    }
    std::string label;
    if (options.noteId == 1) {
        char id[16];
        std::snprintf(id, sizeof id, "%x", unsigned(GetNoteId()));
        label = id;
        if (options.title == 1)
            label += ": ";
    }
    if (options.title == 1)
        label += std::string("Deleted ") + kind;
    SetLabel(label);
}

void TNDeletionStub::OnOptionsChanged(std::uint32_t flags) {
    if ((flags & (hint::kNoteLabels | hint::kRelabelNotes)) != 0) {
        MakeLabel();
        Redraw();
    }
}

void TNDeletionStub::WriteBegin(CFieldWriter& writer) {
    writer.BeginField("deletion-stub");
    writer.Symbol(match_.noteClass, notetables::kNoteClass);
}

void TNDeletionStub::WriteFields(CFieldWriter& writer) {
    writer.SymbolField("class", match_.noteClass, notetables::kNoteClass);
    writer.DbNoteIdField("giid", match_.identity, sizeof match_.identity);
    writer.SequencedUnidField("oid", match_.originator, sizeof match_.originator);
}

void TNDeletionStub::WriteEnd(CFieldWriter& writer) {
    writer.EndField();
}
