#include "records/CdRecord.h"

#include <algorithm>
#include <cassert>
#include <cstring>
#include <iterator>

#include "output/FieldWriter.h"
#include "output/OutputStrings.h"
#include "output/StringWriter.h"
#include "output/UpdateHints.h"
#include "records/RecordStream.h"
#include "store/api/Conversions.h"
#include "tree/NodeDocument.h"

namespace {
// Every family a record node can have; a node keeps the index of its own.
const RecordFamily* const kFamilies[] = {
    &recordfamily::kPlain, &recordfamily::kRichText, &recordfamily::kLayout,
    &recordfamily::kQuery, &recordfamily::kAction,   &recordfamily::kDataset,
};

std::uint8_t FamilyIndex(const RecordFamily& family) {
    for (std::size_t i = 0; i < std::size(kFamilies); ++i)
        if (kFamilies[i] == &family)
            return static_cast<std::uint8_t>(i);
    assert(!"a record family missing from the table");
    return 0;
}

std::uint32_t Clamp32(std::size_t n) {
    return static_cast<std::uint32_t>(std::min<std::size_t>(n, 0xFFFFFFFEu));
}
} // namespace

// The state of one WriteFields: where the cursor rows have come to, and where the record was
// found to stop. A write of another record inside it (none today) would have its own.
struct TNCdRecord::WriteState {
    const TNCdRecord* record = nullptr;
    WriteState* outer = nullptr;
    std::size_t cursor = 0;
    std::size_t stopOffset = 0;
    bool stopped = false;
};

thread_local TNCdRecord::WriteState* TNCdRecord::currentWrite_ = nullptr;

TNCdRecord::WriteState& TNCdRecord::State() const {
    for (WriteState* s = currentWrite_; s; s = s->outer)
        if (s->record == this)
            return *s;
    // Outside a write of this record: one state kept for the last record asked.
    thread_local WriteState idle;
    if (idle.record != this)
        idle = WriteState{this};
    return idle;
}

std::size_t TNCdRecord::Cursor() const {
    return State().cursor;
}

void TNCdRecord::SetCursor(std::size_t offset) {
    State().cursor = offset;
}

bool TNCdRecord::Stopped() const {
    return State().stopped;
}

TNCdRecord::TNCdRecord(const RecordSpan& span, CNodeDocument* document, const RecordFamily& family,
                       const RecordKind* kind)
    : CNoteNode(document), record_(span.record), kind_(kind), length_(span.length),
      available_(Clamp32(span.available)), signature_(span.signature),
      imageIndex_(kind ? kind->image : 0), headerSize_(span.headerSize), cutShort_(span.cutShort),
      family_(FamilyIndex(family)) {
    SetTypeId(nodetype::kCdRecords);
    SetSorted(false); // embedded records keep their stream order
    SetImageIndex(imageIndex_);
}

RecordSpan TNCdRecord::Span() const {
    RecordSpan span;
    span.record = record_;
    span.signature = signature_;
    span.length = length_;
    span.available = available_;
    span.headerSize = headerSize_;
    span.cutShort = cutShort_;
    return span;
}

const RecordFamily& TNCdRecord::Family() const {
    return *kFamilies[family_];
}

