// The symbol tables of item values: item classes and flags, agent information, schedule lists,
// calendar formats, object descriptors and the single-character flag items. Each ends with
// kSymbolEnd.
#pragma once

#include "output/SymbolEntry.h"

namespace itemtab {
extern const SymbolEntry kItemClasses[]; // type AND 0xFF00
extern const SymbolEntry kItemFlags[];

extern const SymbolEntry kTriggerTypes[];
extern const SymbolEntry kSearchTypes[];
extern const SymbolEntry kIntervalTypes[];
extern const SymbolEntry kAgentFlags[];

extern const SymbolEntry kApplicationIds[];
extern const SymbolEntry kSchedEntryAttributes[];

extern const SymbolEntry kCalendarFormats[];
extern const SymbolEntry kCalendarFlags[];

extern const SymbolEntry kObjectTypes[];
extern const SymbolEntry kObjectFlags[];
extern const SymbolEntry kHostTypes[];
extern const SymbolEntry kCompressionTypes[];
extern const SymbolEntry kFileAttributes[];
extern const SymbolEntry kFileFlags[];

// Flag items: one row per flag character.
extern const SymbolEntry kDesignFlagChars[];
extern const SymbolEntry kReplFlagChars[];
extern const SymbolEntry kAgentFlagChars[];
extern const SymbolEntry kIconFlagChars[];
extern const SymbolEntry kLocalSecurityChars[];
extern const SymbolEntry kTemplateFlagChars[];
extern const SymbolEntry kConflictChars[];
extern const SymbolEntry kKeepPrivateChars[];
extern const SymbolEntry kAutoEditChars[];
extern const SymbolEntry kScrollBarChars[];
extern const SymbolEntry kVersionChars[];
extern const SymbolEntry kHeaderFooterChars[];
} // namespace itemtab
