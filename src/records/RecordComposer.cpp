#include "records/RecordComposer.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

#include "common/Ascii.h"
#include "output/CompiledFormula.h"
#include "output/SymbolLookup.h"
#include "output/SymbolTables.h"
#include "store/api/Conversions.h"
#include "store/api/Memory.h"

namespace {

std::vector<std::string_view> Words(std::string_view text) {
    std::vector<std::string_view> words;
    std::size_t at = 0;
    while (at < text.size()) {
        while (at < text.size() && text[at] == ' ')
            ++at;
        const std::size_t start = at;
        while (at < text.size() && text[at] != ' ')
            ++at;
        if (at > start)
            words.push_back(text.substr(start, at - start));
    }
    return words;
}

// "12", "0x1f": the numbers the dump prints where no name stands.
bool ParseUnsigned(std::string_view word, std::uint64_t* out) {
    if (word.empty())
        return false;
    int base = 10;
    if (word.size() > 2 && word[0] == '0' && (word[1] == 'x' || word[1] == 'X')) {
        base = 16;
        word.remove_prefix(2);
    }
    std::uint64_t value = 0;
    for (const char c : word) {
        const int d = base == 16 ? HexDigitValue(c) : (c >= '0' && c <= '9' ? c - '0' : -1);
        if (d < 0 || value > (0xFFFFFFFFull - std::uint64_t(d)) / std::uint64_t(base))
            return false;
        value = value * std::uint64_t(base) + std::uint64_t(d);
    }
    *out = value;
    return true;
}

// A name of the table, or a number after the prefix (a fallback such as "Face7", "Color12").
bool NameOrNumbered(std::string_view word, const SymbolEntry* table, std::string_view prefix,
                    std::uint32_t* out) {
    if (table && SymbolValueOf(table, word, out))
        return true;
    std::uint64_t n = 0;
    if (!prefix.empty() && word.substr(0, prefix.size()) == prefix &&
        ParseUnsigned(word.substr(prefix.size()), &n)) {
        *out = std::uint32_t(n);
        return true;
    }
    return false;
}

std::size_t WidthOf(const FixedField& row) {
    return row.width == 1 || row.width == 2 ? row.width : 4;
}

std::uint64_t MaxOf(std::size_t width) {
    return width >= 4 ? 0xFFFFFFFFull : (1ull << (8 * width)) - 1;
}

} // namespace

RecordComposer::RecordComposer(const ValueTree& values, std::size_t headerSize,
                               std::size_t fixedSize)
    : values_(values), bytes_(std::max(headerSize, fixedSize), 0),
      cursor_(std::max(headerSize, fixedSize)) {}

bool RecordComposer::Fail(const std::string& where, const std::string& what) {
    if (what_.empty()) {
        where_ = where;
        what_ = what;
    }
    return false;
}

const ValueTree* RecordComposer::Take(std::string_view name, const ValueTree* values) {
    const ValueTree* v = (values ? values : &values_)->Find(name);
    if (v)
        taken_.insert(v);
    return v;
}

bool RecordComposer::TakeList(std::string_view name, const std::string& path,
                              const ValueTree** list) {
    *list = Take(name);
    if (*list && !(*list)->Is(ValueTree::Type::List))
        return Fail(path + "." + std::string(name), "a list is expected");
    return true;
}

bool RecordComposer::AllTaken(const ValueTree& values, const std::string& path) {
    for (const auto& [name, value] : values.members)
        if (!taken_.count(&value))
            return Fail(path + "." + name, "this record has no field of that name");
    return true;
}

void RecordComposer::Put(std::size_t at, std::size_t width, std::uint32_t value) {
    if (bytes_.size() < at + width)
        bytes_.resize(at + width, 0);
    for (std::size_t i = 0; i < width; ++i)
        bytes_[at + i] = std::uint8_t(value >> (8 * i));
}

std::uint32_t RecordComposer::Stored(std::size_t at, std::size_t width) const {
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < width && at + i < bytes_.size(); ++i)
        value |= std::uint32_t(bytes_[at + i]) << (8 * i);
    return value;
}

bool RecordComposer::PutMasked(const FixedField& row, std::size_t at, std::uint32_t value,
                               const std::string& where) {
    const std::size_t width = WidthOf(row);
    const std::uint64_t shifted = std::uint64_t(value) << row.shift;
    const std::uint32_t mask = row.mask & std::uint32_t(MaxOf(width));
    if (shifted > MaxOf(width) || (std::uint32_t(shifted) & ~mask) != 0)
        return Fail(where, "the value " + std::to_string(value) + " does not fit the field");
    Put(at, width, (Stored(at, width) & ~mask) | std::uint32_t(shifted));
    return true;
}

