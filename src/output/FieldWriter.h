// The field writer: the one interface through which every node describes itself.
//
// A description is a nest of labelled fields: BeginField(label), values, EndField. Values are
// gathered as pending text and handed to the concrete writer (WriteText) when a field, line or
// comment boundary flushes them. Comment text is gathered apart and written at the end of the
// output line (the next BeginField, EndLine, NextValueLine or End), so comments never split a
// value; EndField does not flush comments, so a comment written inside nested fields follows
// all the closing parentheses of that line.
//
// Value operations never fail: a conversion that fails writes an error text in its place.
// Operations that read stored bytes take a pointer and a length and never read past the length;
// a value shorter than it should be is written as far as it goes, followed by the comment
// "*** Length is too short".
#pragma once

#include <cstdarg>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "common/ByteReader.h"
#include "output/InfoPaneOptions.h"
#include "output/SymbolEntry.h"
#include "store/api/Conversions.h"
#include "store/api/Status.h"
#include "store/api/Time.h"

#if defined(__GNUC__)
#define DVX_PRINTF(fmt, args) __attribute__((format(printf, fmt, args)))
#else
#define DVX_PRINTF(fmt, args)
#endif

class CFieldWriter {
public:
    // Borrows options when given (normally the document's); otherwise owns a default set.
    explicit CFieldWriter(CInfoPaneOptions* options = nullptr);
    virtual ~CFieldWriter();
    CFieldWriter(const CFieldWriter&) = delete;
    CFieldWriter& operator=(const CFieldWriter&) = delete;

    CInfoPaneOptions& Options() { return *options_; }
    const CInfoPaneOptions& Options() const { return *options_; }

    // ---- Structure
    void Begin();
    void End();
    void BeginField(std::string_view label);
    void EndField();
    void Space();
    void EndLine();
    void BreakLine();
    void NextValueLine();
    void BeginComment();
    void EndComment();
    bool InComment() const { return commentDepth_ > 0; }
    void Printf(const char* format, ...) DVX_PRINTF(2, 3);
    void VPrintf(const char* format, std::va_list args);
    void Comment(const char* format, ...) DVX_PRINTF(2, 3);
    // Like Comment, with the format taken from the program's string table (OutputString).
    void CommentId(unsigned stringId, ...);
    // Appends text as it is, without formatting.
    void Append(std::string_view text) { pending_.append(text); }

    // ---- Byte ranges
    // The bytes the next field is decoded from (offset and length inside its node's bytes),
    // taken by the next BeginField, also the one inside a one-call field form. A field begun
    // without one carries none; a range not taken is dropped at the next EndField or EndLine.
    void NextRange(std::size_t offset, std::size_t length);
    // The next `length` bytes of the reader, from its position.
    void NextRange(const ByteReader& reader, std::size_t length) {
        NextRange(reader.Position(), length);
    }

    // ---- Values (Text and the numeric forms)
    // length < 0: up to the terminating zero. Quoted, escaped and wrapped at LineWidth().
    void Text(const char* text, std::ptrdiff_t length = -1, char open = '"', char close = '"');
    void TextField(std::string_view label, const char* text, std::ptrdiff_t length = -1,
                   char open = '"', char close = '"');
    void Hex(std::int32_t value);
    void Hex2(std::uint8_t value);
    void Hex4(std::uint16_t value);
    void Hex8(std::uint32_t value);
    void HexL(std::uint32_t value);
    void HexField(std::string_view label, std::int32_t value);
    void Hex2Field(std::string_view label, std::uint8_t value);
    void Hex4Field(std::string_view label, std::uint16_t value);
    void Hex8Field(std::string_view label, std::uint32_t value);
    void HexLField(std::string_view label, std::uint32_t value);
    void Number(double value);
    void NumberField(std::string_view label, double value);
    void Bool(int value);
    void BoolField(std::string_view label, int value);
    // The status message between double quotes; the field form between asterisks.
    void Error(store::Status status, const char* format, ...) DVX_PRINTF(3, 4);
    void ErrorField(std::string_view label, store::Status status, const char* format, ...)
        DVX_PRINTF(4, 5);

