#include "records/ObjectTables.h"

namespace {
constexpr std::uint32_t E = kSymbolEnumerated;
constexpr std::uint32_t F = kSymbolFlag;
} // namespace

const SymbolEntry kTableBeginFlags[] = {
    {F, 0x1, "AutoCellWidth"},
    {F, 0x2, "V4Borders"},
    {F, 0x4, "3dBordersEmboss"},
    {F, 0x8, "3dBordersExtrude"},
    kSymbolEnd,
};

const SymbolEntry kCellBorder[] = {
    {0x3, 0x0, "LeftNone"},
    {0x3, 0x1, "LeftSingle"},
    {0x3, 0x2, "LeftDouble"},
    {0xC, 0x0, "RightNone"},
    {0xC, 0x4, "RightSingle"},
    {0xC, 0x8, "RightDouble"},
    {0x30, 0x00, "TopNone"},
    {0x30, 0x10, "TopSingle"},
    {0x30, 0x20, "TopDouble"},
    {0xC0, 0x00, "BottomNone"},
    {0xC0, 0x40, "BottomSingle"},
    {0xC0, 0x80, "BottomDouble"},
    kSymbolEnd,
};

const SymbolEntry kCellFlags[] = {
    {F, 0x1, "UseBkgColor"},
    {F, 0x2, "UseV42Borders"},
    {F, 0x4, "InvisibleH"},
    {F, 0x8, "InvisibleV"},
    kSymbolEnd,
};

const SymbolEntry kHotspotTypes[] = {
    {E, 1, "PopUp"},      {E, 2, "HotRegion"}, {E, 3, "Button"},        {E, 4, "File"},
    {E, 7, "Section"},    {E, 8, "Any"},       {E, 11, "Hotlink"},      {E, 12, "Bundle"},
    {E, 13, "V4Section"}, {E, 14, "Subform"},  {E, 15, "ActiveObject"}, kSymbolEnd,
};

const SymbolEntry kHotspotFlags[] = {
    {F, 0x1, "Begin"},         {F, 0x2, "End"},
    {F, 0x4, "Box"},           {F, 0x8, "NoBorder"},
    {F, 0x10, "Formula"},      {F, 0x20, "Movie"},
    {F, 0x40, "Ignore"},       {F, 0x80, "Action"},
    {F, 0x100, "Script"},      {F, 0x1000, "ICorvane"},
    {F, 0x2000, "IsMap"},      {F, 0x4000, "ICorvaneAuto"},
    {F, 0x8000, "IsMapInput"}, {F, 0x10000, "Signed"},
    {F, 0x20000, "Anchor"},    kSymbolEnd,
};

// In stored order, which is the order the names print in.
const SymbolEntry kSectionBarFlags[] = {
    {F, 0x1, "IsExpanded"},
    {F, 0x2, "IsDisabled"},
    {F, 0x1000, "BorderInvisible"},
    {F, 0x2000, "IsFormula"},
    {F, 0x4000, "HideExpanded"},
    {F, 0x10, "AutoExpRead"},
    {F, 0x20, "AutoExpPre"},
    {F, 0x40, "AutoExpEdit"},
    {F, 0x80, "AutoExpPrint"},
    {F, 0x100, "AutoColRead"},
    {F, 0x200, "AutoColPre"},
    {F, 0x400, "AutoColEdit"},
    {F, 0x800, "AutoColPrint"},
    {F, 0x10000, "AutoEdExpRead"},
    {F, 0x20000, "AutoEdExpPre"},
    {F, 0x40000, "AutoEdExpEdit"},
    {F, 0x80000, "AutoEdExpPrint"},
    {F, 0x100000, "AutoEdColRead"},
    {F, 0x200000, "AutoEdColPre"},
    {F, 0x400000, "AutoEdColEdit"},
    {F, 0x800000, "AutoEdColPrint"},
    {F, 0x1000000, "SectionIntended"},
    {F, 0x4000000, "HasColor"},
    {0x70000000, 0x00000000, "BorderShadow"},
    {0x70000000, 0x10000000, "BorderNone"},
    {0x70000000, 0x20000000, "BorderSingle"},
    {0x70000000, 0x30000000, "BorderDouble"},
    {0x70000000, 0x40000000, "BorderTriple"},
    {0x70000000, 0x50000000, "BorderTwoLine"},
    {F, 0x80000000, "Indented"},
    kSymbolEnd,
};

const SymbolEntry kButtonFlags[] = {
    {F, 0x2, "IsDown"},    {F, 0x4, "IsEditable"}, {F, 0x8, "CaretOn"},
    {F, 0x10, "ResizeOn"}, {F, 0x20, "Disabled"},  kSymbolEnd,
};

