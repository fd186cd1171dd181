#include "output/DocumentNodeOptions.h"

#include "common/Settings.h"
#include "output/MessageBox.h"

namespace {

// The integer keys, each bound to its member; the formula text is the one key of text.
struct IntKey {
    const char* key;
    int DocumentNodeValues::*member;
};
constexpr IntKey kIntKeys[] = {
    {"NoteID", &DocumentNodeValues::noteId},
    {"Title", &DocumentNodeValues::title},
    {"IsDefault", &DocumentNodeValues::isDefault},
    {"FormulaDesign", &DocumentNodeValues::formulaDesign},
    {"TitleType", &DocumentNodeValues::titleType},
    {"CountNotes", &DocumentNodeValues::countNotes},
    {"SortItems", &DocumentNodeValues::sortItems},
    {"IncludeItemValue", &DocumentNodeValues::includeItemValue},
};

} // namespace

void CDocumentNodeOptions::Load(const CSettings& settings) {
    const DocumentNodeValues defaults;
    for (const IntKey& k : kIntKeys)
        values_.*k.member = int(settings.GetInt(kDocumentNodesSection, k.key, defaults.*k.member));
    values_.openFlags =
        std::uint16_t(settings.GetInt(kDocumentNodesSection, "OpenFlags", defaults.openFlags));
    values_.formula = settings.GetString(kDocumentNodesSection, "Formula", defaults.formula);

    FormulaCompileResult compiled = CompileFormulaText(values_.formula);
    if (compiled.status == store::kNoError) {
        formula_ = std::move(compiled.formula);
    } else {
        formula_ = CompiledFormula();
        if (compiled.status == store::kFormulaSyntax)
            ShowStatusMessage(compiled.status, nullptr);
        else
            ShowStatusMessage(compiled.status, "Couldn't compile stored formula");
    }
}

bool CDocumentNodeOptions::Save(CSettings& settings) const {
    bool ok = true;
    for (const IntKey& k : kIntKeys)
        ok = settings.WriteInt(kDocumentNodesSection, k.key, values_.*k.member) && ok;
    ok = settings.WriteInt(kDocumentNodesSection, "OpenFlags", values_.openFlags) && ok;
    ok = settings.WriteString(kDocumentNodesSection, "Formula", values_.formula) && ok;
    return ok;
}

std::uint32_t CDocumentNodeOptions::Apply(const DocumentNodeValues& values,
                                          CompiledFormula&& formula) {
    std::uint32_t changes = 0;
    for (const IntKey& k : kIntKeys) {
        if (values_.*k.member != values.*k.member) {
            values_.*k.member = values.*k.member;
            changes |= kLabelsChanged;
        }
    }
    if (values_.formula != values.formula) {
        values_.formula = values.formula;
        formula_ = std::move(formula);
        changes |= kLabelsChanged;
    }
    values_.openFlags = values.openFlags;
    return changes;
}
