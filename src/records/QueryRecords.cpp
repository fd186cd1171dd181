// Query records: the terms that choose the documents an agent works on.
//
// Byte form (0x81), from 2:   Query Header: flags (u32)
// Word form, from 4, after flags (u32):
//   Text Term:   8 ten text lengths (u32), 48 the texts one after another
//   By Field:    8 data type   10 operator   12/20 two times   28/36 two numbers (f64)
//                44 field name length   46 value length   48 field name, value
//   Formula:     8 formula length   10 the formula to the record's end
//   By Form:     8 assist field count   10 form name length   12 assist fields, form name
//   By Folder:   8 folder name length   10 folder name
//   Uses Form:   8 a text list of form names
//   Topic:       8 query length   10 data length   12 query, data
#include <algorithm>

#include "output/FieldWriter.h"
#include "output/SymbolTables.h"
#include "records/CdRecord.h"
#include "records/QueryActionTables.h"
#include "records/RecordComposer.h"
#include "records/RecordKinds.h"

namespace {
using namespace field;
constexpr RecordScope kQuery = RecordScope::Query;

constexpr std::size_t kTextTerms = 10;
constexpr std::size_t kTextTermStart = 48;

constexpr FixedField kHeader[] = {Sym("flags", 2, 4, kQueryHeaderFlags)};
constexpr FixedField kTextTerm[] = {Sym("flags", 4, 4, kTextTermFlags)};
constexpr FixedField kByField[] = {
    Sym("flags", 4, 4, kByFieldFlags),
    Sym("data-type", 8, 2, symtab::kItemTypes),
    Sym("operator", 10, 2, kQueryOperators),
    Of("date1", 12, 8, FieldKind::Time),
    Of("date2", 20, 8, FieldKind::Time),
    Of("number1", 28, 8, FieldKind::Float),
    Of("number2", 36, 8, FieldKind::Float),
    IfAny(Text("field-name", 44, 2)),
    IfAny(Text("value", 46, 2)),
};
constexpr FixedField kFormula[] = {
    Sym("flags", 4, 4, kFormulaTermFlags),
    Num("formula-len", 8, 2),
    Formula("formula"),
};
constexpr FixedField kByForm[] = {Sym("flags", 4, 4, kNoFlags)};
constexpr FixedField kByFolder[] = {
    Sym("flags", 4, 4, kByFolderFlags),
    Text("folder-name", 8, 2),
};
constexpr FixedField kUsesForm[] = {Sym("flags", 4, 4, kNoFlags)};
constexpr FixedField kTopic[] = {
    Sym("flags", 4, 4, kNoFlags),
    Text("topic-query", 8, 2),
};

// The texts of the ten nonzero lengths, one value line each, in one field.
std::uint32_t TextTermBody(TNCdRecord& r, CFieldWriter& writer) {
    if (!r.Has(8, 4 * kTextTerms))
        return r.StopAt(8);
    // The lengths and the texts, as far as the record holds them.
    std::size_t total = 0;
    for (std::size_t i = 0; i < kTextTerms; ++i)
        total += r.At(8 + 4 * i).u32le();
    writer.NextRange(8, std::min(kTextTermStart + total, r.Size()) - 8);
    writer.BeginField("text");
    writer.BreakLine();
    std::size_t at = kTextTermStart;
    for (std::size_t i = 0; i < kTextTerms; ++i) {
        const std::size_t n = r.At(8 + 4 * i).u32le();
        if (n == 0)
            continue;
        // The lengths are not believed past the record: a text is shown as far as it goes,
        // and the texts after a cut one are not there at all.
        const std::size_t from = std::min(at, r.Size());
        const std::size_t take = std::min(n, r.Size() - from);
        writer.Text(r.At(from).text(take).data(), std::ptrdiff_t(take));
        at = from + take;
        if (take < n) {
            writer.ShortComment();
            break;
        }
        writer.NextValueLine();
    }
    writer.EndField();
    return std::uint32_t(at);
}

// The form names as a text list: a count, the lengths, the texts.
std::uint32_t UsesFormBody(TNCdRecord& r, CFieldWriter& writer) {
    // A list that claims more than the record holds is not shown in part: it is the
    // record's unexplained rest.
    if (!r.Has(8, 2))
        return r.StopAt(8);
    const std::size_t count = r.At(8).u16le();
    if (!r.Has(10, 2 * count))
        return r.StopAt(8);
    std::size_t size = 2 + 2 * count;
    for (std::size_t i = 0; i < count; ++i)
        size += r.At(10 + 2 * i).u16le();
    if (!r.Has(8, size))
        return r.StopAt(8);
    writer.NextRange(8, size);
    return std::uint32_t(8 + writer.TextListField("forms", r.At(8).Rest(), size));
}

// The data after the query; cut short, it is left to the remaining data, a hex dump too.
std::uint32_t TopicBody(TNCdRecord& r, CFieldWriter& writer) {
    if (!r.Has(10, 2))
        return r.StopAt(10);
    const std::size_t n = r.At(10).u16le();
    if (!r.Has(r.Cursor(), n))
        return r.StopAt(r.Cursor());
    r.CursorHexDump(writer, "data", std::uint32_t(n));
    return std::uint32_t(r.Cursor());
}

// "text": up to ten texts, their lengths at 8 and the texts from 48.
bool ComposeTextTerm(RecordComposer& c, const std::string& path) {
    const ValueTree* texts = nullptr;
    if (!c.TakeList("text", path, &texts) || !texts)
        return true;
    if (texts->list.size() > kTextTerms)
        return c.Fail(path + ".text", "at most ten texts are stored");
    for (std::size_t i = 0; i < texts->list.size(); ++i) {
        std::string text;
        const std::string where = path + ".text[" + std::to_string(i) + "]";
        if (!c.Text(texts->list[i], where, &text))
            return false;
        if (text.empty())
            return c.Fail(where, "an empty text is not stored: its length would be 0");
        c.Put(8 + 4 * i, 4, std::uint32_t(text.size()));
        c.Append(text);
    }
    return true;
}

// The formula's length, unless "formula-len" says otherwise.
bool ComposeFormulaLength(RecordComposer& c, const std::string&) {
    if (!c.Values().Find("formula-len"))
        c.Put(8, 2, std::uint32_t(std::min<std::size_t>(c.Cursor() - 10, 0xFFFF)));
    return true;
}

// "forms": the form names as a text list at 8.
bool ComposeUsesForm(RecordComposer& c, const std::string& path) {
    const ValueTree* forms = nullptr;
    if (!c.TakeList("forms", path, &forms))
        return false;
    const std::size_t count = forms ? forms->list.size() : 0;
    if (count > 0xFFFF)
        return c.Fail(path + ".forms", "more forms than the count can say");
    c.Append(std::vector<std::uint8_t>(2 + 2 * count, 0));
    c.Put(8, 2, std::uint32_t(count));
    for (std::size_t i = 0; i < count; ++i) {
        std::string name;
        const std::string where = path + ".forms[" + std::to_string(i) + "]";
        if (!c.Text(forms->list[i], where, &name))
            return false;
        if (name.size() > 0xFFFF)
            return c.Fail(where, "the name is longer than its length can say");
        c.Put(10 + 2 * i, 2, std::uint32_t(name.size()));
        c.Append(name);
    }
    return true;
}

// "data": hex after the topic query, its length at 10.
bool ComposeTopic(RecordComposer& c, const std::string& path) {
    const ValueTree* data = c.Take("data");
    std::vector<std::uint8_t> bytes;
    if (!data)
        return true;
    if (!c.Hex(*data, path + ".data", &bytes))
        return false;
    if (bytes.size() > 0xFFFF)
        return c.Fail(path + ".data", "the data is longer than its length can say");
    c.Put(10, 2, std::uint32_t(bytes.size()));
    c.Append(bytes);
    return true;
}

constexpr RecordKind kKinds[] = {
    kind::Fixed(kQuery, 0x81, "Query Header", 8, 6, kHeader),
    kind::ComposedBy(kind::Fixed(kQuery, 0xFF82, "Text Term", 1, 48, kTextTerm, TextTermBody),
                     ComposeTextTerm),
    kind::Fixed(kQuery, 0xFF83, "By Field", 2, 48, kByField),
    kind::Fixed(kQuery, 0xFF84, "By Field", 2, 48, kByField),
    kind::Fixed(kQuery, 0xFF85, "By Field", 2, 48, kByField),
    kind::ComposedBy(kind::Fixed(kQuery, 0xFF86, "Formula", 5, 10, kFormula), ComposeFormulaLength),
    kind::ComposedBy(kind::Fixed(kQuery, 0xFF87, "By Form", 6, 12, kByForm, ByFormBody),
                     ComposeByForm),
    kind::Fixed(kQuery, 0xFF88, "By Folder", 7, 10, kByFolder),
    kind::ComposedBy(kind::Fixed(kQuery, 0xFF89, "Uses Form", 6, 8, kUsesForm, UsesFormBody),
                     ComposeUsesForm),
    kind::ComposedBy(kind::Fixed(kQuery, 0xFF8A, "Topic", 0, 12, kTopic, TopicBody), ComposeTopic),
};
} // namespace

std::span<const RecordKind> QueryRecordKinds() {
    return kKinds;
}
