#include "items/FlagItems.h"

#include "items/ItemTables.h"
#include "output/FieldWriter.h"
#include "treelist/TreeListNode.h"

namespace {

constexpr std::uint16_t kClassForm = 0x4;
constexpr std::uint16_t kClassIcon = 0x10;
constexpr std::uint16_t kClassFilter = 0x200;
constexpr std::uint16_t kClassAnyDesign = 0x7FFE;

struct FlagItemRule {
    const char* name;
    std::uint16_t classBits; // 0: any note; else the note class must share a bit
    const SymbolEntry* table;
};

// Later rows replace earlier ones, so the more specific rules come last.
constexpr FlagItemRule kRules[] = {
    {"$Flags", kClassAnyDesign, itemtab::kDesignFlagChars},
    {"$ReplFlags", 0, itemtab::kReplFlagChars},
    {"$AssistFlags", kClassFilter, itemtab::kAgentFlagChars},
    {"$Flags", kClassIcon, itemtab::kIconFlagChars},
    {"$KSECFlags", kClassIcon, itemtab::kLocalSecurityChars},
    {"$FlagsNoRefresh", kClassIcon, itemtab::kTemplateFlagChars},
    {"$KeepPrivate", kClassForm, itemtab::kKeepPrivateChars},
    {"$AutoEditMode", kClassForm, itemtab::kAutoEditChars},
    {"$HideScrollBars", kClassForm, itemtab::kScrollBarChars},
    {"$VersionOpt", kClassForm, itemtab::kVersionChars},
    {"$HFFlags", kClassForm, itemtab::kHeaderFooterChars},
    {"$ConflictAction", 0, itemtab::kConflictChars},
};

constexpr bool AllStartWithDollar() {
    for (const FlagItemRule& rule : kRules) {
        if (rule.name[0] != '$')
            return false;
    }
    return true;
}
static_assert(AllStartWithDollar(), "IsFlagItemName rejects names by their first character");

} // namespace

bool IsFlagItemName(std::string_view itemName) {
    if (itemName.empty() || itemName.front() != '$')
        return false;
    for (const FlagItemRule& rule : kRules) {
        if (CompareNoCase(itemName, rule.name) == 0)
            return true;
    }
    return false;
}

const SymbolEntry* FlagCharTable(std::string_view itemName, std::uint16_t noteClass) {
    const SymbolEntry* chosen = nullptr;
    for (const FlagItemRule& rule : kRules) {
        if (rule.classBits != 0 && (noteClass & rule.classBits) == 0)
            continue;
        if (CompareNoCase(itemName, rule.name) == 0)
            chosen = rule.table;
    }
    return chosen;
}

void WriteFlagItemComment(CFieldWriter& w, std::string_view itemName, std::uint16_t noteClass,
                          const char* text, std::size_t length) {
    const SymbolEntry* table = FlagCharTable(itemName, noteClass);
    if (!table)
        return;
    w.BeginComment();
    w.SymbolChars(text, std::ptrdiff_t(length), table);
    w.EndComment();
}
