// Paragraph records.
//
// Pab Definition (word form):
//   4 pab-id   6 justify-mode   8 line-spacing   10/12 spacing before/after
//   14 left-margin   16 right-margin   18 first-line-left-margin
//   20 tab count   22 20 tab positions (i16)   62 flags   64 tab types (2 bits each)   68 spare
#include "records/ParagraphRecords.h"

#include "output/FieldWriter.h"
#include "output/OutputStrings.h"
#include "records/RichTextTables.h"

namespace {
using outstr::kUnitLines;
using outstr::kUnitTwips;

constexpr std::size_t kMaxTabs = 20;

constexpr FixedField kPabDefinitionHead[] = {
    {"pab-id", 4, 2, FieldKind::Number},
    {"justify-mode", 6, 2, FieldKind::Symbol, kJustification},
    {"line-spacing", 8, 2, FieldKind::Measure, nullptr, 0xFFFFFFFFu, 0, kUnitLines},
    {"paragraph-spacing-before", 10, 2, FieldKind::Measure, nullptr, 0xFFFFFFFFu, 0, kUnitLines},
    {"paragraph-spacing-after", 12, 2, FieldKind::Measure, nullptr, 0xFFFFFFFFu, 0, kUnitLines},
    {"left-margin", 14, 2, FieldKind::Measure, nullptr, 0xFFFFFFFFu, 0, kUnitTwips},
    {"right-margin", 16, 2, FieldKind::Measure, nullptr, 0xFFFFFFFFu, 0, kUnitTwips},
    {"first-line-left-margin", 18, 2, FieldKind::Measure, nullptr, 0xFFFFFFFFu, 0, kUnitTwips},
};
constexpr FixedField kPabFlags = {"flags", 62, 2, FieldKind::Symbol, kParagraphFlags};
constexpr FixedField kPabSpare = {"spare", 68, 2, FieldKind::Spare};

constexpr FixedField kPabReference[] = {{"pab-id", 2, 2, FieldKind::Number}};
constexpr FixedField kPabFormulaRef[] = {
    {"source-pab-id", 2, 2, FieldKind::Number},
    {"dest-pab-id", 4, 2, FieldKind::Number},
};
constexpr FixedField kPabHide[] = {
    {"pab-id", 4, 2, FieldKind::Number},
    {"reserved", 6, 8, FieldKind::Spare},
};
} // namespace

void TNCdParagraph::MakeLabel() {
    SetLabel("Paragraph");
}

void TNCdPabDefinition::MakeLabel() {
    SetLabelFormat("Pab Definition %d", At(4).u16le());
}

std::uint32_t TNCdPabDefinition::WriteBody(CFieldWriter& writer) {
    if (!WriteFixed(writer, kPabDefinitionHead) || !Has(20, 2))
        return StopAt(20);
    // The stored array has room for 20 positions; a larger count is not believed past it.
    const std::size_t count = At(20).u16le();
    const std::size_t tabs = std::min(count, kMaxTabs);
    if (tabs > 0) {
        if (!Has(22, 2 * tabs))
            return StopAt(20);
        writer.BeginField("tabs");
        for (std::size_t i = 0; i < tabs; ++i) {
            writer.Number(std::int16_t(At(22 + 2 * i).u16le()));
            writer.Space();
        }
        writer.EndField();
        if (count > kMaxTabs)
            writer.Comment("*** %zu tabs stored, room for %zu", count, kMaxTabs);
    }
    // A record cut before the flags: the unused tab slots it holds are not explained.
    if (!Has(kPabFlags.offset, kPabFlags.width))
        return StopAt(22 + 2 * tabs);
    WriteFixed(writer, std::span(&kPabFlags, 1));
    if (tabs > 0) {
        if (!Has(64, 4))
            return StopAt(64);
        const std::uint32_t types = At(64).u32le();
        writer.BeginField("tab-types");
        // 16 two-bit slots: the types of tabs past the 16th are not stored.
        for (std::size_t i = 0; i < std::min<std::size_t>(tabs, 16); ++i) {
            writer.Symbol((types >> (2 * i)) & 3, kTabTypes);
            writer.Space();
        }
        writer.EndField();
    }
    WriteFixed(writer, std::span(&kPabSpare, 1));
    return 70;
}

void TNCdPabReference::MakeLabel() {
    SetLabelFormat("Pab Reference %d", At(2).u16le());
}

std::uint32_t TNCdPabReference::WriteBody(CFieldWriter& writer) {
    WriteFixed(writer, kPabReference);
    return 4;
}

void TNCdPabFormulaRef::MakeLabel() {
    SetLabelFormat("Pab Formula Ref %d", At(2).u16le());
}

std::uint32_t TNCdPabFormulaRef::WriteBody(CFieldWriter& writer) {
    WriteFixed(writer, kPabFormulaRef);
    return 6;
}

void TNCdPabHide::MakeLabel() {
    SetLabelFormat("Pab Hide %d", At(4).u16le());
}

std::uint32_t TNCdPabHide::WriteBody(CFieldWriter& writer) {
    if (!WriteFixed(writer, kPabHide))
        return 0;
    CursorFormula(writer, "formula", kRest);
    return std::uint32_t(Cursor());
}
