// Formulas: compile source text to the stored form (the bytes of a value of type 0x600 after its
// type word), decompile stored forms, and compute them on notes.
#pragma once

#include <cstddef>
#include <cstdint>

#include "store/api/Handles.h"
#include "store/api/Memory.h"
#include "store/api/Status.h"

namespace store {

// Where a compile failed: the span of the source that is at fault, and what was expected.
struct FormulaError {
    std::uint32_t offset = 0;
    std::uint32_t length = 0;
    char message[200] = {};
};

// Success: *formula is a new handle of *formulaLength bytes (the caller frees it). Syntax error:
// kFormulaSyntax with *error filled in (error may be null).
Status FormulaCompile(const char* source, std::size_t length, MemHandle* formula,
                      std::size_t* formulaLength, FormulaError* error);
// Success: *text is a new handle of the normalised source text, *textLength bytes, terminated.
// Damaged or foreign bytes: kFormulaDamaged.
Status FormulaDecompile(const void* formula, std::size_t length, MemHandle* text,
                        std::size_t* textLength);

// A computation is a compiled formula made ready to run on notes.
Status ComputeStart(const void* formula, std::size_t length, ComputeHandle* compute);
// Runs the computation on an open note (note may be 0: no note, field references are empty).
// *result is a new handle holding the 16-bit type word then the value, *resultLength bytes in
// all; *selected (may be null) tells whether the result counts as true.
Status ComputeEvaluate(ComputeHandle compute, NoteHandle note, MemHandle* result,
                       std::size_t* resultLength, bool* selected);
Status ComputeStop(ComputeHandle compute);

// Completes a computed text for the note it was computed on; texts without the byte 0x7F come
// back unchanged.
Status ConvertComputedText(const char* text, std::size_t length, NoteId note, char* buffer,
                           std::size_t size, std::size_t* resultLength);

} // namespace store
