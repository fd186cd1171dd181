#include "items/ItemObject.h"

#include "common/ByteReader.h"
#include "items/LockedValue.h"
#include "items/NoteObjectNode.h"
#include "store/api/Notes.h"

namespace {
constexpr NodeTypeId kObjectsType = 41;
} // namespace

void TNItemObject::AddChildren() {
    if (!AcceptChild(kObjectsType))
        return;
    store::DbHandle db = 0;
    if (store::NoteHeader(Note(), store::kHeaderDatabase, &db, sizeof db) != store::kNoError)
        return;
    std::uint32_t rrv = 0;
    {
        const LockedValue value(ValueBlock(), ValueLength());
        ByteReader r(value.Data(), value.DataLength());
        r.u16le(); // object type and flags
        rrv = r.u32le();
        if (r.Short())
            return; // a descriptor too short to name its object
    }
    AddChild(new TNNoteObject(db, rrv, GetDocument()));
}
