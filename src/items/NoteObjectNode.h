// A database object (such as an attached file's data), shown with its information and its
// bytes as hex dumps.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "store/api/Handles.h"
#include "store/api/Status.h"
#include "tree/NoteNode.h"

class TNNoteObject : public CNoteNode {
public:
    // Reads the object's information once; a failure is kept and shown in place of the fields.
    TNNoteObject(store::DbHandle db, std::uint32_t objectId, CNodeDocument* document);

    bool IsExpandable() const override { return false; }
    void WriteBegin(CFieldWriter& w) override;
    void WriteFields(CFieldWriter& w) override;
    void WriteEnd(CFieldWriter& w) override;
    // The object's data, read in pieces; false when its information or a piece cannot be read.
    bool GetBytes(std::vector<std::uint8_t>& bytes) const override;
    // The same bytes, which the data fields' ranges point into (read again at each call).
    bool NodeBytes(std::span<const std::uint8_t>& bytes) const override;

    // The bytes are read and dumped in pieces of at most this many.
    static constexpr std::uint32_t kPieceSize = 4096;

private:
    store::DbHandle db_;
    std::uint32_t objectId_;
    std::uint32_t size_ = 0;
    std::uint16_t class_ = 0;
    std::uint16_t privileges_ = 0;
    store::Status infoStatus_ = store::kNoError;
    mutable std::vector<std::uint8_t> bytes_;
};
