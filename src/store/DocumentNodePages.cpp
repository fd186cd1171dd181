#include "store/DocumentNodePages.h"

#include "store/api/Notes.h"

CDocumentNodePages::CDocumentNodePages(const CDocumentNodeOptions& options)
    : values_(options.Values()), compiledText_(options.Values().formula) {}

FormulaCompileResult CDocumentNodePages::LeaveNotesPage() {
    if (values_.titleType == 0)
        return {};
    FormulaCompileResult result = CompileFormulaText(values_.formula);
    if (result.status == store::kNoError) {
        formula_ = std::move(result.formula);
        compiledText_ = values_.formula;
    }
    return result;
}

std::string CDocumentNodePages::OpenFlagLabel(const char* name, std::uint16_t bit) {
    std::string label = name ? name : "";
    if ((bit & store::kOpenHonoured) == 0)
        label += " (no effect)";
    return label;
}

void CDocumentNodePages::SetOpenFlag(std::uint16_t bit, bool on) {
    values_.openFlags = std::uint16_t(on ? values_.openFlags | bit : values_.openFlags & ~bit);
}

std::uint32_t CDocumentNodePages::ApplyTo(CDocumentNodeOptions& options) {
    if (values_.formula != compiledText_) {
        FormulaCompileResult result = CompileFormulaText(values_.formula);
        formula_ = result.status == store::kNoError ? std::move(result.formula) : CompiledFormula();
        compiledText_ = values_.formula;
    }
    return options.Apply(values_, std::move(formula_));
}
