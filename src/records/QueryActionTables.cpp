#include "records/QueryActionTables.h"

#include <algorithm>

#include "output/FieldReader.h"
#include "output/FieldWriter.h"
#include "output/SymbolTables.h"
#include "records/CdRecord.h"
#include "records/RecordComposer.h"

namespace {
constexpr std::uint32_t E = kSymbolEnumerated;
constexpr std::uint32_t F = kSymbolFlag;

// An assist field: its size (the next one starts there), operator, name length, value length,
// value data type, 2 spare bytes; then the name and the value.
constexpr std::size_t kAssistHead = 12;
} // namespace

const SymbolEntry kNoFlags[] = {kSymbolEnd};

const SymbolEntry kQueryHeaderFlags[] = {{F, 0x1, "IncludeDescendants"}, kSymbolEnd};

const SymbolEntry kTextTermFlags[] = {
    {F, 0x1, "Raw"},   {F, 0x2, "Verity"},     {F, 0x4, "And"}, {F, 0x8, "Accrue"},
    {F, 0x10, "Near"}, {F, 0x20, "PlainText"}, kSymbolEnd,
};

const SymbolEntry kByFieldFlags[] = {{F, 0x1, "ByDate"}, {F, 0x2, "ByAuthor"}, kSymbolEnd};

const SymbolEntry kQueryOperators[] = {
    {E, 1, "Greater"},   {E, 2, "Less"},       {E, 3, "NotEqual"}, {E, 4, "Between"},
    {E, 5, "NotWithin"}, {E, 6, "Equal"},      {E, 7, "Contains"}, {E, 8, "InTheLast"},
    {E, 9, "InTheNext"}, {E, 10, "OlderThan"}, {E, 11, "DueIn"},   {E, 12, "DoesNotContain"},
    kSymbolEnd,
};

const SymbolEntry kFormulaTermFlags[] = {{F, 0x1, "PlainText"}, kSymbolEnd};

const SymbolEntry kByFolderFlags[] = {{F, 0x1, "Private"}, kSymbolEnd};

const SymbolEntry kAssistOperators[] = {
    {E, 1, "Replace"},
    {E, 2, "Append"},
    {E, 3, "Remove"},
    kSymbolEnd,
};

const SymbolEntry kModifyFlags[] = {{F, 0x1, "Replace"}, {F, 0x2, "Append"}, kSymbolEnd};

const SymbolEntry kReplyFlags[] = {
    {F, 0x1, "ReplyToAll"},   {F, 0x2, "IncludeDoc"}, {F, 0x4, "SaveMail"},
    {F, 0x8, "NoAgentReply"}, {F, 0x10, "ReplyOnce"}, kSymbolEnd,
};

const SymbolEntry kFormulaActionFlags[] = {{F, 0x1, "SelectDocs"}, {F, 0x2, "NewCopy"}, kSymbolEnd};

const SymbolEntry kSendMailFlags[] = {
    {F, 0x1, "IncludeDoc"},      {F, 0x2, "IncludeLink"},
    {F, 0x4, "SaveMail"},        {F, 0x8, "ToFormula"},
    {F, 0x10, "CcFormula"},      {F, 0x20, "BccFormula"},
    {F, 0x40, "SubjectFormula"}, kSymbolEnd,
};

const SymbolEntry kDbCopyFlags[] = {{F, 0x1, "Move"}, kSymbolEnd};

const SymbolEntry kFolderFlags[] = {{F, 0x1, "NewFolder"}, {F, 0x2, "PrivateFolder"}, kSymbolEnd};

const SymbolEntry kNewsletterFlags[] = {
    {F, 0x1, "Summary"},         {F, 0x2, "Gather"},
    {F, 0x4, "IncludeAll"},      {F, 0x8, "ToFormula"},
    {F, 0x10, "CcFormula"},      {F, 0x20, "BccFormula"},
    {F, 0x40, "SubjectFormula"}, kSymbolEnd,
};