void RecordComposer::Append(const std::vector<std::uint8_t>& bytes) {
    if (bytes_.size() < cursor_)
        bytes_.resize(cursor_, 0);
    bytes_.insert(bytes_.begin() + std::ptrdiff_t(cursor_), bytes.begin(), bytes.end());
    cursor_ += bytes.size();
}

void RecordComposer::Append(std::string_view bytes) {
    Append(std::vector<std::uint8_t>(bytes.begin(), bytes.end()));
}

bool RecordComposer::Number(const ValueTree& v, const std::string& where, double* out) {
    if (v.Is(ValueTree::Type::Number) || v.Is(ValueTree::Type::Bool)) {
        *out = v.number;
        return true;
    }
    std::uint64_t n = 0;
    if (v.Is(ValueTree::Type::Text) && ParseUnsigned(v.text, &n)) {
        *out = double(n);
        return true;
    }
    return Fail(where, "a number is expected");
}

bool RecordComposer::Unsigned(const ValueTree& v, const std::string& where, std::uint64_t max,
                              std::uint32_t* out) {
    double d = 0;
    if (!Number(v, where, &d))
        return false;
    if (d < 0 || d > double(max) || d != std::floor(d))
        return Fail(where, "a whole number from 0 to " + std::to_string(max) + " is expected");
    *out = std::uint32_t(d);
    return true;
}

// Names (one, several in a text, or a list), numbers, or both: their values are or'ed, as the
// dump shows a value as the names of its flags and the hex of what no name covers.
bool RecordComposer::Symbol(const ValueTree& v, const std::string& where, const SymbolEntry* table,
                            std::uint32_t* out) {
    if (v.Is(ValueTree::Type::Number))
        return Unsigned(v, where, 0xFFFFFFFFull, out);
    std::vector<std::string_view> words;
    if (v.Is(ValueTree::Type::Text)) {
        words = Words(v.text);
    } else if (v.Is(ValueTree::Type::List)) {
        for (const ValueTree& entry : v.list) {
            if (!entry.Is(ValueTree::Type::Text))
                return Fail(where, "a list of names is expected");
            words.push_back(entry.text);
        }
    } else {
        return Fail(where, "a name, a number or a list of names is expected");
    }
    std::uint32_t value = 0;
    for (const std::string_view word : words) {
        std::uint32_t one = 0;
        std::uint64_t n = 0;
        if (table && SymbolValueOf(table, word, &one))
            value |= one;
        else if (ParseUnsigned(word, &n))
            value |= std::uint32_t(n);
        else
            return Fail(where, "\"" + std::string(word) + "\" is not a name of this field");
    }
    *out = value;
    return true;
}

bool RecordComposer::Text(const ValueTree& v, const std::string& where, std::string* out) {
    if (!v.Is(ValueTree::Type::Text))
        return Fail(where, "a text is expected");
    // Stored texts are in the store's character set; the dump translates them back.
    std::string stored(v.text.size() * 3 + 1, '\0');
    const std::size_t n = store::TranslateText(store::Translate::ToStore, v.text.data(),
                                               v.text.size(), stored.data(), stored.size());
    stored.resize(std::min(n, stored.size()));
    *out = std::move(stored);
    return true;
}

bool RecordComposer::Hex(const ValueTree& v, const std::string& where,
                         std::vector<std::uint8_t>* out) {
    if (!v.Is(ValueTree::Type::Text) || !ParseHex(v.text, out))
        return Fail(where, "hex digits (an even number) are expected");
    return true;
}

bool RecordComposer::Formula(const ValueTree& v, const std::string& where,
                             std::vector<std::uint8_t>* out) {
    if (!v.Is(ValueTree::Type::Text))
        return Fail(where, "the source of a formula is expected");
    out->clear();
    if (v.text.empty())
        return true; // no formula: no bytes
    const FormulaCompileResult compiled = CompileFormulaText(v.text);
    if (compiled.status != store::kNoError)
        return Fail(where, "the formula cannot be compiled: " + compiled.errorText);
    store::LockedMem mem(compiled.formula.Handle());
    const std::size_t n = std::min(compiled.formula.Length(), mem.size());
    out->assign(mem.bytes(), mem.bytes() + n);
    return true;
}

