// Placeholder until the formula language exists: every formula call says it is not available.
#include "store/api/Formula.h"
#include "vlt/formula/FormulaEngine.h"

namespace vlt::formula {

store::Status Evaluate(const std::uint8_t*, std::size_t, const NoteContext*,
                       std::vector<std::uint8_t>* result, bool* selected) {
    if (result)
        result->clear();
    if (selected)
        *selected = false;
    return store::kNotImplemented;
}

store::Status Validate(const std::uint8_t*, std::size_t) {
    return store::kNotImplemented;
}

} // namespace vlt::formula

namespace store {

Status FormulaCompile(const char*, std::size_t, MemHandle* formula, std::size_t* formulaLength,
                      FormulaError*) {
    if (formula)
        *formula = 0;
    if (formulaLength)
        *formulaLength = 0;
    return kNotImplemented;
}

Status FormulaDecompile(const void*, std::size_t, MemHandle* text, std::size_t* textLength) {
    if (text)
        *text = 0;
    if (textLength)
        *textLength = 0;
    return kNotImplemented;
}

Status ConvertComputedText(const char* text, std::size_t length, NoteId, char* buffer,
                           std::size_t size, std::size_t* resultLength) {
    std::size_t n = 0;
    if (size > 0) {
        n = length < size - 1 ? length : size - 1;
        for (std::size_t i = 0; i < n; ++i)
            buffer[i] = text[i];
        buffer[n] = '\0';
    }
    if (resultLength)
        *resultLength = n;
    return n < length ? kBufferTooSmall : kNoError;
}

} // namespace store
