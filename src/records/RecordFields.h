// The fixed fields of a record as a table: one row per field, written in order.
#pragma once

#include <cstdint>

#include "output/SymbolEntry.h"

enum class FieldKind : std::uint8_t {
    Number,       // NumberField of the (masked, shifted) value
    Symbol,       // SymbolField with `table`
    Measure,      // MeasureField with the unit `unit`
    Font,         // FontField of a u32 font id
    Color,        // ColorField
    Hex4,         // Hex4Field
    Spare,        // SpareField of `width` bytes
    ZText,        // zero-terminated text in a room of `width` bytes
    NumberFormat, // 4 stored bytes
    TimeFormat,   // 4 stored bytes
    NoteLink,     // 40 stored bytes
};

struct FixedField {
    const char* label;
    std::uint32_t offset; // from the record's first byte
    std::uint8_t width;   // 1, 2 or 4 for numbers; the byte count otherwise
    FieldKind kind;
    const SymbolEntry* table = nullptr;
    std::uint32_t mask = 0xFFFFFFFFu; // numbers: value = (stored & mask) >> shift
    std::uint8_t shift = 0;
    unsigned unit = 0;
};