std::uint32_t TNCdRecord::GetHelpContext() const {
    const RecordFamily& family = Family();
    return family.helpBase ? family.helpBase + signature_ : CNoteNode::GetHelpContext();
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
    // A short header packs the signature and the length into one byte each.
    const bool packed = headerSize_ == 2;
    const bool headerCut = available_ < headerSize_;
    const std::uint32_t fixedSize = kind_ ? kind_->fixedSize : 0;
    if (!headerCut)
        writer.NextRange(0, packed ? 1 : 2);
    writer.SymbolField("record-type", signature_, Family().signatures);
    if (!headerCut)
        writer.NextRange(packed ? 1 : 2, packed ? 1 : headerSize_ - 2u);
    writer.NumberField("length", length_);
    const bool belowFixed = fixedSize && length_ < fixedSize && !headerCut;
    if (belowFixed)
        writer.CommentId(outstr::kLengthTooShort, int(fixedSize));
    if (cutShort_)
        writer.CommentId(outstr::kPastStreamEnd, std::size_t(available_));
    if (headerCut) {
        // Without its length nothing after the signature word can be read.
        const std::size_t known = Size() < 2 ? 0 : 2;
        if (known < Size()) {
            writer.EndLine();
            writer.NextRange(known, Size() - known);
            writer.HexDumpField("remaining-data", At(known).Rest(), Size() - known);
        }
        return;
    }
    WriteState state{this, currentWrite_, fixedSize ? fixedSize : Size()};
    std::size_t used;
    {
        struct Current {
            explicit Current(WriteState& s) : state(s) { currentWrite_ = &s; }
            ~Current() { currentWrite_ = state.outer; }
            WriteState& state;
        } current(state);
        used = WriteBody(writer);
    }
    if (state.stopped) {
        used = state.stopOffset;
        // A count inside a whole record that claims more than the record holds.
        if (!belowFixed && !cutShort_)
            writer.ShortComment();
    } else if (used == kNoRemainder) {
        return;
    }
    if (used < Size()) {
        writer.EndLine();
        writer.NextRange(used, Size() - used);
        writer.HexDumpField("remaining-data", At(used).Rest(), Size() - used);
    }
}

void TNCdRecord::AddChildren() {
    // One factory for every embedded stream: batch nodes of a long one keep pointing at it.
    const CdRecordFactory* actions = SharedRecordFactory(kStreamKindAction);
    if (subStreamAt_ != kNoSubStream && actions)
        AddRecordNodes(*this, *actions, record_ + subStreamAt_, subStreamLength_,
                       RecordWalk::Whole);
}

void TNCdRecord::MakeLabel() {
    if (kind_) {
        MakeKindLabel();
        return;
    }
    SetImageIndex(imageIndex_);
    CStringWriter out(DocumentOptions());
    out.Begin();
    out.Symbol(signature_, Family().signatures, OutputString(outstr::kGenericRecordLabel));
    out.End();
    SetLabel(out.Result());
}

void TNCdRecord::MakeKindLabel() {
    switch (kind_->labelRule) {
    case LabelRule::Fixed:
        SetLabelBorrowed(kind_->label); // the kinds' tables are constant
        break;
    case LabelRule::Number:
        SetLabelFormat(kind_->label, At(kind_->labelAt).u16le());
        break;
    case LabelRule::ObjectName: {
        const std::size_t at = std::min<std::size_t>(kind_->fixedSize, Size());
        const std::size_t n = std::min<std::size_t>(At(kind_->labelAt).u16le(), Size() - at);
        if (n == 0)
            SetLabel(kind_->label);
        else
            SetLabelFormat("%s  -  %.*s", kind_->label, int(n), At(at).text(n).data());
        break;
    }
    case LabelRule::Custom:
        kind_->makeLabel(*this);
        break;
    }
}

std::uint32_t TNCdRecord::WriteBody(CFieldWriter& writer) {
    if (!kind_)
        return headerSize_;
    if (!WriteFixed(writer, kind_->fields))
        return 0;
    if (kind_->body)
        return kind_->body(*this, writer);
    return std::uint32_t(std::max<std::size_t>(Cursor(), headerSize_));
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
    WriteState& state = State();
    if (!state.stopped) {
        state.stopped = true;
        state.stopOffset = std::min(offset, Size());
    }
    return false;
}

bool TNCdRecord::WriteFixed(CFieldWriter& writer, std::span<const FixedField> rows) {
    return WriteFixedAt(writer, rows, 0);
}

bool TNCdRecord::WriteFixedAt(CFieldWriter& writer, std::span<const FixedField> rows,
                              std::size_t base) {
    std::size_t written = 0;
    return WriteRows(writer, rows, base, written);
}

