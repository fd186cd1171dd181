// The "Notes", "Open" and "Items" option pages edit a copy of the document's note options.
// This is that copy and what the pages do with it, apart from any window: the enabling of the
// "Notes" page, the compilation when it is left, the open-flag rows, and taking it all back.
#pragma once

#include <cstdint>
#include <string>

#include "output/CompiledFormula.h"
#include "output/DocumentNodeOptions.h"

class CDocumentNodePages {
public:
    explicit CDocumentNodePages(const CDocumentNodeOptions& options);

    DocumentNodeValues& Values() { return values_; }
    const DocumentNodeValues& Values() const { return values_; }

    // "Note &ID", "Is-Default &Flag" and "&Title" are enabled while "&Simple:" is chosen; the
    // formula field and "Use for &Design elements" while "&Formula:" is.
    bool SimpleControlsEnabled() const { return values_.titleType == 0; }
    bool FormulaControlsEnabled() const { return values_.titleType != 0; }

    // Leaving the "Notes" page: with "&Formula:" chosen the formula text is compiled. On failure
    // the result tells the status, the span of a syntax error and the message, and the page must
    // stay; on success the page holds the compiled formula.
    FormulaCompileResult LeaveNotesPage();

    // The rows of the "Open" page: one per bit of the open flag table, ticked when set. A row
    // whose flag changes nothing in what opening a note gives says so after the flag's name.
    static std::string OpenFlagLabel(const char* name, std::uint16_t bit);
    bool OpenFlag(std::uint16_t bit) const { return (values_.openFlags & bit) != 0; }
    void SetOpenFlag(std::uint16_t bit, bool on);

    // Takes the pages' values back into options; returns its change flags. A formula text that
    // changed while "&Simple:" was chosen was never compiled on leaving the page: it is compiled
    // here, and one that does not compile leaves the options with no compiled formula (the
    // "Notes" page reports the error when "&Formula:" is chosen again).
    std::uint32_t ApplyTo(CDocumentNodeOptions& options);

private:
    DocumentNodeValues values_;
    CompiledFormula formula_;
    // The text formula_ was compiled from; while it equals the options' text, the options keep
    // their own compiled formula.
    std::string compiledText_;
};
