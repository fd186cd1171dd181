#include "records/CdRecord.h"

#include <cstring>

#include "output/FieldWriter.h"
#include "output/OutputStrings.h"
#include "output/StringWriter.h"
#include "output/UpdateHints.h"
#include "records/RecordStream.h"
#include "store/api/Conversions.h"
#include "tree/NodeDocument.h"

TNCdRecord::TNCdRecord(const RecordSpan& span, CNodeDocument* document, const RecordFamily& family,
                       std::uint32_t fixedSize, std::uint16_t imageIndex)
    : CNoteNode(document), span_(span), family_(&family), fixedSize_(fixedSize),
      imageIndex_(imageIndex) {
    SetTypeId(nodetype::kCdRecords);
    SetSorted(false); // embedded records keep their stream order
    SetImageIndex(imageIndex);
}

std::uint32_t TNCdRecord::GetHelpContext() const {
    return family_->helpBase ? family_->helpBase + span_.signature : CNoteNode::GetHelpContext();
}

void TNCdRecord::OnOptionsChanged(std::uint32_t flags) {
    if (flags & hint::kSymbolNames) { // the symbols switch names generic records
        MakeLabel();
        Redraw(true);
    }
}

void TNCdRecord::WriteBegin(CFieldWriter& writer) {
    writer.BeginField("cd-record");
}

void TNCdRecord::WriteEnd(CFieldWriter& writer) {
    writer.EndField();
}

void TNCdRecord::WriteFields(CFieldWriter& writer) {
    writer.SymbolField("record-type", span_.signature, family_->signatures);
    writer.NumberField("length", span_.length);
    const bool belowFixed = fixedSize_ && span_.length < fixedSize_ && !span_.HeaderCut();
    if (belowFixed)
        writer.CommentId(outstr::kLengthTooShort, int(fixedSize_));
    if (span_.cutShort)
        writer.CommentId(outstr::kPastStreamEnd, span_.available);
    if (span_.HeaderCut()) {
        // Without its length nothing after the signature word can be read.
        const std::size_t known = Size() < 2 ? 0 : 2;
        if (known < Size()) {
            writer.EndLine();
            writer.HexDumpField("remaining-data", At(known).Rest(), Size() - known);
        }
        return;
    }
    cursor_ = fixedSize_ ? fixedSize_ : Size();
    stopped_ = false;
    std::size_t used = WriteBody(writer);
    if (stopped_) {
        used = stopOffset_;
        // A count inside a whole record that claims more than the record holds.
        if (!belowFixed && !span_.cutShort)
            writer.ShortComment();
    } else if (used == kNoRemainder) {
        return;
    }
    if (used < Size()) {
        writer.EndLine();
        writer.HexDumpField("remaining-data", At(used).Rest(), Size() - used);
    }
}

void TNCdRecord::AddChildren() {
    if (subStream_)
        AddRecordNodes(*this, *MakeRecordFactory(kStreamKindAction), subStream_, subStreamLength_,
                       RecordWalk::Whole);
}

void TNCdRecord::MakeLabel() {
    SetImageIndex(imageIndex_);
    CStringWriter out(DocumentOptions());
    out.Begin();
    out.Symbol(span_.signature, family_->signatures, OutputString(outstr::kGenericRecordLabel));
    out.End();
    SetLabel(out.Result());
}

std::uint32_t TNCdRecord::WriteBody(CFieldWriter&) {
    return span_.headerSize;
}

std::size_t TNCdRecord::ZLength(std::size_t offset, std::size_t room) const {
    if (offset >= Size())
        return 0;
    const std::size_t limit = std::min(room, Size() - offset);
    const std::string_view text = At(offset).text(limit);
    const std::size_t zero = text.find('\0');
    return zero == std::string_view::npos ? limit : zero;
}

bool TNCdRecord::StopAt(std::size_t offset) {
    if (!stopped_) {
        stopped_ = true;
        stopOffset_ = std::min(offset, Size());
    }
    return false;
}

