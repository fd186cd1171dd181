// Values named through symbol tables: symbols, colours, fonts, number and time formats, and
// measures with their units.
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "common/ByteReader.h"
#include "output/FieldWriter.h"
#include "output/OutputStrings.h"
#include "output/SymbolTables.h"

namespace {

// Whether a fallback format takes exactly one integer (or none), and whether it is a long.
// Formats are the program's own, but a wrong one must not read a missing argument.
bool CheckIntegerFormat(const char* format, bool* isLong) {
    *isLong = false;
    int conversions = 0;
    for (const char* p = format; *p; ++p) {
        if (*p != '%')
            continue;
        ++p;
        if (*p == '%')
            continue;
        while (*p && std::strchr("-+ #0", *p))
            ++p;
        while (*p >= '0' && *p <= '9')
            ++p;
        if (*p == '.') {
            ++p;
            while (*p >= '0' && *p <= '9')
                ++p;
        }
        if (*p == 'l') {
            *isLong = true;
            ++p;
        } else if (*p == 'h') {
            ++p;
            if (*p == 'h')
                ++p;
        }
        if (!*p || !std::strchr("diuxXoc", *p))
            return false;
        ++conversions;
    }
    return conversions <= 1;
}

// A unit's comment whose one conversion is "%.Nf", written with to_chars (printf's digits):
// every size of a paragraph or a table shows one. False when the format is another.
bool FixedComment(CFieldWriter& writer, unsigned stringId, double value) {
    const char* format = OutputString(stringId);
    const char* conversion = format ? std::strchr(format, '%') : nullptr;
    if (!conversion || conversion[1] != '.')
        return false;
    const char* p = conversion + 2;
    int precision = 0;
    for (int i = 0; i < 2 && *p >= '0' && *p <= '9'; ++i, ++p)
        precision = precision * 10 + (*p - '0');
    if (*p != 'f' || p == conversion + 2 || std::strchr(p + 1, '%'))
        return false;
    char number[400];
    const auto r =
        std::to_chars(number, number + sizeof number, value, std::chars_format::fixed, precision);
    if (r.ec != std::errc())
        return false;
    writer.BeginComment();
    writer.Append(std::string_view(format, std::size_t(conversion - format)));
    writer.Append(std::string_view(number, std::size_t(r.ptr - number)));
    writer.Append(p + 1);
    writer.EndComment();
    return true;
}

} // namespace

void CFieldWriter::Symbol(std::uint32_t value, const SymbolEntry* table, const char* fallback) {
    RawNumber(value);
    // The text depends on nothing but these (tables and fallback formats are constants).
    constexpr std::size_t kSymbolSlots = 256;
    if (!symbolTexts_)
        symbolTexts_ = std::make_unique<SymbolText[]>(kSymbolSlots);
    const std::uint64_t key =
        (std::uint64_t(reinterpret_cast<std::uintptr_t>(table)) >> 3) * 0x9E3779B97F4A7C15u ^ value;
    SymbolText& slot = symbolTexts_[(key ^ (key >> 29)) % kSymbolSlots];
    if (slot.table == table && slot.value == value && slot.fallback == fallback &&
        slot.showSymbols == options_->ShowSymbols) {
        pending_.append(slot.text);
        return;
    }
    const std::size_t start = pending_.size();
    WriteSymbol(value, table, fallback);
    slot.table = table;
    slot.value = value;
    slot.fallback = fallback;
    slot.showSymbols = options_->ShowSymbols;
    slot.text.assign(pending_, start);
}

void CFieldWriter::WriteSymbol(std::uint32_t value, const SymbolEntry* table,
                               const char* fallback) {
    bool first = true;
    bool enumerated = false;
    std::uint32_t matched = 0;
    const auto separate = [&] {
        if (!first)
            Space();
        first = false;
    };
    const auto writeFallback = [&](const char* format) {
        bool isLong = false;
        if (!CheckIntegerFormat(format, &isLong))
            AppendDecimal(value);
        else if (std::strcmp(format, "%d") == 0)
            AppendDecimal(std::int32_t(value));
        else if (isLong)
            Printf(format, static_cast<unsigned long>(value));
        else
            Printf(format, unsigned(value));
    };

    if (options_->ShowSymbols != 0) {
        ForEachSymbol(table, [&](const SymbolEntry& row) {
            if (row.mask == kSymbolEnumerated)
                enumerated = true;
            const std::uint32_t mask = row.mask ? row.mask : row.value;
            if ((value & mask) == row.value) {
                separate();
                pending_.append(row.name);
                matched |= mask;
            }
            return true;
        });
    }

    const std::uint32_t rest = value & ~matched;
    if (rest != 0) {
        separate();
        if (enumerated)
            writeFallback(fallback ? fallback : "%d");
        else
            AppendHex(rest, 1, false);
    }
    if (first) {
        if (fallback)
            writeFallback(fallback);
        else
            pending_.push_back('0');
    }
}

