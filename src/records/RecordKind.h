// A record kind: everything a record of one signature shows, as one table row. Code appears
// only where a table cannot say it: a body writer for loops and parts that depend on other
// parts, a label maker for labels made of the record's own texts.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "records/RecordFields.h"

class CFieldWriter;
class RecordComposer;
class TNCdRecord;

// The streams a kind is found in; each scope belongs to one family of record nodes.
enum class RecordScope : std::uint8_t {
    RichTextBase, // every rich-text stream, navigator drawings (kind 19) included
    RichText,     // rich text (kind 1) only
    Navigator,    // navigator drawings (kind 19) only
    Query,
    Action,
    Dataset,
};

enum class LabelRule : std::uint8_t {
    Fixed,      // `label` as it stands
    Number,     // `label` is a format of one %d: the u16 at `labelAt`
    ObjectName, // `label`, or "label  -  name": the name has the u16 at `labelAt` bytes and
                // starts at the fixed size
    Custom,     // `makeLabel` makes it
};

// Writes what the rows do not; returns the bytes covered from the record's first byte, or
// TNCdRecord::kNoRemainder. Called after the rows, with the cursor where they left it, and
// only when every row's bytes were there.
using BodyWriter = std::uint32_t (*)(TNCdRecord& record, CFieldWriter& writer);
using LabelMaker = void (*)(TNCdRecord& record);
// The builder's side of a body writer: composes from the record's values what the body writer
// reads, after the rows. On failure it says where (below `path`) through the composer.
using BodyComposer = bool (*)(RecordComposer& composer, const std::string& path);

struct RecordKind {
    RecordScope scope;
    std::uint16_t signature;
    const char* label;
    std::uint16_t image;
    std::uint32_t fixedSize; // the fixed part, header included; also the least length
    std::span<const FixedField> fields = {};
    BodyWriter body = nullptr; // null: the rows are the whole body
    LabelRule labelRule = LabelRule::Fixed;
    std::uint16_t labelAt = 0;
    LabelMaker makeLabel = nullptr;
    BodyComposer compose = nullptr; // null: the rows are all a description can give
    bool longHeader = false;        // written with the long header even when it is short
};

// Row makers for the usual label rules.
namespace kind {
constexpr RecordKind Fixed(RecordScope scope, std::uint16_t signature, const char* label,
                           std::uint16_t image, std::uint32_t fixedSize,
                           std::span<const FixedField> fields = {}, BodyWriter body = nullptr) {
    return {scope, signature, label, image, fixedSize, fields, body};
}
constexpr RecordKind Numbered(RecordScope scope, std::uint16_t signature, const char* format,
                              std::uint16_t numberAt, std::uint16_t image, std::uint32_t fixedSize,
                              std::span<const FixedField> fields = {}, BodyWriter body = nullptr) {
    return {scope, signature, format, image, fixedSize, fields, body, LabelRule::Number, numberAt};
}
constexpr RecordKind Named(RecordScope scope, std::uint16_t signature, const char* label,
                           std::uint16_t nameLengthAt, std::uint16_t image, std::uint32_t fixedSize,
                           std::span<const FixedField> fields = {}, BodyWriter body = nullptr) {
    return {scope,       signature, label, image, fixedSize, fields, body, LabelRule::ObjectName,
            nameLengthAt};
}
constexpr RecordKind Custom(RecordScope scope, std::uint16_t signature, LabelMaker makeLabel,
                            std::uint16_t image, std::uint32_t fixedSize,
                            std::span<const FixedField> fields = {}, BodyWriter body = nullptr) {
    return {scope, signature, "", image, fixedSize, fields, body, LabelRule::Custom, 0, makeLabel};
}
// The kind written with the long header, as stored records of it always are.
constexpr RecordKind LongHeader(RecordKind kind) {
    kind.longHeader = true;
    return kind;
}
// The kind with the composer of its body.
constexpr RecordKind ComposedBy(RecordKind kind, BodyComposer compose) {
    kind.compose = compose;
    return kind;
}
} // namespace kind

// Every kind of every family, in the order of the files that define them.
std::span<const RecordKind* const> AllRecordKinds();
// The kind of a signature within one scope; null when the scope has none.
const RecordKind* FindRecordKind(RecordScope scope, std::uint16_t signature);
