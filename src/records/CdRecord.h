// The record node: one record of a composite stream, with the fields every record shares
// (`record-type`, `length`), the record's own fields and the bytes no field covered.
//
// A node points into the stream's buffer, which must outlive it. Every read a record class
// makes goes through a reader over the record's bytes (Bytes, At) and stops at their end: the
// record's stored length or what the stream holds of it, whichever is less.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "common/ByteReader.h"
#include "records/RecordFamily.h"
#include "records/RecordFields.h"
#include "records/RecordKind.h"
#include "records/RecordWalker.h"
#include "tree/NoteNode.h"

class CdRecordFactory;
class CInfoPaneOptions;

namespace nodetype {
constexpr NodeTypeId kCdRecords = 40;
}

class TNCdRecord : public CNoteNode {
public:
    // WriteBody's answer when no remaining data is to be shown.
    static constexpr std::uint32_t kNoRemainder = 0xFFFFFFFFu;
    // A cursor count meaning the rest of the record.
    static constexpr std::uint32_t kRest = 0xFFFFFFFFu;

    // A record of a kind, or (kind null) the generic record of its family, whose body starts at
    // its end.
    TNCdRecord(const RecordSpan& span, CNodeDocument* document,
               const RecordFamily& family = recordfamily::kPlain, const RecordKind* kind = nullptr);

    std::uint16_t Signature() const { return signature_; }
    std::uint32_t Length() const { return length_; }
    RecordSpan Span() const;
    const RecordKind* Kind() const { return kind_; }
    const RecordFamily& Family() const;

    bool IsExpandable() const override { return subStreamAt_ != kNoSubStream; }
    // The record's bytes, header included, as far as the stream holds them; for a metafile
    // header, the metafile: the data of the segments that follow it, joined.
    bool GetBytes(std::vector<std::uint8_t>& bytes) const override;
    std::uint32_t GetHelpContext() const override;
    void OnOptionsChanged(std::uint32_t flags) override;
    void WriteBegin(CFieldWriter& writer) override;
    void WriteFields(CFieldWriter& writer) override;
    void WriteEnd(CFieldWriter& writer) override;
    void AddChildren() override;

    // Sets the label (and the kind's image); the generic label names the signature.
    virtual void MakeLabel();
    // Whether the label is a copy the node keeps on its own: one of its record's texts or
    // numbers, too long to be held in the node, rather than constant text of its kind.
    bool KeepsLabelCopy() const {
        return !(kind_ && kind_->labelRule == LabelRule::Fixed) && GetLabel().size() > 15;
    }

    // ---- What body writers and label makers use.
    // ---- Bounded access to the record's bytes
    std::size_t Size() const {
        if (available_ < headerSize_)
            return available_;
        return length_ < available_ ? length_ : available_;
    }
    // The record's bytes, and a reader from an offset of them (reads 0 past the record).
    ByteReader Bytes() const { return ByteReader(record_, Size()); }
    bool NodeBytes(std::span<const std::uint8_t>& bytes) const override {
        bytes = {record_, Size()};
        return record_ != nullptr;
    }
    ByteReader At(std::size_t offset) const { return Bytes().At(offset); }
    bool Has(std::size_t offset, std::size_t n) const {
        return offset <= Size() && n <= Size() - offset;
    }
    // Length of the zero-terminated text at offset within `room` bytes (and the record).
    std::size_t ZLength(std::size_t offset, std::size_t room) const;

    // Writes the rows in order. At the first row whose bytes are not all there it stops, and
    // the bytes from that row on are shown as remaining data whatever WriteBody returns.
    bool WriteFixed(CFieldWriter& writer, std::span<const FixedField> rows);
    // The same with the rows' offsets counted from `base` (an entry of an array).
    bool WriteFixedAt(CFieldWriter& writer, std::span<const FixedField> rows, std::size_t base);
    void WriteFixedField(CFieldWriter& writer, const FixedField& row);
    // Marks the body as stopped at offset (see WriteFixed); returns false.
    bool StopAt(std::size_t offset);
    static std::size_t RowsExtent(std::span<const FixedField> rows);
    bool Stopped() const;

    // ---- The cursor: variable parts after the fixed part. Each operation writes one field of
    // n bytes (kRest: to the record's end) from the cursor and advances it; a part that runs
    // past the record is written as far as it goes, with the short-value comment.
    std::size_t Cursor() const;
    void SetCursor(std::size_t offset);
    void CursorText(CFieldWriter& writer, const char* label, std::uint32_t n);
    void CursorFormula(CFieldWriter& writer, const char* label, std::uint32_t n);
    void CursorHexDump(CFieldWriter& writer, const char* label, std::uint32_t n);
    void CursorTextOrFormula(CFieldWriter& writer, const char* label, std::uint32_t n,
                             bool isFormula);

    // An embedded stream whose records become children (walked with the action factory): a part
    // of this record's bytes. Anything else (null, or bytes not inside the record) is none.
    void SetSubStream(const std::uint8_t* stream, std::size_t length);
    // The image strip of the family with this index.
    void SetImageIndex(std::uint16_t index);
    // The display switches of the owning document (null without one), for label texts.
    CInfoPaneOptions* DocumentOptions() const;

protected:
    // Writes the record's own fields; returns the bytes covered from the record's first byte,
    // or kNoRemainder. Without a kind: the header only.
    virtual std::uint32_t WriteBody(CFieldWriter& writer);

private:
    enum class CursorWrite { Text, Formula, HexDump };
    void CursorOp(CFieldWriter& writer, const char* label, std::uint32_t n, CursorWrite how);
    void WriteCursorRow(CFieldWriter& writer, const FixedField& row);
    void WriteRow(CFieldWriter& writer, const FixedField& row, std::size_t base);
    bool WriteRows(CFieldWriter& writer, std::span<const FixedField> rows, std::size_t base,
                   std::size_t& written);
    void MakeKindLabel();

    struct WriteState;
    WriteState& State() const;
    static thread_local WriteState* currentWrite_; // the innermost write under way

    static constexpr std::uint32_t kNoSubStream = 0xFFFFFFFFu;

    // The record's span, packed: values and their streams are far below 4 GiB. The cursor and
    // the stop of a write are kept on the stack of WriteFields, not in every node.
    const std::uint8_t* record_;
    const RecordKind* kind_;
    std::uint32_t length_;                     // as stored, header included
    std::uint32_t available_;                  // bytes of the stream from the record to its end
    std::uint32_t subStreamAt_ = kNoSubStream; // an embedded stream: its offset in the record
    std::uint32_t subStreamLength_ = 0;
    std::uint16_t signature_;
    std::uint16_t imageIndex_;
    std::uint8_t headerSize_;
    bool cutShort_;
    std::uint8_t family_; // the index of the family in the table of families
};
