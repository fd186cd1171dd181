#include "store/DatabaseTables.h"

namespace dbtables {

const SymbolEntry kDatabaseClass[] = {
    {kSymbolEnumerated, 0x0000, "ByExtension"},
    {kSymbolEnumerated, 0xFF00, "VLTTestFile"},
    {kSymbolEnumerated, 0xFF01, "NoteFile"},
    {kSymbolEnumerated, 0xFF02, "Desktop"},
    {kSymbolEnumerated, 0xFF03, "NoteClipboard"},
    {kSymbolEnumerated, 0xFF04, "TemplateFile"},
    {kSymbolEnumerated, 0xFF05, "GiantNoteFile"},
    {kSymbolEnumerated, 0xFF06, "HugeNoteFile"},
    {kSymbolEnumerated, 0xFF07, "OneDocFile"},
    {kSymbolEnumerated, 0xFF08, "V2NoteFile"},
    {kSymbolEnumerated, 0xFF09, "EncapsMailFile"},
    {kSymbolEnumerated, 0xFF0A, "LargeEncapsMailFile"},
    {kSymbolEnumerated, 0xFF0B, "V3NoteFile"},
    {kSymbolEnumerated, 0xFF0C, "ObjStore"},
    {kSymbolEnumerated, 0xFF0E, "V4NoteFile"},
    {kSymbolEnumerated, 0xFF0F, "V5NoteFile"},
    kSymbolEnd,
};

const SymbolEntry kReplicaFlags[] = {
    {kSymbolFlag, 0x0004, "Disable"},      {kSymbolFlag, 0x0010, "IgnoreDeletes"},
    {kSymbolFlag, 0x0020, "HiddenDesign"}, {kSymbolFlag, 0x0040, "DoNotCatalog"},
    {kSymbolFlag, 0x0080, "CutoffDelete"}, {kSymbolFlag, 0x0100, "NeverReplicate"},
    {kSymbolFlag, 0x0200, "Abstract"},     {kSymbolFlag, 0x0400, "DoNotBrowse"},
    {kSymbolFlag, 0x0800, "NoChronos"},    {kSymbolFlag, 0x1000, "IgnoreDestDeletes"},
    {kSymbolFlag, 0x2000, "MultiDbIndex"}, kSymbolEnd,
};

const SymbolEntry kReplicaPriority[] = {
    {kSymbolEnumerated, 0, "Low"},
    {kSymbolEnumerated, 1, "Medium"},
    {kSymbolEnumerated, 2, "High"},
    kSymbolEnd,
};

const SymbolEntry kDatabaseOptions[] = {
    {kSymbolFlag, 0x00001, "FTIndex"},
    {kSymbolFlag, 0x00002, "IsObjStore"},
    {kSymbolFlag, 0x00004, "UsesObjStore"},
    {kSymbolFlag, 0x00008, "ObjStoreNever"},
    {kSymbolFlag, 0x00010, "IsLibrary"},
    {kSymbolFlag, 0x00020, "UniformAccess"},
    {kSymbolFlag, 0x00040, "ObjStoreAlways"},
    {kSymbolFlag, 0x00200, "NoBgAgent"},
    {kSymbolFlag, 0x00400, "OutOfService"},
    {kSymbolFlag, 0x00800, "IsPersonalJournal"},
    {kSymbolFlag, 0x01000, "MarkedForDelete"},
    {kSymbolFlag, 0x02000, "HasCalendar"},
    {kSymbolFlag, 0x04000, "IsCatalogIndex"},
    {kSymbolFlag, 0x08000, "IsAddressBook"},
    {kSymbolFlag, 0x10000, "IsSearchScope"},
    {kSymbolFlag, 0x20000, "IsUAConfidential"},
    kSymbolEnd,
};

} // namespace dbtables