    // ---- Times and identifiers
    void Time(const store::TimeDate& time);
    void TimeField(std::string_view label, const store::TimeDate& time);
    void TimeId(const store::TimeDate& time, bool timeComment);
    void TimeIdField(std::string_view label, const store::TimeDate& time, bool timeComment);
    void TimeRangeField(std::string_view label, const store::TimeRange& range);
    // Stored forms: 16-byte time range, 16-byte universal note identifier, 28-byte sequenced
    // identifier, 20-byte database and note identifier, 40-byte note link.
    void TimeRangeField(std::string_view label, const void* bytes, std::size_t length);
    void UnidField(std::string_view label, const void* bytes, std::size_t length);
    void SequencedUnidField(std::string_view label, const void* bytes, std::size_t length);
    void DbNoteIdField(std::string_view label, const void* bytes, std::size_t length);
    void NoteLinkField(std::string_view label, const void* bytes, std::size_t length);

    // ---- Store-converted values
    // A compiled formula between braces; "{}" when empty.
    void Formula(const void* bytes, std::size_t length);
    void FormulaField(std::string_view label, const void* bytes, std::size_t length);
    // A stored text list; returns the bytes it covers (never more than length).
    std::size_t TextList(const void* bytes, std::size_t length);
    std::size_t TextListField(std::string_view label, const void* bytes, std::size_t length);
    // The bytes TextList covers, without writing anything (for the field's byte range).
    static std::size_t TextListSize(const void* bytes, std::size_t length);

    // ---- Symbols and the values named through tables
    void Symbol(std::uint32_t value, const SymbolEntry* table, const char* fallback = nullptr);
    void SymbolField(std::string_view label, std::uint32_t value, const SymbolEntry* table);
    void SymbolChars(const char* text, std::ptrdiff_t length, const SymbolEntry* table);
    void Color(std::uint16_t index);
    void ColorField(std::string_view label, std::uint16_t index);
    void StoreColor(std::uint16_t value);
    void StoreColorField(std::string_view label, std::uint16_t value);
    // Font identifier: bits 0-7 face, 8-15 attributes, 16-23 colour, 24-31 size in points.
    void Font(std::uint32_t fontId);
    void FontField(std::string_view label, std::uint32_t fontId);
    void NumberFormatField(std::string_view label, const store::NumberFormat& format);
    void NumberFormatField(std::string_view label, const void* bytes, std::size_t length);
    void TimeFormatField(std::string_view label, const store::TimeFormat& format);
    void TimeFormatField(std::string_view label, const void* bytes, std::size_t length);
    // A number with its unit as a comment; unitId is one of the measure units (OutputStrings.h).
    void MeasureField(std::string_view label, double value, unsigned unitId);
    void SizeField(std::string_view label, std::uint16_t width, std::uint16_t height, bool twips);

    // ---- Hex dumps
    void HexDump(const void* bytes, std::size_t length);
    void HexDumpField(std::string_view label, const void* bytes, std::size_t length);
    void SpareField(std::string_view label, const void* bytes, std::size_t length);

    // The comment that follows a value that stopped short of its stored size.
    void ShortComment();

    // ---- Nodes of a walk (the dump), around each node's WriteBegin..WriteEnd: BeginNode before
    // WriteBegin, BeginNodeFields between WriteBegin and WriteFields, EndNode after WriteEnd.
    // Writers that keep nodes apart override them; the others see only the fields. `note` is
    // true for a note node and for a start node that lies inside a note.
    struct NodeHeading {
        std::string_view label;
        const char* typeName = nullptr; // null for the internal types
        int typeId = -1;                // -1 for a node without a type
        bool note = false;
    };
    void BeginNode(const NodeHeading& heading);
    void BeginNodeFields();
    void EndNode();

