// Decoders of the plain item values: numbers, times, their ranges, texts, text lists,
// formulas, user IDs, note references and note links.
//
// Counts stored in a value are trusted only as far as the value's bytes go: a loop stops at
// the first element that does not fit and says so with the short comment.
#include "items/ValueDecoders.h"

#include <algorithm>
#include <array>

#include "common/ByteReader.h"
#include "items/FlagItems.h"
#include "output/FieldWriter.h"
#include "store/api/Conversions.h"

namespace {

constexpr std::size_t kUnidSize = 16;
constexpr std::size_t kNoteLinkSize = 40;
constexpr std::size_t kTimeRangeSize = 16;
constexpr std::size_t kLicenseSize = 8;

// A u16 count, then count elements of a fixed size, each written by `one`. Returns the bytes
// of the count and of the elements that were there.
template <typename Write>
std::size_t CountedList(CFieldWriter& w, const ItemValueView& v, std::size_t elementSize,
                        Write one) {
    ByteReader r(v.p, v.n);
    const std::uint16_t count = r.u16le();
    // The list claims its count's elements, but no more than the value holds.
    w.NextRange(0, std::min(v.n, 2 + std::size_t(count) * elementSize));
    w.BeginField("value");
    for (std::uint16_t i = 0; i < count && !r.Short(); ++i) {
        w.NextRange(r, elementSize);
        const std::uint8_t* element = r.bytes(elementSize);
        if (element)
            one(element);
    }
    if (r.Short())
        w.ShortComment();
    w.EndField();
    return r.Offset();
}

} // namespace

std::size_t WriteNumberValue(CFieldWriter& w, const ItemValueView& v) {
    ByteReader r(v.p, v.n);
    const double number = r.f64le();
    if (r.Short()) {
        w.ShortComment();
        return 0;
    }
    w.NextRange(0, r.Offset());
    w.NumberField("value", number);
    return r.Offset();
}

std::size_t WriteNumberRangeValue(CFieldWriter& w, const ItemValueView& v) {
    ByteReader r(v.p, v.n);
    const std::uint16_t count = r.u16le();
    // The pairs are not shown (they stay in the remaining data), but missing ones are said.
    const std::uint16_t rangeCount = r.u16le();
    // The counts and the numbers that are there; the pairs are the remaining data's.
    const std::size_t numbers = v.n < 4 ? 0 : std::min<std::size_t>(count, (v.n - 4) / 8);
    w.NextRange(0, std::min<std::size_t>(v.n, 4 + 8 * numbers));
    w.BeginField("value");
    w.BreakLine();
    for (std::uint16_t i = 0; i < count && !r.Short(); ++i) {
        const double number = r.f64le();
        if (r.Short())
            break;
        w.Number(number);
        w.NextValueLine();
    }
    if (r.Short() || !r.Has(std::size_t(rangeCount) * 16))
        w.ShortComment();
    w.EndField();
    return r.Offset();
}

std::size_t WriteTimeValue(CFieldWriter& w, const ItemValueView& v) {
    ByteReader r(v.p, v.n);
    const store::TimeDate time = store::ReadTimeDate(r);
    if (r.Short()) {
        w.ShortComment();
        return 0;
    }
    w.NextRange(0, r.Offset());
    w.TimeField("value", time);
    return r.Offset();
}

std::size_t WriteTimeRangeValue(CFieldWriter& w, const ItemValueView& v) {
    ByteReader r(v.p, v.n);
    const std::uint16_t listCount = r.u16le();
    const std::uint16_t rangeCount = r.u16le();
    // The counts claim their entries, but no more than the value holds.
    w.NextRange(0, std::min(v.n, 4 + std::size_t(listCount) * 8 + std::size_t(rangeCount) * 16));
    w.BeginField("value");
    for (std::uint16_t i = 0; i < listCount && !r.Short(); ++i) {
        const std::size_t at = r.Position();
        const store::TimeDate time = store::ReadTimeDate(r);
        w.NextRange(at, r.Position() - at);
        if (!r.Short())
            w.TimeField("time", time);
    }
    for (std::uint16_t i = 0; i < rangeCount && !r.Short(); ++i) {
        w.NextRange(r, kTimeRangeSize);
        const std::uint8_t* pair = r.bytes(kTimeRangeSize);
        if (pair)
            w.TimeRangeField("time-range", pair, kTimeRangeSize);
    }
    if (r.Short())
        w.ShortComment();
    w.EndField();
    return r.Offset();
}

