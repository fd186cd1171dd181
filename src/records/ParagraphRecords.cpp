// Paragraph records.
//
// Pab Definition (word form):
//   4 pab-id   6 justify-mode   8 line-spacing   10/12 spacing before/after
//   14 left-margin   16 right-margin   18 first-line-left-margin
//   20 tab count   22 20 tab positions (i16)   62 flags   64 tab types (2 bits each)   68 spare
#include "output/FieldWriter.h"
#include "output/OutputStrings.h"
#include "records/CdRecord.h"
#include "records/RecordComposer.h"
#include "records/RecordKinds.h"
#include "records/RichTextTables.h"

namespace {
using namespace field;
using outstr::kUnitLines;
using outstr::kUnitTwips;
constexpr RecordScope kBase = RecordScope::RichTextBase;
constexpr RecordScope kRich = RecordScope::RichText;

constexpr std::size_t kMaxTabs = 20;

constexpr FixedField kPabDefinitionHead[] = {
    Num("pab-id", 4, 2),
    Sym("justify-mode", 6, 2, kJustification),
    Measure("line-spacing", 8, 2, kUnitLines),
    Measure("paragraph-spacing-before", 10, 2, kUnitLines),
    Measure("paragraph-spacing-after", 12, 2, kUnitLines),
    Measure("left-margin", 14, 2, kUnitTwips),
    Measure("right-margin", 16, 2, kUnitTwips),
    Measure("first-line-left-margin", 18, 2, kUnitTwips),
};
constexpr FixedField kPabFlags[] = {Sym("flags", 62, 2, kParagraphFlags)};
constexpr FixedField kPabSpare[] = {Spare("spare", 68, 2)};

constexpr FixedField kPabReference[] = {Num("pab-id", 2, 2)};
constexpr FixedField kPabFormulaRef[] = {Num("source-pab-id", 2, 2), Num("dest-pab-id", 4, 2)};
constexpr FixedField kPabHide[] = {Num("pab-id", 4, 2), Spare("reserved", 6, 8),
                                   Formula("formula")};

// The tab stops: a count, an array of room for 20, the flags between, then their types.
std::uint32_t PabDefinitionBody(TNCdRecord& r, CFieldWriter& writer) {
    if (!r.Has(20, 2))
        return r.StopAt(20);
    // The stored array has room for 20 positions; a larger count is not believed past it.
    const std::size_t count = r.At(20).u16le();
    const std::size_t tabs = std::min(count, kMaxTabs);
    if (tabs > 0) {
        if (!r.Has(22, 2 * tabs))
            return r.StopAt(20);
        // The count and the array's room for 20 (of a record that holds it all).
        writer.NextRange(20, r.Has(20, 42) ? 42 : 2 + 2 * tabs);
        writer.BeginField("tabs");
        for (std::size_t i = 0; i < tabs; ++i) {
            writer.Number(std::int16_t(r.At(22 + 2 * i).u16le()));
            writer.Space();
        }
        writer.EndField();
        if (count > kMaxTabs)
            writer.Comment("*** %zu tabs stored, room for %zu", count, kMaxTabs);
    }
    // A record cut before the flags: the unused tab slots it holds are not explained.
    if (!r.Has(62, 2))
        return r.StopAt(22 + 2 * tabs);
    r.WriteFixed(writer, kPabFlags);
    if (tabs > 0) {
        if (!r.Has(64, 4))
            return r.StopAt(64);
        const std::uint32_t types = r.At(64).u32le();
        writer.NextRange(64, 4);
        writer.BeginField("tab-types");
        // 16 two-bit slots: the types of tabs past the 16th are not stored.
        for (std::size_t i = 0; i < std::min<std::size_t>(tabs, 16); ++i) {
            writer.Symbol((types >> (2 * i)) & 3, kTabTypes);
            writer.Space();
        }
        writer.EndField();
    }
    r.WriteFixed(writer, kPabSpare);
    return 70;
}

bool ComposePabDefinition(RecordComposer& c, const std::string& path) {
    const ValueTree *tabs = nullptr, *types = nullptr;
    if (!c.TakeList("tabs", path, &tabs) || !c.TakeList("tab-types", path, &types))
        return false;
    const std::size_t count = tabs ? tabs->list.size() : 0;
    if (count > kMaxTabs)
        return c.Fail(path + ".tabs", "at most 20 tabs are stored");
    c.Put(20, 2, std::uint32_t(count));
    for (std::size_t i = 0; i < count; ++i) {
        double position = 0;
        const std::string where = path + ".tabs[" + std::to_string(i) + "]";
        if (!c.Number(tabs->list[i], where, &position))
            return false;
        if (position < -32768 || position > 32767)
            return c.Fail(where, "a tab position from -32768 to 32767 is expected");
        c.Put(22 + 2 * i, 2, std::uint32_t(std::int32_t(position)));
    }
    if (types && types->list.size() > std::min<std::size_t>(count, 16))
        return c.Fail(path + ".tab-types", "one type for each of the first 16 tabs at most");
    std::uint32_t packed = 0;
    for (std::size_t i = 0; types && i < types->list.size(); ++i) {
        std::uint32_t type = 0;
        const std::string where = path + ".tab-types[" + std::to_string(i) + "]";
        if (!c.Symbol(types->list[i], where, kTabTypes, &type))
            return false;
        if (type > 3)
            return c.Fail(where, "a tab type from 0 to 3 is expected");
        packed |= type << (2 * i);
    }
    c.Put(64, 4, packed);
    return c.Rows(kPabFlags, 0, nullptr, path) && c.Rows(kPabSpare, 0, nullptr, path);
}

constexpr RecordKind kKinds[] = {
    kind::Fixed(kBase, 0x81, "Paragraph", 1, 2),
    kind::ComposedBy(kind::Numbered(kBase, 0xFF82, "Pab Definition %d", 4, 2, 70,
                                    kPabDefinitionHead, PabDefinitionBody),
                     ComposePabDefinition),
    kind::Numbered(kBase, 0x83, "Pab Reference %d", 2, 3, 4, kPabReference),
    kind::Numbered(kRich, 0xBC, "Pab Formula Ref %d", 2, 38, 6, kPabFormulaRef),
    kind::Numbered(kRich, 0xFFBB, "Pab Hide %d", 4, 38, 14, kPabHide),
};
} // namespace

std::span<const RecordKind> ParagraphRecordKinds() {
    return kKinds;
}
