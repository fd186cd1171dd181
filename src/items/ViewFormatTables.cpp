#include "items/ViewFormatTables.h"

namespace viewtab {

constexpr std::uint32_t E = kSymbolEnumerated;
constexpr std::uint32_t F = kSymbolFlag;

// Flag rows: "Table" (0) matches every style, so it always comes first.
const SymbolEntry kViewStyles[] = {
    {F, 0, "Table"}, {F, 0x10, "Day"}, {F, 0x11, "Week"}, {F, 0x12, "Month"}, kSymbolEnd,
};

const SymbolEntry kViewFlags[] = {
    {F, 0x1, "Collapsed"},           {F, 0x2, "FlatIndex"},
    {F, 0x4, "DispAllUnread"},       {F, 0x8, "Conflict"},
    {F, 0x10, "DispUnreadDocs"},     {F, 0x20, "GotoTopOnOpen"},
    {F, 0x40, "GotoBottomOnOpen"},   {F, 0x80, "AlternateRowColoring"},
    {F, 0x100, "HideHeadings"},      {F, 0x200, "HideLeftMargin"},
    {F, 0x400, "SimpleHeadings"},    {F, 0x800, "VariableLineCount"},
    {F, 0x1000, "GotoTopOnRefresh"}, {F, 0x2000, "GotoBottomOnRefresh"},
    {F, 0x4000, "ExtendLastColumn"}, kSymbolEnd,
};

const SymbolEntry kColumnSignatures[] = {
    {E, 0x4356, "ViewColumnFormatSignature"},
    {E, 0x4357, "ViewColumnFormatSignature2"},
    kSymbolEnd,
};

const SymbolEntry kColumnFlags1[] = {
    {F, 0x1, "Sort"},
    {F, 0x2, "Categorize"},
    {F, 0x4, "Descending"},
    {F, 0x8, "Hidden"},
    {F, 0x10, "Response"},
    {F, 0x20, "HideDetail"},
    {F, 0x40, "Icon"},
    {F, 0x80, "NoResize"},
    {F, 0x100, "ResortAscending"},
    {F, 0x200, "ResortDescending"},
    {F, 0x400, "Twistie"},
    {F, 0x800, "ResortToView"},
    {F, 0x1000, "SecondResort"},
    {F, 0x2000, "SecondResortDescending"},
    {F, 0x4000, "CaseInsensitiveSort"},
    {F, 0x8000, "AccentInsensitiveSort"},
    kSymbolEnd,
};

// Bit fields: alignment (0x3), totals (0x3C, counted in units of 0x4), header alignment (0xC0,
// in units of 0x40).
const SymbolEntry kColumnFlags2[] = {
    {0x3, 0, "AlignLeft"},
    {0x3, 1, "AlignRight"},
    {0x3, 2, "AlignCenter"},
    {0x3C, 0x1 << 2, "Total"},
    {0x3C, 0x2 << 2, "AvgPerChild"},
    {0x3C, 0x3 << 2, "PctOverall"},
    {0x3C, 0x4 << 2, "PctParent"},
    {0x3C, 0x5 << 2, "AvgPerEntry"},
    {0xC0, 0, "HeaderAlignLeft"},
    {0xC0, 0x1 << 6, "HeaderAlignRight"},
    {0xC0, 0x2 << 6, "HeaderAlignCenter"},
    {F, 0x100, "SortPermute"},
    kSymbolEnd,
};

const SymbolEntry kFormatDataTypes[] = {
    {E, 0, "Number"},
    {E, 1, "TimeDate"},
    {E, 2, "Text"},
    kSymbolEnd,
};

const SymbolEntry kTableSignatures[] = {{E, 0x2BAD, "ValidViewFormatSig"}, kSymbolEnd};

const SymbolEntry kSpacings[] = {
    {E, 0, "Single"},     {E, 1, "OnePoint25"}, {E, 2, "OnePoint50"},
    {E, 3, "OnePoint75"}, {E, 4, "Double"},     kSymbolEnd,
};

const SymbolEntry kCollationFlags[] = {{F, 0x1, "Unique"}, kSymbolEnd};
const SymbolEntry kCollationSignatures[] = {{E, 0x44, "CollationSignature"}, kSymbolEnd};

const SymbolEntry kKeyFlags[] = {
    {F, 0x1, "Descending"},
    {F, 0x2, "CaseInsensitive"},
    {F, 0x4, "AccentInsensitive"},
    {F, 0x8, "Permuted"},
    kSymbolEnd,
};

const SymbolEntry kDescriptorSignatures[] = {{E, 0x66, "CollateDescriptorSignature"}, kSymbolEnd};

// Flag rows: "Key" (0) matches every key type.
const SymbolEntry kKeyTypes[] = {
    {F, 0, "Key"}, {F, 3, "NoteID"}, {F, 6, "Tumbler"}, {F, 7, "Category"}, kSymbolEnd,
};

} // namespace viewtab