std::size_t WriteTextValue(CFieldWriter& w, const ItemValueView& v) {
    const char* text = reinterpret_cast<const char*>(v.p);
    w.NextRange(0, v.n);
    w.TextField("value", text, std::ptrdiff_t(v.n), '"', '"');
    WriteFlagItemComment(w, v.itemName, v.noteClass, text, v.n);
    return v.n;
}

std::size_t WriteTextListValue(CFieldWriter& w, const ItemValueView& v) {
    w.NextRange(0, CFieldWriter::TextListSize(v.p, v.n));
    const std::size_t size = w.TextListField("value", v.p, v.n);
    const char* first = nullptr;
    std::uint16_t firstLength = 0;
    if (store::TextListCount(v.p, v.n) > 0 &&
        store::TextListEntry(v.p, v.n, 0, &first, &firstLength) == store::kNoError)
        WriteFlagItemComment(w, v.itemName, v.noteClass, first, firstLength);
    return size;
}

std::size_t WriteFormulaValue(CFieldWriter& w, const ItemValueView& v) {
    w.NextRange(0, v.n);
    w.FormulaField("value", v.p, v.n);
    return v.n;
}

std::size_t WriteUserIdValue(CFieldWriter& w, const ItemValueView& v) {
    if (v.n < kLicenseSize) {
        w.ShortComment();
        return 0;
    }
    const std::size_t nameLength = v.n - kLicenseSize;
    ByteReader r(v.p, v.n);
    w.NextRange(r, nameLength);
    w.TextField("user-name", r.text(nameLength).data(), std::ptrdiff_t(nameLength), '"', '"');
    w.NextRange(r, kLicenseSize);
    w.HexDumpField("license", r.bytes(kLicenseSize), kLicenseSize);
    return v.n;
}

std::size_t WriteNoteRefListValue(CFieldWriter& w, const ItemValueView& v) {
    return CountedList(w, v, kUnidSize,
                       [&w](const std::uint8_t* e) { w.UnidField("unid", e, kUnidSize); });
}

std::size_t WriteNoteLinkListValue(CFieldWriter& w, const ItemValueView& v) {
    return CountedList(w, v, kNoteLinkSize, [&w](const std::uint8_t* e) {
        w.NoteLinkField("notelink", e, kNoteLinkSize);
    });
}

namespace {

struct DecoderRow {
    std::uint16_t type;
    ValueDecoder decode;
};

constexpr std::array kDecoders{
    DecoderRow{0x300, WriteNumberValue},      DecoderRow{0x301, WriteNumberRangeValue},
    DecoderRow{0x400, WriteTimeValue},        DecoderRow{0x401, WriteTimeRangeValue},
    DecoderRow{0x500, WriteTextValue},        DecoderRow{0x501, WriteTextListValue},
    DecoderRow{0x600, WriteFormulaValue},     DecoderRow{0x700, WriteUserIdValue},
    DecoderRow{4, WriteNoteRefListValue},     DecoderRow{7, WriteNoteLinkListValue},
    DecoderRow{17, WriteAssistInfoValue},     DecoderRow{22, WriteSchedListValue},
    DecoderRow{24, WriteCalendarFormatValue},
};

} // namespace

ValueDecoder FindValueDecoder(std::uint16_t type) {
    for (const DecoderRow& row : kDecoders)
        if (row.type == type)
            return row.decode;
    return nullptr;
}
