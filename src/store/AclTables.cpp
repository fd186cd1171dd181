#include "store/AclTables.h"

namespace acltables {

const SymbolEntry kAccessLevel[] = {
    {kSymbolEnumerated, 0, "NoAccess"}, {kSymbolEnumerated, 1, "Depositor"},
    {kSymbolEnumerated, 2, "Reader"},   {kSymbolEnumerated, 3, "Author"},
    {kSymbolEnumerated, 4, "Editor"},   {kSymbolEnumerated, 5, "Designer"},
    {kSymbolEnumerated, 6, "Manager"},  kSymbolEnd,
};

const SymbolEntry kEntryFlags[] = {
    {kSymbolFlag, 0x0001, "AuthorNoCreate"},
    {kSymbolFlag, 0x0002, "Server"},
    {kSymbolFlag, 0x0004, "NoDelete"},
    {kSymbolFlag, 0x0008, "CreatePrAgent"},
    {kSymbolFlag, 0x0010, "CreatePrFolder"},
    {kSymbolFlag, 0x0020, "Person"},
    {kSymbolFlag, 0x0040, "Group"},
    {kSymbolFlag, 0x0080, "CreateFolder"},
    {kSymbolFlag, 0x0100, "CreateKelmarScript"},
    {kSymbolFlag, 0x0200, "PublicReader"},
    {kSymbolFlag, 0x0400, "PublicWriter"},
    {kSymbolFlag, 0x4000, "AdminReaderAuthor"},
    {kSymbolFlag, 0x8000, "AdminServer"},
    kSymbolEnd,
};

const SymbolEntry kListFlags[] = {
    {kSymbolFlag, 0x0001, "UniformAccess"},
    kSymbolEnd,
};

} // namespace acltables
