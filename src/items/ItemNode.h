// The node of one item of an open note: its label and image by type, and its value decoded
// into fields.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "items/ItemScanInfo.h"
#include "items/SharedName.h"
#include "store/api/Handles.h"
#include "tree/NoteNode.h"

// Item types whose value is a record stream: rich text, queries, actions, navigator data.
constexpr bool IsRecordStreamType(std::uint16_t type) {
    return type == 1 || type == 15 || type == 16 || type == 18 || type == 19;
}

class TNItem : public CNoteNode {
public:
    // The note must stay open while the node exists.
    TNItem(store::NoteHandle note, const ItemScanInfo& info, CNodeDocument* document);
    ~TNItem() override { DropLabel(); } // it may show the name, which goes first

    std::uint32_t GetHelpContext() const override;
    void OnOptionsChanged(std::uint32_t flags) override;
    void WriteBegin(CFieldWriter& w) override;
    void WriteFields(CFieldWriter& w) override;
    void WriteEnd(CFieldWriter& w) override;
    // The value proper (after the type word), copied: the block is locked only while read.
    bool NodeBytes(std::span<const std::uint8_t>& bytes) const override;

    // The decoders of the values the node decodes itself; each returns the bytes it covered.
    virtual std::size_t WriteObjectDescriptor(CFieldWriter& w, const std::uint8_t* p,
                                              std::size_t n);
    virtual std::size_t WriteViewFormat(CFieldWriter& w, const std::uint8_t* p, std::size_t n);
    virtual std::size_t WriteCollation(CFieldWriter& w, const std::uint8_t* p, std::size_t n);

    // Sets the label (name, or name and value) and the image from the type and flags.
    void MakeLabel();

    // The value after its type word (what `length` counts).
    bool GetBytes(std::vector<std::uint8_t>& bytes) const override;
    // The texts of a text or text list value (entries joined by separator) in UTF-8; empty
    // for other types.
    std::string ValueText(char separator) const;

    std::string_view ItemName() const { return name_.View(); }
    std::uint16_t ItemType() const { return type_; }
    std::uint16_t ItemFlags() const { return flags_; }

protected:
    store::NoteHandle Note() const { return note_; }
    store::BlockId ValueBlock() const { return value_; }
    std::uint32_t ValueLength() const { return valueLength_; }

private:
    // The decoded fields of the value proper; returns the bytes covered.
    std::size_t WriteValue(CFieldWriter& w, const std::uint8_t* p, std::size_t n);
    std::string ValueLabel() const;
    std::string ObjectLabel() const;

    store::NoteHandle note_;
    CSharedName name_;
    std::uint16_t type_;
    std::uint16_t flags_;
    store::BlockId value_;
    std::uint32_t valueLength_;
    // Made only when asked for: most item nodes are never asked.
    mutable std::unique_ptr<std::vector<std::uint8_t>> bytes_;
};