    // True for the writer that draws on the screen.
    virtual bool IsDisplay() const { return false; }
    // Texts wrap after this many characters of their own.
    virtual int LineWidth() const { return 80; }

protected:
    virtual void WriteText(std::string_view text) = 0;
    virtual void NewLine() = 0;
    virtual void OnBeginOutput() {}
    virtual void OnEndOutput() {}
    virtual void OnBeginField() {}
    // After OnBeginField, for a field that carries a byte range.
    virtual void OnFieldRange(std::size_t /*offset*/, std::size_t /*length*/) {}
    virtual void OnEndField() {}
    virtual void OnEndLabel() {}
    virtual void OnBreakLine() {}
    virtual void OnNextValueLine() {}
    virtual void OnBeginComment() {}
    virtual void OnEndComment() {}
    virtual void OnBeginHexDump() {}
    virtual void OnEndHexDump() {}
    // Writes whole hex dump lines of `bytes` at once, exactly as HexDump would write them line
    // by line (comments included when `comments`), each ending with NewLine; false when the
    // writer has no such shortcut. Called only with nothing pending.
    virtual bool WriteHexLines(const std::uint8_t* /*bytes*/, std::size_t /*length*/,
                               bool /*comments*/) {
        return false;
    }
    // Around the text of an error (outside comments), so a display can mark it.
    virtual void OnBeginError() {}
    virtual void OnEndError() {}
    // A writer that keeps each comment with the field it was written in takes it here as it
    // ends (escaped as the dump escapes it, and only while ShowComments is 1) instead of at the
    // end of the output line.
    virtual bool TakesComments() const { return false; }
    // The node boundaries of a walk, with the text before them written out.
    virtual void OnBeginNode(const NodeHeading& /*heading*/) {}
    virtual void OnBeginNodeFields() {}
    virtual void OnEndNode() {}
    virtual void OnComment(std::string_view /*text*/) {}
    // The number behind the value being written (a hex or decimal number, a symbol's value, a
    // colour, a font identifier), outside comments; the parts of a composite value (a font's
    // face and colour) are not reported again.
    virtual void OnRawNumber(double /*value*/) {}

private:
    // Appends the escape of a byte not written as itself ("\t", "\0", "\x01") and returns
    // its width.
    static int AppendEscape(std::string& out, unsigned char c);
    // Every text reaches the concrete writer here: a control byte that came in raw (a flag
    // character written as itself, say) is escaped as Text escapes it.
    void WriteEscaped(std::string_view text);
    static void AppendEscaped(std::string& out, std::string_view text);
    void RawNumber(double value);
    // Symbol's text, found by walking the table.
    void WriteSymbol(std::uint32_t value, const SymbolEntry* table, const char* fallback);
    void FlushText();
    void FlushComments();
    void TimeText(const store::TimeDate& time, bool inGmt, bool zoneAlways);
    void ErrorV(store::Status status, const char* format, std::va_list args, bool asField,
                std::string_view label);
    bool BeginIdentifier(std::string_view label, const void* bytes, std::size_t length,
                         std::size_t fullLength);
    void UnidParts(const void* bytes, std::size_t length);
    // "0x" and the value in hex, at least `width` digits: printf's "0x%0*X" or "0x%0*x".
    void AppendHex(std::uint32_t value, int width, bool upper);
    // The value in decimal, as printf's "%lu" or "%d".
    void AppendDecimal(std::int64_t value);

    std::unique_ptr<CInfoPaneOptions> ownOptions_;
    CInfoPaneOptions* options_;
    std::string pending_;
    std::string comments_;
    // The texts of symbols written lately, by table and value, so that a table is walked once
    // for each value instead of once for every field (made with the first symbol).
    struct SymbolText {
        const SymbolEntry* table = nullptr;
        const char* fallback = nullptr;
        std::uint32_t value = 0;
        std::int32_t showSymbols = -1;
        std::string text;
    };
    std::unique_ptr<SymbolText[]> symbolTexts_;
    int commentDepth_ = 0;
    bool hasRange_ = false;
    std::size_t rangeOffset_ = 0;
    std::size_t rangeLength_ = 0;
    int rawHeld_ = 0; // above 0 inside a composite value that reported its own number
};
