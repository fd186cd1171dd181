#include "items/NoteObjectNode.h"
#include "output/NoteTables.h"

#include <algorithm>

#include "items/ItemTables.h"
#include "output/FieldWriter.h"
#include "store/api/Memory.h"
#include "store/api/Objects.h"
#include "tree/NodeTypes.h"
#include "treelist/ImageCache.h"

namespace {
constexpr NodeTypeId kObjectsType = 41;
constexpr std::uint16_t kAnyClass = 0xFFFF;
} // namespace

TNNoteObject::TNNoteObject(store::DbHandle db, std::uint32_t objectId, CNodeDocument* document)
    : CNoteNode(document), db_(db), objectId_(objectId) {
    SetLabelFormat("Object 0x%x", unsigned(objectId));
    SetTypeId(kObjectsType);
    SetImage(NodeImage{imagecache::Derive(0, 113, 130), 15});
    infoStatus_ = store::ObjectInfo(db_, objectId_, kAnyClass, &size_, &class_, &privileges_);
}

void TNNoteObject::WriteBegin(CFieldWriter& w) {
    w.BeginField("object");
}

void TNNoteObject::WriteEnd(CFieldWriter& w) {
    w.EndField();
}

void TNNoteObject::WriteFields(CFieldWriter& w) {
    if (infoStatus_ != store::kNoError) {
        w.Error(infoStatus_, "Couldn't get object info");
        return;
    }
    w.HexLField("rrv", objectId_);
    w.SymbolField("class", class_, notetables::kNoteClass);
    w.NumberField("size", size_);
    w.Hex4Field("privileges", privileges_);
    // Reading is pointless when nothing would be shown.
    if (w.Options().ShowUninterpreted != 1)
        return;
    for (std::uint32_t offset = 0; offset < size_;) {
        const std::uint32_t piece = std::min(kPieceSize, size_ - offset);
        store::OwnedMem data;
        const store::Status status = store::ObjectRead(db_, objectId_, offset, piece, data.out());
        if (status != store::kNoError) {
            w.Error(status, "Couldn't read object data");
            return;
        }
        const store::LockedMem bytes(data.get());
        if (!bytes) {
            w.Error(store::kInvalidHandle, "Couldn't read object data");
            return;
        }
        // The block may be smaller than asked for; never dump past it.
        w.NextRange(offset, std::min<std::size_t>(piece, bytes.size()));
        w.HexDumpField("data", bytes.bytes(), std::min<std::size_t>(piece, bytes.size()));
        offset += piece;
    }
}

bool TNNoteObject::NodeBytes(std::span<const std::uint8_t>& bytes) const {
    if (!GetBytes(bytes_))
        return false;
    bytes = bytes_;
    return true;
}

bool TNNoteObject::GetBytes(std::vector<std::uint8_t>& bytes) const {
    bytes.clear();
    if (infoStatus_ != store::kNoError)
        return false;
    for (std::uint32_t offset = 0; offset < size_;) {
        const std::uint32_t piece = std::min(kPieceSize, size_ - offset);
        store::OwnedMem data;
        if (store::ObjectRead(db_, objectId_, offset, piece, data.out()) != store::kNoError)
            return false;
        const store::LockedMem held(data.get());
        // A block smaller than asked for ends the object's bytes there.
        const std::size_t n = held ? std::min<std::size_t>(piece, held.size()) : 0;
        if (n == 0)
            return false;
        const std::uint8_t* p = held.bytes();
        bytes.insert(bytes.end(), p, p + n);
        if (n < piece)
            break;
        offset += piece;
    }
    return true;
}