bool TNCdRecord::WriteFixed(CFieldWriter& writer, std::span<const FixedField> rows) {
    std::size_t written = 0; // the end of the rows written so far, 0 before the first
    for (const FixedField& row : rows) {
        // A text needs only its first byte: it may end early with its terminator.
        const std::size_t need = row.kind == FieldKind::ZText ? 1 : row.width;
        if (!Has(row.offset, need)) {
            // Bytes between the last row written and this one (a length that a later part
            // uses, an unused byte) are not explained either.
            return StopAt(written ? std::min<std::size_t>(written, row.offset) : row.offset);
        }
        WriteFixedField(writer, row);
        written = std::max<std::size_t>(written, row.offset + row.width);
        if (row.kind == FieldKind::ZText && !Has(row.offset, row.width)) {
            // The record ends inside the text's room: the text is cut unless its terminator
            // is there, and the bytes after the terminator are not explained.
            const std::size_t end = row.offset + ZLength(row.offset, row.width);
            if (end == Size())
                writer.ShortComment();
            return StopAt(end < Size() ? end + 1 : end);
        }
    }
    return true;
}

void TNCdRecord::WriteFixedField(CFieldWriter& writer, const FixedField& row) {
    ByteReader field = At(row.offset);
    const std::uint8_t* bytes = field.Rest();
    std::uint32_t value = row.width == 1   ? field.u8()
                          : row.width == 2 ? field.u16le()
                                           : field.u32le();
    value = (value & row.mask) >> row.shift;
    const char* text = reinterpret_cast<const char*>(bytes);
    switch (row.kind) {
    case FieldKind::Number:
        writer.NumberField(row.label, value);
        break;
    case FieldKind::Symbol:
        writer.SymbolField(row.label, value, row.table);
        break;
    case FieldKind::Measure:
        writer.MeasureField(row.label, value, row.unit);
        break;
    case FieldKind::Font:
        writer.FontField(row.label, value);
        break;
    case FieldKind::Color:
        writer.ColorField(row.label, std::uint16_t(value));
        break;
    case FieldKind::Hex4:
        writer.Hex4Field(row.label, std::uint16_t(value));
        break;
    case FieldKind::Spare:
        writer.SpareField(row.label, bytes, row.width);
        break;
    case FieldKind::ZText:
        writer.TextField(row.label, text, std::ptrdiff_t(ZLength(row.offset, row.width)));
        break;
    case FieldKind::NumberFormat:
        writer.NumberFormatField(row.label, bytes, row.width);
        break;
    case FieldKind::TimeFormat:
        writer.TimeFormatField(row.label, bytes, row.width);
        break;
    case FieldKind::NoteLink:
        writer.NoteLinkField(row.label, bytes, row.width);
        break;
    }
}

void TNCdRecord::CursorOp(CFieldWriter& writer, const char* label, std::uint32_t n,
                          CursorWrite how) {
    const std::size_t start = std::min(cursor_, Size());
    const std::size_t there = Size() - start;
    // The rest is what the stored length says, also when the stream ends before it.
    const std::size_t rest = span_.length > start ? span_.length - start : 0;
    const std::size_t want = n == kRest ? rest : std::size_t(n);
    const std::size_t take = std::min(want, there);
    const char* text = At(start).text(take).data();
    switch (how) {
    case CursorWrite::Text:
        writer.TextField(label, text, std::ptrdiff_t(take));
        break;
    case CursorWrite::Formula:
        writer.FormulaField(label, text, take);
        break;
    case CursorWrite::HexDump:
        writer.HexDumpField(label, text, take);
        break;
    }
    if (take < want)
        writer.ShortComment();
    cursor_ = start + take;
}

void TNCdRecord::CursorText(CFieldWriter& writer, const char* label, std::uint32_t n) {
    CursorOp(writer, label, n, CursorWrite::Text);
}

void TNCdRecord::CursorFormula(CFieldWriter& writer, const char* label, std::uint32_t n) {
    CursorOp(writer, label, n, CursorWrite::Formula);
}

void TNCdRecord::CursorHexDump(CFieldWriter& writer, const char* label, std::uint32_t n) {
    CursorOp(writer, label, n, CursorWrite::HexDump);
}

void TNCdRecord::CursorTextOrFormula(CFieldWriter& writer, const char* label, std::uint32_t n,
                                     bool isFormula) {
    CursorOp(writer, label, n, isFormula ? CursorWrite::Formula : CursorWrite::Text);
}

void TNCdRecord::SetSubStream(const std::uint8_t* stream, std::size_t length) {
    subStream_ = stream;
    subStreamLength_ = length;
}

void TNCdRecord::SetImageIndex(std::uint16_t index) {
    imageIndex_ = index;
    SetImage(NodeImage{imagecache::Derive(0, family_->bitmap, family_->maskBitmap), index});
}

CInfoPaneOptions* TNCdRecord::DocumentOptions() const {
    return GetDocument() ? &GetDocument()->InfoOptions() : nullptr;
}