const SymbolEntry kDdeFlags[] = {
    {F, 0x1, "AutoLink"},    {F, 0x2, "ManualLink"},
    {F, 0x4, "Embedded"},    {F, 0x8, "Initiate"},
    {F, 0x10, "CDP"},        {F, 0x20, "CorvaneLaunched"},
    {F, 0x40, "ConvActive"}, {F, 0x80, "EmbedExtracted"},
    {F, 0x100, "NewObject"}, kSymbolEnd,
};

// Flag rows, so that a value names every row whose bits it holds: 3 is Text Metafile Bitmap.
const SymbolEntry kClipFormats[] = {
    {F, 0x1, "Text"},   {F, 0x2, "Metafile"},  {F, 0x3, "Bitmap"},
    {F, 0x4, "RTF"},    {F, 0x6, "OwnerLink"}, {F, 0x7, "ObjectLink"},
    {F, 0x8, "Native"}, {F, 0x9, "Icon"},      kSymbolEnd,
};

const SymbolEntry kOleFlags[] = {
    {F, 0x1, "Object"},
    {F, 0x2, "Link"},
    {F, 0x4, "AutoLink"},
    {F, 0x8, "ManualLink"},
    {F, 0x10, "NewObject"},
    {F, 0x20, "Pasted"},
    {F, 0x40, "SaveObjWhenChanged"},
    {F, 0x80, "NoVisualize"},
    kSymbolEnd,
};

const SymbolEntry kStorageFormats[] = {{E, 1, "StructStorage"}, {E, 2, "Bento"}, kSymbolEnd};

const SymbolEntry kOleObjectFlags[] = {
    {F, 0x1, "Scripted"}, {F, 0x2, "RunReadOnly"}, {F, 0x4, "Control"}, {F, 0x8, "FitToWindow"},
    kSymbolEnd,
};

const SymbolEntry kLayoutFlags[] = {
    {F, 0x1, "ShowBorder"}, {F, 0x2, "ShowGrid"}, {F, 0x4, "SnapToGrid"},
    {F, 0x8, "3dStyle"},    kSymbolEnd,
};

const SymbolEntry kLayoutTextFlags[] = {
    {F, 0x10000000, "Trans"},          {F, 0x80000000, "VCenter"},
    {0x60000000, 0x00000000, "Left"},  {0x60000000, 0x20000000, "Center"},
    {0x60000000, 0x40000000, "Right"}, kSymbolEnd,
};

const SymbolEntry kLayoutFieldFlags[] = {
    {F, 0x1, "SingleLine"},
    {F, 0x2, "VScroll"},
    {F, 0x4, "MultiSel"},
    {F, 0x8, "Static"},
    {F, 0x10, "NoBorder"},
    {F, 0x20, "Image"},
    SymbolContinueIn(kLayoutTextFlags),
};

const SymbolEntry kLayoutGraphicFlags[] = {{F, 0x1, "Button"}, kSymbolEnd};

const SymbolEntry kStorageTypes[] = {
    {E, 1, "Object"}, {E, 2, "Note"}, {E, 3, "URLConverted"}, {E, 4, "URLMime"}, kSymbolEnd,
};

const SymbolEntry kLoadTypes[] = {{E, 1, "Deferred"}, {E, 2, "OnDemand"}, kSymbolEnd};

const SymbolEntry kLaunchObjects[] = {
    {E, 0, "None"},     {F, 0x1, "OleClass"}, {F, 0x2, "OleObj"}, {F, 0x4, "Doclink"},
    {F, 0x8, "Attach"}, {F, 0x10, "URL"},     kSymbolEnd,
};

const SymbolEntry kHideWhenFlags[] = {
    {F, 0x1, "OpenCreate"}, {F, 0x2, "OpenEdit"},   {F, 0x4, "OpenRead"}, {F, 0x8, "CloseCreate"},
    {F, 0x10, "CloseEdit"}, {F, 0x20, "CloseRead"}, kSymbolEnd,
};

const SymbolEntry kLaunchWhenFlags[] = {
    {F, 0x1, "Create"},
    {F, 0x2, "Edit"},
    {F, 0x4, "Read"},
    kSymbolEnd,
};

const SymbolEntry kOleLaunchFlags[] = {
    {F, 0x1, "EditInPlace"},
    {F, 0x2, "ModalWindow"},
    {F, 0x4, "AdvOptions"},
    kSymbolEnd,
};

const SymbolEntry kCopyToFieldFlags[] = {
    {F, 0x1, "None"},
    {F, 0x2, "First"},
    {F, 0x4, "Named"},
    kSymbolEnd,
};

const SymbolEntry kUnnamed[] = {kSymbolEnd};
