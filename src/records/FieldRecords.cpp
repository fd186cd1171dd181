// Field records.
//
// Field and its older form (word form), B = 36 (34 for the older form):
//   4 flags   6 data type   8 list delimiters   10 number format (4)   14 time format (4)
//   18 font id   22 DV length   24 IT length   26 unused (2)   28 IV length   30 name length
//   32 description length   34 text value length (Field only)
//   B: default value, input translation, input validity formulas, name, description;
//   then, when the text value length is nonzero: u16 count c, and c lengths and c texts, or
//   (c = 0) a value formula to the record's end.
// ExtField (word form): 4 flags1 (u32)   8 flags2 (u32)   12 entry helper   14 db name length
//   16 view name length   18 entry column   20 db name, view name
// Keyword (word form): 4 font id   8 keyword count   10 flags and columns   12 keyword texts
#include "records/FieldRecords.h"

#include "output/FieldWriter.h"
#include "output/OutputStrings.h"
#include "output/SymbolTables.h"
#include "records/CdRecord.h"
#include "records/RecordComposer.h"
#include "records/RecordKinds.h"
#include "records/RichTextTables.h"

namespace {
using namespace field;
constexpr RecordScope kBase = RecordScope::RichTextBase;
constexpr RecordScope kRich = RecordScope::RichText;
constexpr std::uint16_t kOlderForm = 0xFF84; // lacks the text value length at 34

constexpr std::uint16_t kEditableBit = 0x2;
constexpr std::uint16_t kStoreDefaultBit = 0x8;
constexpr std::uint16_t kComputedBit = 0x100;
constexpr std::uint16_t kKeywordsBit = 0x200;
constexpr std::uint16_t kKeywordStyleMask = 0xC000;

constexpr FixedField kFieldTail[] = {
    Sym("list-delimiters", 8, 2, symtab::kListSeparators),
    Of("number-format", 10, 4, FieldKind::NumberFormat),
    Of("time-format", 14, 4, FieldKind::TimeFormat),
    Of("font-id", 18, 4, FieldKind::Font),
};
constexpr FixedField kUnused[] = {Spare("unused-1", 26, 2)};

constexpr FixedField kExtField[] = {
    {"flags1", 4, 4, FieldKind::Symbol, kExtFieldFlags, ~0x0E000000u},
    {"keyword-cols", 4, 4, FieldKind::Number, nullptr, 0x0E000000u, 25},
    Sym("flags2", 8, 4, kExtFieldFlags2),
    Sym("entry-helper", 12, 2, kEntryHelpers),
    Num("entry-column-number", 18, 2),
    Text("entry-db-name", 14, 2),
    Text("entry-view-name", 16, 2),
};

constexpr FixedField kKeyword[] = {
    Of("font-id", 4, 4, FieldKind::Font),
    Num("keywords", 8, 2),
    {"flags", 10, 2, FieldKind::Symbol, kKeywordFlags, 0xFFF1},
    {"cols", 10, 2, FieldKind::Number, nullptr, 0x000E, 1},
};

// The start of the variable part.
std::size_t VariableStart(const TNCdRecord& r) {
    return r.Signature() == kOlderForm ? 34 : 36;
}

std::size_t NameOffset(const TNCdRecord& r) {
    return VariableStart(r) + std::size_t(r.At(22).u16le()) + r.At(24).u16le() + r.At(28).u16le();
}

void FieldLabel(TNCdRecord& r) {
    // The name as stored, cut at the record's end.
    const std::size_t at = NameOffset(r);
    const std::size_t n =
        at < r.Size() ? std::min<std::size_t>(r.At(30).u16le(), r.Size() - at) : 0;
    r.SetLabelText(r.At(std::min(at, r.Size())).text(n).data(), int(n));
}

// The value list (or value formula) after the description.
std::uint32_t WriteValues(TNCdRecord& r, CFieldWriter& writer, std::size_t at) {
    if (!r.Has(at, 2))
        return r.StopAt(at);
    const std::size_t count = r.At(at).u16le();
    if (count == 0) {
        r.SetCursor(at + 2);
        r.CursorFormula(writer, "value-formula", TNCdRecord::kRest);
        return std::uint32_t(r.Cursor());
    }
    // The lengths must all be there before any is believed.
    if (!r.Has(at + 2, 2 * count))
        return r.StopAt(at);
    // The count and the lengths; the values are fields of their own.
    writer.NextRange(at, 2 + 2 * count);
    writer.BeginField("value-list");
    r.SetCursor(at + 2 + 2 * count);
    for (std::size_t i = 0; i < count; ++i)
        r.CursorText(writer, "value", r.At(at + 2 + 2 * i).u16le());
    writer.EndField();
    return std::uint32_t(r.Cursor());
}

// The fields are written in an order of their own, not in the order they are stored.
std::uint32_t FieldBody(TNCdRecord& r, CFieldWriter& writer) {
    const std::size_t fixed = VariableStart(r);
    if (!r.Has(0, fixed))
        return r.StopAt(4); // the variable part's lengths are not all there
    const std::uint16_t flags = r.At(4).u16le();

    r.SetCursor(NameOffset(r));
    r.CursorText(writer, "name", r.At(30).u16le());
    writer.NextRange(6, 2);
    writer.SymbolField("type", r.At(6).u16le(), symtab::kItemTypes);
    r.CursorText(writer, "description", r.At(32).u16le());
    writer.NextRange(4, 2);
    writer.SymbolField("flags", flags & ~0xC000u, kFieldFlags);
    writer.CommentId(FieldComputeComment(flags));
    if (flags & kKeywordsBit) {
        writer.NextRange(4, 2);
        writer.SymbolField("keyword-flags", flags & kKeywordStyleMask, kKeywordStyles);
    }
    r.WriteFixed(writer, kFieldTail);

    r.SetCursor(fixed);
    r.CursorFormula(writer, "default-value", r.At(22).u16le());
    r.CursorFormula(writer, "input-translation", r.At(24).u16le());
    r.WriteFixed(writer, kUnused);
    r.CursorFormula(writer, "input-validity-check", r.At(28).u16le());

    const std::size_t end = NameOffset(r) + r.At(30).u16le() + r.At(32).u16le();
    if (r.Signature() == kOlderForm || r.At(34).u16le() == 0)
        return std::uint32_t(end);
    return WriteValues(r, writer, end);
}

std::uint32_t KeywordBody(TNCdRecord&, CFieldWriter& writer) {
    writer.CommentId(outstr::kKeywordUnknown);
    return 12;
}

// The variable parts in the order they are stored, with the lengths that count them.
constexpr FixedField kFieldParts[] = {
    Formula("default-value", 22, 2),
    Formula("input-translation", 24, 2),
    Formula("input-validity-check", 28, 2),
    Text("name", 30, 2),
    Text("description", 32, 2),
};

bool ComposeFieldValues(RecordComposer& c, const std::string& path) {
    const ValueTree* list = nullptr;
    if (!c.TakeList("value-list", path, &list))
        return false;
    const ValueTree* formula = c.Take("value-formula");
    if (!list && !formula)
        return true;
    if ((list && formula) || c.Signature() == kOlderForm)
        return c.Fail(path, list && formula ? "a value list or a value formula, not both"
                                            : "the older form of the record holds no values");
    const std::size_t start = c.Cursor();
    std::vector<std::uint8_t> part;
    if (formula) {
        c.Append(std::vector<std::uint8_t>(2, 0)); // a count of 0: a formula follows
        if (!c.Formula(*formula, path + ".value-formula", &part))
            return false;
        c.Append(part);
    } else {
        const std::size_t count = list->list.size();
        if (count == 0 || count > 0xFFFF)
            return c.Fail(path + ".value-list", "from 1 to 65535 values are expected");
        std::vector<std::string> texts(count);
        c.Append(std::vector<std::uint8_t>(2 + 2 * count, 0));
        c.Put(start, 2, std::uint32_t(count));
        for (std::size_t i = 0; i < count; ++i) {
            const std::string where = path + ".value-list[" + std::to_string(i) + "]";
            if (!c.Text(list->list[i], where, &texts[i]))
                return false;
            if (texts[i].size() > 0xFFFF)
                return c.Fail(where, "the value is longer than its length can say");
            c.Put(start + 2 + 2 * i, 2, std::uint32_t(texts[i].size()));
            c.Append(texts[i]);
        }
    }
    // Only whether it is 0 is read: the count of bytes the values take.
    const std::size_t size = c.Cursor() - start;
    if (size > 0xFFFF)
        return c.Fail(path, "the values are longer than their length can say");
    c.Put(34, 2, std::uint32_t(size));
    return true;
}

bool ComposeField(RecordComposer& c, const std::string& path) {
    std::uint32_t type = 0, flags = 0, keywordStyle = 0;
    if (const ValueTree* v = c.Take("type");
        v && !c.Symbol(*v, path + ".type", symtab::kItemTypes, &type))
        return false;
    if (const ValueTree* v = c.Take("flags");
        v && !c.Symbol(*v, path + ".flags", kFieldFlags, &flags))
        return false;
    if (const ValueTree* v = c.Take("keyword-flags");
        v && !c.Symbol(*v, path + ".keyword-flags", kKeywordStyles, &keywordStyle))
        return false;
    if (type > 0xFFFF || ((flags | keywordStyle) > 0xFFFF))
        return c.Fail(path, "the type and the flags are 16-bit values");
    c.Put(4, 2, flags | keywordStyle);
    c.Put(6, 2, type);
    return c.Rows(kFieldTail, 0, nullptr, path) && c.Rows(kUnused, 0, nullptr, path) &&
           c.Rows(kFieldParts, 0, nullptr, path) && ComposeFieldValues(c, path);
}

constexpr RecordKind kKinds[] = {
    kind::ComposedBy(kind::Custom(kBase, 0xFF8A, FieldLabel, 5, 36, {}, FieldBody), ComposeField),
    kind::ComposedBy(kind::Custom(kBase, kOlderForm, FieldLabel, 5, 34, {}, FieldBody),
                     ComposeField),
    kind::Fixed(kRich, 0xFFB0, "ExtField", 27, 20, kExtField),
    kind::Fixed(kBase, 0xFF8F, "Keyword", 0, 12, kKeyword, KeywordBody),
};
} // namespace

unsigned FieldComputeComment(std::uint16_t flags) {
    if (flags & kEditableBit)
        return outstr::kFieldEditable;
    if (flags & kComputedBit)
        return (flags & kStoreDefaultBit) ? outstr::kFieldComputed
                                          : outstr::kFieldComputedForDisplay;
    return outstr::kFieldComputedWhenComposed;
}

std::span<const RecordKind> FieldRecordKinds() {
    return kKinds;
}