namespace {

// A text of n stored bytes at `at`, as far as the record holds it; returns where it ends.
std::size_t BoundedText(TNCdRecord& r, CFieldWriter& writer, const char* label, std::size_t at,
                        std::size_t n) {
    const std::size_t from = std::min(at, r.Size());
    const std::size_t take = std::min(n, r.Size() - from);
    writer.NextRange(from, take);
    writer.TextField(label, r.At(from).text(take).data(), std::ptrdiff_t(take));
    if (take < n)
        writer.ShortComment();
    return from + take;
}

// One assist field at `at`; false (the record stopped) when it is not all there.
bool WriteAssistField(TNCdRecord& r, CFieldWriter& writer, std::size_t at) {
    if (!r.Has(at, kAssistHead))
        return r.StopAt(at);
    FieldReader in(writer, r.At(at));
    const std::size_t size = in.Plain().u16le();
    const auto op = in.Keep([](ByteReader& b) { return b.u16le(); });
    const std::size_t nameLength = in.Plain().u16le();
    const std::size_t valueLength = in.Plain().u16le();
    const auto dataType = in.Keep([](ByteReader& b) { return b.u16le(); });
    // Its stored size, or what its texts take when that is more.
    const std::size_t shown = std::min(kAssistHead + nameLength + valueLength, r.Size() - at);
    writer.NextRange(at, std::max(shown, std::min(size, r.Size() - at)));
    writer.BeginField("assist-field");
    writer.SymbolField("operator", in.Name(op), kAssistOperators);
    writer.SymbolField("value-data-type", in.Name(dataType), symtab::kItemTypes);
    writer.SpareField("spare", in.bytes(2), 2);
    const std::size_t nameEnd = BoundedText(r, writer, "field-name", at + kAssistHead, nameLength);
    const std::size_t end = BoundedText(r, writer, "value", nameEnd, valueLength);
    writer.EndField();
    // A stored size past the record's end: what follows the value is not there to explain.
    if (!r.Has(at, size))
        return r.StopAt(std::max(end, at + kAssistHead));
    r.SetCursor(at + size);
    return true;
}

} // namespace

std::uint32_t ByFormBody(TNCdRecord& r, CFieldWriter& writer) {
    if (!r.Has(8, 4))
        return r.StopAt(8);
    const std::size_t count = r.At(8).u16le();
    // Each assist field starts where the stored size of the one before ends, whatever its
    // name and value lengths say. A size of 0 shows the same bytes again: the count is shown
    // as stored, and at most 65535 times.
    for (std::size_t i = 0; i < count; ++i)
        if (!WriteAssistField(r, writer, r.Cursor()))
            return 0;
    r.CursorText(writer, "form-name", r.At(10).u16le());
    return std::uint32_t(r.Cursor());
}

bool ComposeByForm(RecordComposer& c, const std::string& path) {
    const ValueTree* fields = nullptr;
    if (!c.TakeList("assist-field", path, &fields))
        return false;
    const std::size_t count = fields ? fields->list.size() : 0;
    if (count > 0xFFFF)
        return c.Fail(path + ".assist-field", "more assist fields than the count can say");
    c.Put(8, 2, std::uint32_t(count));
    for (std::size_t i = 0; i < count; ++i) {
        const ValueTree& field = fields->list[i];
        const std::string where = path + ".assist-field[" + std::to_string(i) + "]";
        if (!field.Is(ValueTree::Type::Members))
            return c.Fail(where, "the fields of an assist field are expected");
        std::uint32_t op = 0, type = 0;
        std::string name, value;
        std::vector<std::uint8_t> spare(2, 0);
        const ValueTree* v = nullptr;
        if (((v = c.Take("operator", &field)) &&
             !c.Symbol(*v, where + ".operator", kAssistOperators, &op)) ||
            ((v = c.Take("value-data-type", &field)) &&
             !c.Symbol(*v, where + ".value-data-type", symtab::kItemTypes, &type)) ||
            ((v = c.Take("spare", &field)) && !c.Hex(*v, where + ".spare", &spare)) ||
            ((v = c.Take("field-name", &field)) && !c.Text(*v, where + ".field-name", &name)) ||
            ((v = c.Take("value", &field)) && !c.Text(*v, where + ".value", &value)) ||
            !c.AllTaken(field, where))
            return false;
        const std::size_t size = kAssistHead + name.size() + value.size();
        if (op > 0xFFFF || type > 0xFFFF || spare.size() != 2 || size > 0xFFFF)
            return c.Fail(where, "the operator and type are 16-bit values, the spare 2 bytes, "
                                 "and the whole at most 65535 bytes");
        const std::size_t at = c.Cursor();
        c.Append(std::vector<std::uint8_t>(kAssistHead, 0));
        c.Put(at, 2, std::uint32_t(size));
        c.Put(at + 2, 2, op);
        c.Put(at + 4, 2, std::uint32_t(name.size()));
        c.Put(at + 6, 2, std::uint32_t(value.size()));
        c.Put(at + 8, 2, type);
        c.Put(at + 10, 1, spare[0]);
        c.Put(at + 11, 1, spare[1]);
        c.Append(name);
        c.Append(value);
    }
    constexpr FixedField kFormName[] = {field::Text("form-name", 10, 2)};
    return c.Rows(kFormName, 0, nullptr, path);
}