bool RecordComposer::Font(const ValueTree& v, const std::string& where, std::uint32_t* out) {
    if (v.Is(ValueTree::Type::Number))
        return Unsigned(v, where, 0xFFFFFFFFull, out);
    std::uint64_t n = 0;
    if (!v.Is(ValueTree::Type::Text))
        return Fail(where, "a font (\"Swiss 10 pt Bold Black\") is expected");
    if (ParseUnsigned(v.text, &n)) {
        *out = std::uint32_t(n);
        return true;
    }
    // face, size "pt", attributes ("Normal" for none), colour: as the dump writes a font.
    const std::vector<std::string_view> words = Words(v.text);
    std::uint32_t face = 0, attributes = 0, color = 0;
    std::uint64_t size = 0;
    const auto bad = [&] { return Fail(where, "\"" + v.text + "\" is not a font"); };
    if (words.size() < 4 || words[2] != "pt" ||
        !NameOrNumbered(words[0], symtab::kFontFaces, "Face", &face) || face > 0xFF ||
        !ParseUnsigned(words[1], &size) || size > 0xFF)
        return bad();
    for (std::size_t i = 3; i + 1 < words.size(); ++i) {
        std::uint32_t one = 0;
        if (words[i] == "Normal")
            continue;
        if (!SymbolValueOf(symtab::kFontAttributes, words[i], &one))
            return bad();
        attributes |= one;
    }
    if (attributes > 0xFF || !NameOrNumbered(words.back(), symtab::kColorNames, "Color", &color) ||
        color > 0xFF)
        return bad();
    *out = face | attributes << 8 | color << 16 | std::uint32_t(size) << 24;
    return true;
}

bool RecordComposer::Color(const ValueTree& v, const std::string& where, std::uint32_t* out) {
    if (v.Is(ValueTree::Type::Number))
        return Unsigned(v, where, 0xFFFF, out);
    if (v.Is(ValueTree::Type::Text) && NameOrNumbered(v.text, symtab::kColorNames, "Color", out))
        return true;
    return Fail(where, "a colour name is expected");
}

bool RecordComposer::Rows(std::span<const FixedField> rows, std::size_t base,
                          const ValueTree* values, const std::string& path) {
    const ValueTree& given = values ? *values : values_;
    for (const FixedField& row : rows)
        if (!Row(row, base, given, path))
            return false;
    return true;
}

// Parts of several bytes that the dump shows as fields of their own: number and time formats.
bool RecordComposer::Parts(const FixedField& row, std::size_t at, const ValueTree& v,
                           const std::string& where) {
    struct Part {
        const char* label;
        const SymbolEntry* table;
    };
    static constexpr Part kNumberParts[] = {{"number-digits", nullptr},
                                            {"number-format", symtab::kNumberFormats},
                                            {"number-attributes", symtab::kNumberAttributes}};
    static constexpr Part kTimeParts[] = {{"time-date", symtab::kDateStyles},
                                          {"time-time", symtab::kTimeStyles},
                                          {"time-zone", symtab::kZoneStyles},
                                          {"time-structure", symtab::kTimeStructures}};
    if (v.Is(ValueTree::Type::Text)) { // the stored bytes as hex
        std::vector<std::uint8_t> bytes;
        if (!Hex(v, where, &bytes))
            return false;
        if (bytes.size() != row.width)
            return Fail(where, std::to_string(row.width) + " bytes are expected");
        for (std::size_t i = 0; i < bytes.size(); ++i)
            Put(at + i, 1, bytes[i]);
        return true;
    }
    if (!v.Is(ValueTree::Type::Members))
        return Fail(where, "the parts of the format or its bytes in hex are expected");
    const std::span<const Part> parts =
        row.kind == FieldKind::NumberFormat ? std::span<const Part>(kNumberParts) : kTimeParts;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        const ValueTree* part = Take(parts[i].label, &v);
        std::uint32_t value = 0;
        if (!part)
            continue;
        const std::string partWhere = where + "." + parts[i].label;
        if (!(parts[i].table ? Symbol(*part, partWhere, parts[i].table, &value)
                             : Unsigned(*part, partWhere, 0xFF, &value)))
            return false;
        if (value > 0xFF)
            return Fail(partWhere, "the value does not fit one byte");
        Put(at + i, 1, value);
    }
    return AllTaken(v, where);
}

