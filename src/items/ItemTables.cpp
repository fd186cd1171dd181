#include "items/ItemTables.h"

namespace itemtab {

constexpr std::uint32_t E = kSymbolEnumerated;
constexpr std::uint32_t F = kSymbolFlag;

// A masked table, not an enumeration: a class without a row shows its bits in hex.
constexpr std::uint32_t kClassMask = 0xFF00;
const SymbolEntry kItemClasses[] = {
    {kClassMask, 0x000, "NoCompute"},
    {kClassMask, 0x100, "Error"},
    {kClassMask, 0x200, "Unavailable"},
    {kClassMask, 0x300, "Number"},
    {kClassMask, 0x400, "Time"},
    {kClassMask, 0x500, "Text"},
    {kClassMask, 0x600, "Formula"},
    {kClassMask, 0x700, "UserID"},
    kSymbolEnd,
};

const SymbolEntry kItemFlags[] = {
    {F, 0x1, "Sign"},         {F, 0x2, "Seal"},
    {F, 0x4, "Summary"},      {F, 0x20, "ReadWriters"},
    {F, 0x40, "Names"},       {F, 0x100, "Placeholder"},
    {F, 0x200, "Protected"},  {F, 0x400, "Readers"},
    {F, 0x1000, "Unchanged"}, kSymbolEnd,
};

const SymbolEntry kTriggerTypes[] = {
    {E, 0, "None"},   {E, 1, "Scheduled"}, {E, 2, "NewMail"}, {E, 3, "Pasted"},
    {E, 4, "Manual"}, {E, 5, "DocUpdate"}, kSymbolEnd,
};

const SymbolEntry kSearchTypes[] = {
    {E, 0, "None"}, {E, 1, "All"},    {E, 2, "New"},    {E, 3, "Modified"}, {E, 4, "Selected"},
    {E, 5, "View"}, {E, 6, "Unread"}, {E, 7, "Prompt"}, {E, 8, "UI"},       kSymbolEnd,
};

const SymbolEntry kIntervalTypes[] = {
    {E, 0, "None"}, {E, 1, "Minutes"}, {E, 2, "Days"}, {E, 3, "Week"}, {E, 4, "Month"}, kSymbolEnd,
};

const SymbolEntry kAgentFlags[] = {
    {F, 0x1, "Hidden"},       {F, 0x2, "NoWeekends"},         {F, 0x4, "StoreHighlights"},
    {F, 0x8, "MailAndPaste"}, {F, 0x10, "ChooseWhenEnabled"}, kSymbolEnd,
};

const SymbolEntry kApplicationIds[] = {
    {E, 1, "Planbook2x"},
    {E, 2, "Planbook4x"},
    {E, 3, "Tabula"},
    kSymbolEnd,
};

const SymbolEntry kSchedEntryAttributes[] = {
    {E, 0, "Null"}, {E, 8, "Appt"}, {E, 1, "Penciled"}, {E, 9, "NonWork"}, kSymbolEnd,
};

const SymbolEntry kCalendarFormats[] = {
    {F, 0xFF, "All"},     {F, 0x1, "TwoDay"},   {F, 0x2, "OneWeek"}, {F, 0x4, "TwoWeeks"},
    {F, 0x8, "OneMonth"}, {F, 0x10, "OneYear"}, kSymbolEnd,
};

const SymbolEntry kCalendarFlags[] = {
    {F, 0x1, "DisplayConflicts"},
    {F, 0x2, "EnableTimeslots"},
    {F, 0x4, "DisplayTimeslotBmps"},
    kSymbolEnd,
};

const SymbolEntry kObjectTypes[] = {
    {0xFFF, 0, "File"},
    {0xFFF, 3, "FilterLeftToDo"},
    {0xFFF, 8, "AssistRunData"},
    kSymbolEnd,
};

const SymbolEntry kObjectFlags[] = {
    {F, 0x8000, "NoCopy"},
    {F, 0x4000, "Preserve"},
    kSymbolEnd,
};

const SymbolEntry kHostTypes[] = {
    {0xF00, 0x000, "MS-DOS"},       {0xF00, 0x100, "OLE"},           {0xF00, 0x200, "Mac"},
    {0xF00, 0x300, "Unknown"},      {0xF00, 0x400, "HPFS"},          {0xF00, 0x500, "OLELib"},
    {0xF00, 0x600, "ByteArrayExt"}, {0xF00, 0x700, "ByteArrayPage"}, {0xF00, 0x800, "CdStorage"},
    {0xF00, 0x900, "Stream"},       {0xF00, 0xF00, "Local"},         kSymbolEnd,
};

const SymbolEntry kCompressionTypes[] = {
    {0xF, 0, "None"},
    {0xF, 1, "Huffman"},
    kSymbolEnd,
};

const SymbolEntry kFileAttributes[] = {
    {F, 0x1, "ReadOnly"},
    {F, 0x2, "Private"},
    kSymbolEnd,
};

const SymbolEntry kFileFlags[] = {
    {F, 0x1, "Sign"},
    {F, 0x2, "InDoc"},
    kSymbolEnd,
};

const SymbolEntry kDesignFlagChars[] = {
    {E, 'A', "Add"},
    {E, 'B', "BackgroundFilter"},
    {E, 'C', "NoCompose"},
    {E, 'D', "NoQuery"},
    {E, 'd', "DefaultDesign"},
    {E, 'E', "MailFilter"},
    {E, 'F', "FolderView"},
    {E, 'f', "V4Agent"},
    {E, 'G', "ViewMap"},
    {E, 'H', "OtherDlg"},
    {E, 'I', "V4PasteAgent"},
    {E, 'L', "KelmarScriptAgent"},
    {E, 'M', "QueryMacroFilter"},
    {E, 'N', "New"},
    {E, 'O', "QueryV4Object"},
    {E, 'o', "PrivateStoreDesk"},
    {E, 'P', "Preserve"},
    {E, 'p', "Private1stUse"},
    {E, 'Q', "QueryFilter"},
    {E, 'q', "AgentShowInSearch"},
    {E, 'S', "V4BackgroundMacro"},
    {E, 'T', "ViewCategorized"},
    {E, 'U', "Subform"},
    {E, 'V', "PrivateInDb"},
    {E, 'X', "V4AgentData"},
    {E, 'x', "SubformNoRender"},
    {E, 'Y', "NoMenu"},
    {E, 'Z', "MultilingualPreserveHidden"},
    {E, '!', "MultilingualElement"},
    {E, '3', "HideFromV3"},
    {E, '4', "HideFromV4"},
    {E, '5', "HideFromV5"},
    {E, '6', "HideFromV6"},
    {E, '7', "HideFromV7"},
    {E, '8', "HideFromV8"},
    {E, '9', "HideFromV9"},
    {E, '0', "MutilingualHide"},
    kSymbolEnd,
};

const SymbolEntry kReplFlagChars[] = {{E, 'n', "NoRepl"}, kSymbolEnd};

const SymbolEntry kAgentFlagChars[] = {
    {E, 'E', "Enabled"}, {E, 'N', "NewCopy"}, {E, 'H', "Hidden"}, {E, 'P', "Private"}, kSymbolEnd,
};

const SymbolEntry kIconFlagChars[] = {
    {E, 'a', "LaunchApp"},
    {E, 'c', "ShowChangedPolicy"},
    {E, 'd', "LaunchDoclink"},
    {E, 'f', "RestrictStoredForms"},
    {E, 'l', "LaunchNavigator"},
    {E, 'n', "NeverShowPolicy"},
    {E, 'p', "AlwaysShowPolicy"},
    {E, 'v', "NoShowView"},
    {E, 's', "SoloNavigator"},
    {E, 't', "ObsoleteDontUse"},
    kSymbolEnd,
};

const SymbolEntry kLocalSecurityChars[] = {
    {E, 's', "SetLocalSec"},
    {E, 'c', "ClearLocalSec"},
    {E, 'p', "CompactLocalSec"},
    kSymbolEnd,
};

const SymbolEntry kTemplateFlagChars[] = {{E, 't', "AdvTemplate"}, kSymbolEnd};

const SymbolEntry kConflictChars[] = {{E, '1', "AutoMerge"}, kSymbolEnd};

const SymbolEntry kKeepPrivateChars[] = {{E, '1', "Yes"}, {E, '2', "YesResend"}, kSymbolEnd};

const SymbolEntry kAutoEditChars[] = {{E, '1', "Yes"}, kSymbolEnd};

const SymbolEntry kScrollBarChars[] = {
    {E, '1', "None"},
    {E, '2', "Horz"},
    {E, '3', "Vert"},
    kSymbolEnd,
};

const SymbolEntry kVersionChars[] = {
    {E, '0', "None"},         {E, '1', "ManualResponse"},
    {E, '2', "AutoResponse"}, {E, '3', "ManualParent"},
    {E, '4', "AutoParent"},   {E, '5', "ManualSibling"},
    {E, '6', "AutoSibling"},  kSymbolEnd,
};

const SymbolEntry kHeaderFooterChars[] = {{E, '1', "NoPrintOnFirstPage"}, kSymbolEnd};

} // namespace itemtab
