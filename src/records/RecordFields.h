// The fields of a record as a table: one row per field, written in order.
//
// Fixed rows read `width` bytes at `offset` from the record's first byte. Cursor rows read a
// variable part from the cursor (the end of the fixed part, then the end of the part before):
// their byte count is the number of `width` bytes at `offset` (width 0: the rest of the
// record), and the cursor moves past what they read. A group row writes its rows, whose
// offsets count from the group's own offset, inside one field of its label.
#pragma once

#include <cstdint>
#include <span>

#include "output/SymbolEntry.h"

enum class FieldKind : std::uint8_t {
    Number,       // NumberField of the (masked, shifted) unsigned value
    Signed,       // NumberField of the value as a signed number of its width
    Symbol,       // SymbolField with `table`
    Measure,      // MeasureField with the unit `unit`
    Font,         // FontField of a u32 font id
    Color,        // ColorField
    Hex4,         // Hex4Field
    Bool,         // BoolField
    Spare,        // SpareField of `width` bytes
    ZText,        // zero-terminated text in a room of `width` bytes
    NumberFormat, // 4 stored bytes
    TimeFormat,   // 4 stored bytes
    NoteLink,     // 40 stored bytes
    Time,         // 8 stored bytes: TimeField
    Float,        // 8 stored bytes: NumberField of a little-endian IEEE double
    NumberList,   // `count` numbers of `width` bytes, each followed by a space
    Group,        // `rows` inside a field of its own
    // Cursor rows
    CursorText,
    CursorFormula,
    CursorHexDump,
    CursorTextOrFormula, // a formula when the u32 at `flagsAt` has a bit of `flag`
};

struct FixedField {
    const char* label;
    std::uint32_t offset; // from the record's first byte (of the group's start, in a group)
    std::uint8_t width;   // 1, 2 or 4 for numbers; the byte count otherwise
    FieldKind kind;
    const SymbolEntry* table = nullptr;
    std::uint32_t mask = 0xFFFFFFFFu; // numbers: value = (stored & mask) >> shift
    std::uint8_t shift = 0;
    unsigned unit = 0;
    std::span<const FixedField> rows = {}; // Group
    std::uint16_t count = 0;               // NumberList
    std::uint16_t flagsAt = 0;             // CursorTextOrFormula
    std::uint32_t flag = 0;
    bool skipEmpty = false; // cursor rows: nothing is written for a count of 0

    bool IsCursor() const { return kind >= FieldKind::CursorText; }
};

// Row makers, so that a table reads as what it shows.
namespace field {
constexpr FixedField Num(const char* label, std::uint32_t at, std::uint8_t width) {
    return {label, at, width, FieldKind::Number};
}
constexpr FixedField Signed(const char* label, std::uint32_t at, std::uint8_t width) {
    return {label, at, width, FieldKind::Signed};
}
constexpr FixedField Sym(const char* label, std::uint32_t at, std::uint8_t width,
                         const SymbolEntry* table) {
    return {label, at, width, FieldKind::Symbol, table};
}
constexpr FixedField Measure(const char* label, std::uint32_t at, std::uint8_t width,
                             unsigned unit) {
    return {label, at, width, FieldKind::Measure, nullptr, 0xFFFFFFFFu, 0, unit};
}
constexpr FixedField Of(const char* label, std::uint32_t at, std::uint8_t width, FieldKind kind) {
    return {label, at, width, kind};
}
constexpr FixedField Spare(const char* label, std::uint32_t at, std::uint8_t width) {
    return {label, at, width, FieldKind::Spare};
}
constexpr FixedField Group(const char* label, std::uint32_t at, std::span<const FixedField> rows) {
    FixedField f{label, at, 0, FieldKind::Group};
    f.rows = rows;
    return f;
}
constexpr FixedField List(const char* label, std::uint32_t at, std::uint8_t width,
                          std::uint16_t count) {
    FixedField f{label, at, width, FieldKind::NumberList};
    f.count = count;
    return f;
}
// A cursor part whose byte count is the `width`-byte number at `at`; width 0: to the end.
constexpr FixedField Text(const char* label, std::uint32_t at = 0, std::uint8_t width = 0) {
    return {label, at, width, FieldKind::CursorText};
}
constexpr FixedField Formula(const char* label, std::uint32_t at = 0, std::uint8_t width = 0) {
    return {label, at, width, FieldKind::CursorFormula};
}
constexpr FixedField HexDump(const char* label, std::uint32_t at = 0, std::uint8_t width = 0) {
    return {label, at, width, FieldKind::CursorHexDump};
}
constexpr FixedField TextOrFormula(const char* label, std::uint32_t at, std::uint8_t width,
                                   std::uint16_t flagsAt, std::uint32_t flag) {
    FixedField f{label, at, width, FieldKind::CursorTextOrFormula};
    f.flagsAt = flagsAt;
    f.flag = flag;
    return f;
}
// A cursor row written only when its count is not 0.
constexpr FixedField IfAny(FixedField row) {
    row.skipEmpty = true;
    return row;
}
} // namespace field