// `written`: the end of the rows written so far, 0 before the first.
bool TNCdRecord::WriteRows(CFieldWriter& writer, std::span<const FixedField> rows, std::size_t base,
                           std::size_t& written) {
    for (const FixedField& row : rows) {
        const std::size_t at = base + row.offset;
        if (row.kind == FieldKind::Group) {
            const std::size_t extent = RowsExtent(row.rows);
            if (extent)
                writer.NextRange(at, std::min(extent, Size() > at ? Size() - at : 0));
            writer.BeginField(row.label);
            const bool whole = WriteRows(writer, row.rows, at, written);
            writer.EndField();
            if (!whole)
                return false;
            continue;
        }
        // A text needs only its first byte: it may end early with its terminator. A cursor
        // row needs its count; the part itself is written as far as the record goes.
        const std::size_t need = row.kind == FieldKind::ZText ? 1
                                 : row.kind == FieldKind::NumberList
                                     ? std::size_t(row.width) * row.count
                                     : row.width;
        if (!Has(at, need)) {
            // Bytes between the last row written and this one (a length that a later part
            // uses, an unused byte) are not explained either.
            return StopAt(written ? std::min(written, at) : at);
        }
        if (row.IsCursor()) {
            WriteCursorRow(writer, row);
            written = std::max(written, Cursor());
            continue;
        }
        WriteRow(writer, row, base);
        written = std::max(written, at + (row.kind == FieldKind::ZText ? row.width : need));
        if (row.kind == FieldKind::ZText && !Has(at, row.width)) {
            // The record ends inside the text's room: the text is cut unless its terminator
            // is there, and the bytes after the terminator are not explained.
            const std::size_t end = at + ZLength(at, row.width);
            if (end == Size())
                writer.ShortComment();
            return StopAt(end < Size() ? end + 1 : end);
        }
    }
    return true;
}

// The bytes the fixed rows of a group span from its start; 0 when a cursor row makes it vary.
std::size_t TNCdRecord::RowsExtent(std::span<const FixedField> rows) {
    std::size_t end = 0;
    for (const FixedField& row : rows) {
        if (row.IsCursor())
            return 0;
        const std::size_t width = row.kind == FieldKind::Group ? RowsExtent(row.rows)
                                  : row.kind == FieldKind::NumberList
                                      ? std::size_t(row.width) * row.count
                                      : row.width;
        if (row.kind == FieldKind::Group && width == 0)
            return 0;
        end = std::max(end, row.offset + width);
    }
    return end;
}

void TNCdRecord::WriteCursorRow(CFieldWriter& writer, const FixedField& row) {
    ByteReader count = At(row.offset);
    const std::uint32_t n = row.width == 0   ? kRest
                            : row.width == 1 ? count.u8()
                            : row.width == 2 ? count.u16le()
                                             : count.u32le();
    if (row.skipEmpty && (n == 0 || (n == kRest && Cursor() >= length_)))
        return;
    switch (row.kind) {
    case FieldKind::CursorText:
        CursorText(writer, row.label, n);
        break;
    case FieldKind::CursorFormula:
        CursorFormula(writer, row.label, n);
        break;
    case FieldKind::CursorHexDump:
        CursorHexDump(writer, row.label, n);
        break;
    default:
        CursorTextOrFormula(writer, row.label, n, (At(row.flagsAt).u32le() & row.flag) != 0);
        break;
    }
}

void TNCdRecord::WriteFixedField(CFieldWriter& writer, const FixedField& row) {
    WriteRow(writer, row, 0);
}

void TNCdRecord::WriteRow(CFieldWriter& writer, const FixedField& row, std::size_t base) {
    const std::size_t at = base + row.offset;
    ByteReader field = At(at);
    // A text's room may run past a record that ends after its terminator.
    const std::size_t width =
        row.kind == FieldKind::NumberList ? std::size_t(row.width) * row.count : row.width;
    writer.NextRange(field, std::min<std::size_t>(width, field.Remaining()));
    const std::uint8_t* bytes = field.Rest();
    std::uint32_t stored = row.width == 1   ? field.u8()
                           : row.width == 2 ? field.u16le()
                                            : field.u32le();
    const std::uint32_t value = (stored & row.mask) >> row.shift;
    const char* text = reinterpret_cast<const char*>(bytes);
    switch (row.kind) {
    case FieldKind::Number:
        writer.NumberField(row.label, value);
        break;
    case FieldKind::Signed:
        writer.NumberField(row.label, row.width == 1   ? double(std::int8_t(value))
                                      : row.width == 2 ? double(std::int16_t(value))
                                                       : double(std::int32_t(value)));
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
    case FieldKind::Bool:
        writer.BoolField(row.label, int(value));
        break;
    case FieldKind::Spare:
        writer.SpareField(row.label, bytes, row.width);
        break;
    case FieldKind::ZText:
        writer.TextField(row.label, text, std::ptrdiff_t(ZLength(at, row.width)));
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
    case FieldKind::Time: {
        ByteReader in = At(at);
        store::TimeDate time;
        time.w[0] = in.u32le();
        time.w[1] = in.u32le();
        writer.TimeField(row.label, time);
        break;
    }
    case FieldKind::Float: {
        ByteReader in = At(at);
        const std::uint64_t low = in.u32le();
        const std::uint64_t bits = low | (std::uint64_t(in.u32le()) << 32);
        double number = 0;
        std::memcpy(&number, &bits, sizeof number);
        writer.NumberField(row.label, number);
        break;
    }
    case FieldKind::NumberList: {
        writer.BeginField(row.label);
        ByteReader in = At(at);
        for (std::size_t i = 0; i < row.count; ++i) {
            writer.Number(row.width == 1 ? in.u8() : row.width == 2 ? in.u16le() : in.u32le());
            writer.Space();
        }
        writer.EndField();
        break;
    }
    case FieldKind::Group: // written by WriteRows
    case FieldKind::CursorText:
    case FieldKind::CursorFormula:
    case FieldKind::CursorHexDump:
    case FieldKind::CursorTextOrFormula:
        break;
    }
}