bool RecordComposer::Row(const FixedField& row, std::size_t base, const ValueTree& values,
                         const std::string& path) {
    const std::size_t at = base + row.offset;
    if (row.IsCursor()) {
        const ValueTree* v = Take(row.label, &values);
        // A part not given is empty; its count stays 0 (there is none for a part to the end).
        return !v || CursorRow(row, *v, path + "." + row.label);
    }
    if (row.kind == FieldKind::Group) {
        const ValueTree* v = Take(row.label, &values);
        if (!v)
            return true;
        const std::string where = path + "." + row.label;
        if (!v->Is(ValueTree::Type::Members))
            return Fail(where, "the fields of the group are expected");
        return Rows(row.rows, at, v, where) && AllTaken(*v, where);
    }
    const ValueTree* v = Take(row.label, &values);
    if (!v)
        return true;
    const std::string where = path + "." + row.label;
    const std::size_t width = WidthOf(row);
    std::uint32_t value = 0;
    switch (row.kind) {
    case FieldKind::Number:
        return Unsigned(*v, where, 0xFFFFFFFFull, &value) && PutMasked(row, at, value, where);
    case FieldKind::Symbol:
        return Symbol(*v, where, row.table, &value) && PutMasked(row, at, value, where);
    case FieldKind::Hex4:
    case FieldKind::Bool:
        if (v->Is(ValueTree::Type::Text) && (v->text == "True" || v->text == "False")) {
            value = v->text == "True";
        } else if (!Unsigned(*v, where, MaxOf(width), &value)) {
            return false;
        }
        return PutMasked(row, at, value, where);
    case FieldKind::Signed:
    case FieldKind::Measure: {
        double d = 0;
        if (!Number(*v, where, &d))
            return false;
        const double low = row.kind == FieldKind::Signed ? -double(MaxOf(width) / 2 + 1) : 0;
        const double high =
            row.kind == FieldKind::Signed ? double(MaxOf(width) / 2) : double(MaxOf(width));
        if (d != std::floor(d) || d < low || d > high)
            return Fail(where, "the value does not fit the field");
        Put(at, width, std::uint32_t(std::int64_t(d)));
        return true;
    }
    case FieldKind::Font:
        if (!Font(*v, where, &value))
            return false;
        Put(at, width, value);
        return true;
    case FieldKind::Color:
        if (!Color(*v, where, &value))
            return false;
        Put(at, width, value);
        return true;
    case FieldKind::ZText: {
        std::string text;
        if (!Text(*v, where, &text))
            return false;
        if (text.size() > row.width)
            return Fail(where, "the text is longer than its room of " + std::to_string(row.width) +
                                   " bytes");
        Put(at + row.width - 1, 1, 0); // the room is there, zeros after the text
        std::memcpy(bytes_.data() + at, text.data(), text.size());
        return true;
    }
    case FieldKind::NumberFormat:
    case FieldKind::TimeFormat:
        return Parts(row, at, *v, where);
    case FieldKind::Float: {
        double d = 0;
        if (!Number(*v, where, &d))
            return false;
        std::uint64_t bits = 0;
        std::memcpy(&bits, &d, sizeof bits);
        Put(at, 4, std::uint32_t(bits));
        Put(at + 4, 4, std::uint32_t(bits >> 32));
        return true;
    }
    case FieldKind::NumberList: {
        if (!v->Is(ValueTree::Type::List) || v->list.size() > row.count)
            return Fail(where,
                        "a list of at most " + std::to_string(row.count) + " numbers is expected");
        for (std::size_t i = 0; i < v->list.size(); ++i) {
            if (!Unsigned(v->list[i], where + "[" + std::to_string(i) + "]", MaxOf(width), &value))
                return false;
            Put(at + i * width, width, value);
        }
        if (v->list.size() < row.count)
            Put(at + (row.count - 1) * width, width, 0);
        return true;
    }
    case FieldKind::Spare:
    case FieldKind::NoteLink:
    case FieldKind::Time: {
        std::vector<std::uint8_t> bytes;
        if (!Hex(*v, where, &bytes))
            return false;
        if (bytes.size() != row.width)
            return Fail(where, std::to_string(row.width) + " bytes in hex are expected");
        for (std::size_t i = 0; i < bytes.size(); ++i)
            Put(at + i, 1, bytes[i]);
        return true;
    }
    default:
        return Fail(where, "this field cannot be given");
    }
}

bool RecordComposer::CursorRow(const FixedField& row, const ValueTree& v,
                               const std::string& where) {
    std::vector<std::uint8_t> part;
    bool formula = row.kind == FieldKind::CursorFormula;
    if (row.kind == FieldKind::CursorTextOrFormula && v.Is(ValueTree::Type::Members)) {
        // {"formula": SOURCE}: the part is a formula, and the flag says so.
        const ValueTree* source = Take("formula", &v);
        if (!source || v.members.size() != 1)
            return Fail(where, "a text or {\"formula\": SOURCE} is expected");
        formula = true;
        Put(row.flagsAt, 4, Stored(row.flagsAt, 4) | row.flag);
        if (!Formula(*source, where + ".formula", &part))
            return false;
    } else if (formula) {
        if (!Formula(v, where, &part))
            return false;
    } else if (row.kind == FieldKind::CursorHexDump) {
        if (!Hex(v, where, &part))
            return false;
    } else {
        std::string text;
        if (!Text(v, where, &text))
            return false;
        part.assign(text.begin(), text.end());
    }
    if (row.width != 0) {
        if (part.size() > MaxOf(row.width))
            return Fail(where, "the part is longer than its length field can say");
        Put(row.offset, row.width, std::uint32_t(part.size()));
    }
    Append(part);
    return true;
}