void CFieldWriter::SymbolField(std::string_view label, std::uint32_t value,
                               const SymbolEntry* table) {
    BeginField(label);
    Symbol(value, table);
    EndField();
}

void CFieldWriter::SymbolChars(const char* text, std::ptrdiff_t length, const SymbolEntry* table) {
    if (!text)
        return;
    const std::size_t n = length < 0 ? std::strlen(text) : std::size_t(length);
    for (std::size_t i = 0; i < n; ++i) {
        Symbol(static_cast<unsigned char>(text[i]), table, "%c");
        Space();
    }
}

void CFieldWriter::Color(std::uint16_t index) {
    RawNumber(index);
    if (options_->ShowSymbols != 0 && index < symtab::kColorCount)
        pending_.append(symtab::kColorNames[index].name);
    else {
        pending_.append("Color");
        AppendDecimal(index);
    }
}

void CFieldWriter::ColorField(std::string_view label, std::uint16_t index) {
    BeginField(label);
    Color(index);
    EndField();
}

void CFieldWriter::StoreColor(std::uint16_t value) {
    RawNumber(value);
    ++rawHeld_;
    Color(options_->ShowSymbols != 0 ? store::MapColorIndex(value) : value);
    --rawHeld_;
}

void CFieldWriter::StoreColorField(std::string_view label, std::uint16_t value) {
    BeginField(label);
    StoreColor(value);
    EndField();
}

void CFieldWriter::Font(std::uint32_t fontId) {
    RawNumber(fontId);
    // The face, attributes and colour are parts of the one number already reported.
    struct Held {
        int& n;
        explicit Held(int& count) : n(++count) {}
        ~Held() { --n; }
    } held(rawHeld_);
    if (options_->ShowSymbols == 0) {
        Hex8(fontId);
        return;
    }
    Symbol(fontId & 0xFF, symtab::kFontFaces, "Face%d");
    Space();
    AppendDecimal(fontId >> 24);
    pending_.append(" pt");
    Space();
    Symbol((fontId >> 8) & 0xFF, symtab::kFontAttributes, "Normal");
    Space();
    Color(std::uint16_t((fontId >> 16) & 0xFF));
}

void CFieldWriter::FontField(std::string_view label, std::uint32_t fontId) {
    BeginField(label);
    Font(fontId);
    EndField();
}

void CFieldWriter::NumberFormatField(std::string_view label, const store::NumberFormat& format) {
    NumberFormatField(label, &format, sizeof format);
}

void CFieldWriter::NumberFormatField(std::string_view label, const void* bytes,
                                     std::size_t length) {
    BeginField(label);
    ByteReader r(bytes, length);
    const std::uint8_t digits = r.u8();
    if (!r.Short())
        NumberField("number-digits", digits);
    const std::uint8_t format = r.u8();
    if (!r.Short())
        SymbolField("number-format", format, symtab::kNumberFormats);
    const std::uint8_t attributes = r.u8();
    if (!r.Short())
        SymbolField("number-attributes", attributes, symtab::kNumberAttributes);
    r.u8(); // not shown
    if (r.Short())
        ShortComment();
    EndField();
}

void CFieldWriter::TimeFormatField(std::string_view label, const store::TimeFormat& format) {
    TimeFormatField(label, &format, sizeof format);
}

void CFieldWriter::TimeFormatField(std::string_view label, const void* bytes, std::size_t length) {
    static constexpr struct {
        const char* label;
        const SymbolEntry* table;
    } kParts[] = {
        {"time-date", symtab::kDateStyles},
        {"time-time", symtab::kTimeStyles},
        {"time-zone", symtab::kZoneStyles},
        {"time-structure", symtab::kTimeStructures},
    };
    BeginField(label);
    ByteReader r(bytes, length);
    for (const auto& part : kParts) {
        const std::uint8_t value = r.u8();
        if (r.Short())
            break;
        SymbolField(part.label, value, part.table);
    }
    if (r.Short())
        ShortComment();
    EndField();
}

void CFieldWriter::MeasureField(std::string_view label, double value, unsigned unitId) {
    NumberField(label, value);
    switch (unitId) {
    case outstr::kUnitNone:
        break;
    case outstr::kUnitTwips:
        if (!FixedComment(*this, unitId, value / 1440.0))
            CommentId(unitId, value / 1440.0);
        break;
    case outstr::kUnitLines:
        if (!FixedComment(*this, unitId, value * 0.5 + 1.0))
            CommentId(unitId, value * 0.5 + 1.0);
        break;
    default:
        CommentId(unitId);
        break;
    }
}

void CFieldWriter::SizeField(std::string_view label, std::uint16_t width, std::uint16_t height,
                             bool twips) {
    const unsigned unit = twips ? outstr::kUnitTwips : outstr::kUnitPixels;
    BeginField(label);
    MeasureField("width", width, unit);
    MeasureField("height", height, unit);
    EndField();
}