void TNCdRecord::CursorOp(CFieldWriter& writer, const char* label, std::uint32_t n,
                          CursorWrite how) {
    WriteState& state = State();
    const std::size_t start = std::min(state.cursor, Size());
    const std::size_t there = Size() - start;
    // The rest is what the stored length says, also when the stream ends before it.
    const std::size_t rest = length_ > start ? length_ - start : 0;
    const std::size_t want = n == kRest ? rest : std::size_t(n);
    const std::size_t take = std::min(want, there);
    ByteReader part = At(start);
    writer.NextRange(part, take);
    const char* text = part.text(take).data();
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
    state.cursor = start + take;
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
    // An embedded stream lies inside the record; one that does not is not walked.
    const std::uintptr_t at = reinterpret_cast<std::uintptr_t>(stream);
    const std::uintptr_t from = reinterpret_cast<std::uintptr_t>(record_);
    if (!stream || !record_ || at < from || at - from > Size() || length > Size() - (at - from)) {
        subStreamAt_ = kNoSubStream;
        subStreamLength_ = 0;
        return;
    }
    subStreamAt_ = static_cast<std::uint32_t>(at - from);
    subStreamLength_ = static_cast<std::uint32_t>(length);
}

void TNCdRecord::SetImageIndex(std::uint16_t index) {
    imageIndex_ = index;
    const RecordFamily& family = Family();
    SetImage(NodeImage{imagecache::Derive(0, family.bitmap, family.maskBitmap), index});
}

CInfoPaneOptions* TNCdRecord::DocumentOptions() const {
    return GetDocument() ? &GetDocument()->InfoOptions() : nullptr;
}

namespace {
// Metafile headers and the signature of their segments.
std::uint16_t SegmentSignatureOf(std::uint16_t header) {
    switch (header) {
    case 0x9E:
        return 0x9A;
    case 0x9F:
        return 0x9B;
    case 0xA0:
        return 0x9C;
    default:
        return 0;
    }
}
constexpr std::size_t kSegmentDataOffset = 10;
} // namespace

bool TNCdRecord::GetBytes(std::vector<std::uint8_t>& bytes) const {
    const std::uint16_t segment =
        kind_ && kind_->scope == RecordScope::RichTextBase ? SegmentSignatureOf(Signature()) : 0;
    if (!segment) {
        bytes.assign(record_, record_ + Size());
        return true;
    }
    bytes.clear();
    for (const CTreeListNode* s = GetNextSibling(); s; s = s->GetNextSibling()) {
        const auto* r = dynamic_cast<const TNCdRecord*>(s);
        if (!r || r->Signature() != segment)
            break;
        // The stored data size is trusted only as far as the record holds the data.
        const std::size_t held =
            r->Size() > kSegmentDataOffset ? r->Size() - kSegmentDataOffset : 0;
        const std::size_t n = std::min<std::size_t>(r->At(6).u16le(), held);
        const std::uint8_t* p = r->record_ + kSegmentDataOffset;
        if (n)
            bytes.insert(bytes.end(), p, p + n);
    }
    return true;
}
