#include "records/RichTextTables.h"

namespace {
constexpr std::uint32_t E = kSymbolEnumerated;
constexpr std::uint32_t F = kSymbolFlag;
} // namespace

const SymbolEntry kJustification[] = {
    {E, 0, "Left"}, {E, 1, "Right"}, {E, 2, "Block"}, {E, 3, "Center"}, {E, 4, "None"}, kSymbolEnd,
};

const SymbolEntry kTabTypes[] = {
    {E, 0, "Left"}, {E, 1, "Right"}, {E, 2, "Decimal"}, {E, 3, "Center"}, kSymbolEnd,
};

const SymbolEntry kParagraphFlags[] = {
    {F, 0x1, "PaginateBefore"}, {F, 0x2, "KeepWithNext"}, {F, 0x4, "KeepTogether"},
    {F, 0x8, "Propagate"},      {F, 0x10, "HideRO"},      {F, 0x20, "HideRW"},
    {F, 0x40, "HidePR"},        {F, 0x80, "DisplayRM"},   {F, 0x200, "HideCO"},
    {F, 0x400, "Bullet"},       {F, 0x800, "HideIf"},     {F, 0x1000, "NumberedList"},
    {F, 0x2000, "HidePv"},      {F, 0x4000, "HidePvE"},   kSymbolEnd,
};

const SymbolEntry kStyleFlags[] = {
    {F, 0x1, "FontID"},
    {F, 0x2, "InCycle"},
    {F, 0x4, "Permanent"},
    kSymbolEnd,
};

const SymbolEntry kFieldFlags[] = {
    {F, 0x1, "ReadWriters"}, {F, 0x2, "Editable"},    {F, 0x4, "Names"},
    {F, 0x8, "StoreDV"},     {F, 0x10, "Readers"},    {F, 0x20, "Section"},
    {F, 0x40, "Spare3"},     {F, 0x80, "V3FAB"},      {F, 0x100, "Computed"},
    {F, 0x200, "Keywords"},  {F, 0x400, "Protected"}, {F, 0x800, "Reference"},
    {F, 0x1000, "Sign"},     {F, 0x2000, "Seal"},     kSymbolEnd,
};

const SymbolEntry kKeywordStyles[] = {
    {0xC000, 0x0000, "UIStandard"},
    {0xC000, 0x4000, "UICheckBox"},
    {0xC000, 0x8000, "UIRadioButton"},
    {0xC000, 0xC000, "UIAllowNew"},
    kSymbolEnd,
};

const SymbolEntry kExtFieldFlags[] = {
    {F, 0x10000, "LookupEachChar"},
    {F, 0x20000, "KWSelRecalc"},
    {F, 0x40000, "KWHinkyMinky"},
    {F, 0x80000, "AfterValidation"},
    {F, 0x100000, "AcceptCaret"},
    {F, 0x40000000, "KeywordsUICombo"},
    {F, 0x80000000, "KeywordsUIList"},
    {0x30000000, 0x0, "KeywordFrame3D"},
    {0x30000000, 0x10000000, "KeywordFrameStandard"},
    {0x30000000, 0x20000000, "KeywordFrameNone"},
    kSymbolEnd,
};

const SymbolEntry kExtFieldFlags2[] = {{F, 0x1, "KwChoiceRecalc"}, kSymbolEnd};

const SymbolEntry kEntryHelpers[] = {
    {E, 0, "None"}, {E, 1, "AddrDlg"}, {E, 2, "ACLDlg"}, {E, 3, "ViewDlg"}, kSymbolEnd,
};

const SymbolEntry kKeywordFlags[] = {
    {F, 0x1, "Radio"},
    {0x30, 0x00, "Frame3d"},
    {0x30, 0x10, "FrameStandard"},
    {0x30, 0x20, "FrameNone"},
    kSymbolEnd,
};

const SymbolEntry kFormFlags[] = {
    {F, 0x1, "Reference"},
    {F, 0x2, "Mail"},
    {F, 0x4, "NoteRef"},
    {F, 0x8, "NoteRefMain"},
    {F, 0x10, "ReCalc"},
    {F, 0x20, "StoreForm"},
    {F, 0x40, "FGColor"},
    {F, 0x80, "SparesOK"},
    {F, 0x100, "ActivateWhenComposing"},
    {F, 0x200, "ActivateWhenEditing"},
    {F, 0x400, "ActivateWhenReading"},
    {F, 0x800, "ShowWindowCompose"},
    {F, 0x1000, "ShowWindowEdit"},
    {F, 0x2000, "ShowWindowRead"},
    {F, 0x4000, "UpdateResponse"},
    {F, 0x8000, "UpdateParent"},
    kSymbolEnd,
};

const SymbolEntry kFormFlags2[] = {
    {F, 0x1, "IncludeRef"},
    {F, 0x2, "RenderRef"},
    {F, 0x4, "RendCollapse"},
    {F, 0x8, "EditOnOpen"},
    {F, 0x10, "OpenCntxt"},
    {F, 0x20, "CntxtParent"},
    {F, 0x40, "ManVCreate"},
    {F, 0x80, "UpdateSibling"},
    {F, 0x100, "Anonymous"},
    {F, 0x200, "NavigDoclinkInPlace"},
    {F, 0x400, "InterCorvane"},
    {F, 0x800, "DisableFX"},
    {F, 0x1000, "NoMenus"},
    {F, 0x2000, "CheckDisplay"},
    kSymbolEnd,
};
