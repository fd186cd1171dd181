#include "output/NoteTables.h"

namespace notetables {

const SymbolEntry kNoteClass[] = {
    {kSymbolFlag, 0x0001, "Document"},
    {kSymbolFlag, 0x0002, "Help-About"},
    {kSymbolFlag, 0x0004, "Form"},
    {kSymbolFlag, 0x0008, "View"},
    {kSymbolFlag, 0x0010, "Icon"},
    {kSymbolFlag, 0x0020, "Design-Collection"},
    {kSymbolFlag, 0x0040, "ACL"},
    {kSymbolFlag, 0x0080, "Help-Index"},
    {kSymbolFlag, 0x0100, "Help-Using"},
    {kSymbolFlag, 0x0200, "Filter"},
    {kSymbolFlag, 0x0400, "Field"},
    {kSymbolFlag, 0x0800, "ReplFormula"},
    {kSymbolFlag, 0x8000, "Default"},
    {kSymbolFlag, 0x1000, "Private"},
    kSymbolEnd,
};

const SymbolEntry kOpenFlags[] = {
    {kSymbolFlag, 0x0001, "Summary"},         {kSymbolFlag, 0x0002, "NoVerifyDefault"},
    {kSymbolFlag, 0x0004, "Expand"},          {kSymbolFlag, 0x0008, "NoObjects"},
    {kSymbolFlag, 0x0020, "Share"},           {kSymbolFlag, 0x0040, "Canonical"},
    {kSymbolFlag, 0x0100, "MarkRead"},        {kSymbolFlag, 0x0200, "Abstract"},
    {kSymbolFlag, 0x1000, "ResponseIdTable"}, kSymbolEnd,
};

const SymbolEntry kNoteFlags[] = {
    {kSymbolFlag, 0x0001, "ReadOnly"},
    {kSymbolFlag, 0x0002, "Abstracted"},
    {kSymbolFlag, 0x0020, "Linked"},
    kSymbolEnd,
};

} // namespace notetables
