#include "store/TNDocumentInfo.h"

#include "common/ByteReader.h"
#include "output/FieldWriter.h"
#include "output/NoteTables.h"
#include "store/TNDocument.h"
#include "store/api/Memory.h"
#include "store/api/Notes.h"
#include "tree/NodeImageIndex.h"

namespace {

// A header field read into a value of its own size; zero when it cannot be read.
template <typename T> T Header(store::NoteHandle note, unsigned field) {
    T value{};
    if (store::NoteHeader(note, field, &value, sizeof value) != store::kNoError)
        value = T{};
    return value;
}

// The response table: u32 count, then count u32 note IDs. The count is checked against the
// block's size before the walk.
void WriteResponses(CFieldWriter& writer, store::NoteHandle note) {
    const auto handle = Header<store::MemHandle>(note, store::kHeaderResponses);
    store::OwnedMem owned(handle);
    store::LockedMem bytes(handle);
    ByteReader r(bytes.bytes(), bytes.size());
    const std::uint32_t count = r.u32le();
    if (count == 0 || r.Short()) {
        writer.NumberField("responses", 0);
        return;
    }
    writer.BeginField("responses");
    writer.BreakLine();
    for (std::uint32_t i = 0; i < count; ++i) {
        if (!r.Has(4)) {
            writer.ShortComment();
            break;
        }
        writer.HexL(r.u32le());
        writer.NextValueLine();
    }
    writer.EndField();
}

} // namespace

TNDocumentInfo::TNDocumentInfo(store::NoteHandle note) : note_(note) {
    SetTypeId(nodetype::kDocumentInfo);
    SetImageIndex(*this, 14);
    SetLabel("Note Information");
}

void TNDocumentInfo::WriteBegin(CFieldWriter& writer) {
    writer.BeginField("document-information");
}

void TNDocumentInfo::WriteFields(CFieldWriter& writer) {
    using namespace store;
    writer.TimeField("last-accessed", Header<TimeDate>(note_, kHeaderAccessed));
    if (const auto mask = Header<std::uint16_t>(note_, kHeaderPrivileges); mask != 0)
        writer.Hex4Field("pre-v3-privileges-mask", mask);
    writer.HexLField("parent-noteid", Header<NoteId>(note_, kHeaderParent));
    writer.NumberField("response-count", Header<std::uint16_t>(note_, kHeaderResponseCount));
    WriteResponses(writer, note_);
    writer.TimeField("added-to-file", Header<TimeDate>(note_, kHeaderAdded));
    writer.SymbolField("flags", Header<std::uint16_t>(note_, kHeaderFlags), notetables::kNoteFlags);
    bool has = false;
    writer.BoolField("has-objects", NoteHasObjects(note_, &has) == kNoError && has);
    has = false;
    writer.BoolField("is-signed", NoteIsSigned(note_, &has) == kNoError && has);
    has = false;
    writer.BoolField("is-sealed", NoteIsSealed(note_, &has) == kNoError && has);
}

void TNDocumentInfo::WriteEnd(CFieldWriter& writer) {
    writer.EndField();
}
