// How note nodes are labelled and opened, and how their items are shown: the document's
// settings section "Document Nodes". The option pages edit a copy of the values; Apply takes
// them back and tells which views must be redrawn.
#pragma once

#include <cstdint>
#include <string>

#include "output/CompiledFormula.h"
#include "output/UpdateHints.h"

class CSettings;

struct DocumentNodeValues {
    int noteId = 0;        // the label starts with the note ID in hexadecimal
    int title = 1;         // the label contains the title
    int isDefault = 1;     // "*" marks default design elements
    int formulaDesign = 0; // the label formula applies to design elements too
    int titleType = 0;     // 0 simple, 1 formula
    std::string formula;   // the label formula's source
    int countNotes = 1;    // database-level document sets count their notes
    std::uint16_t openFlags = 0;
    int sortItems = 1;
    int includeItemValue = 0;

    friend bool operator==(const DocumentNodeValues&, const DocumentNodeValues&) = default;
};

class CDocumentNodeOptions {
public:
    // The change flag of Apply: note labels and item lists must be made again.
    static constexpr std::uint32_t kLabelsChanged = hint::kNoteLabels;

    const DocumentNodeValues& Values() const { return values_; }
    // The label formula compiled; empty when there is none or it did not compile.
    const CompiledFormula& Formula() const { return formula_; }

    // Reads every key with its default, then compiles the formula. A formula that does not
    // compile is shown in the "Error" message box and leaves no compiled formula.
    void Load(const CSettings& settings);
    // Writes every key; false when a write failed.
    bool Save(CSettings& settings) const;
    // Takes back the pages' values and their compiled formula. Returns kLabelsChanged when any
    // value other than the open flags differs; the formula is replaced only when its text did.
    std::uint32_t Apply(const DocumentNodeValues& values, CompiledFormula&& formula);

private:
    DocumentNodeValues values_;
    CompiledFormula formula_;
};

// The section of the settings that holds these options.
constexpr const char* kDocumentNodesSection = "Document Nodes";
