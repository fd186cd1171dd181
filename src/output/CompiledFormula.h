// A selection formula compiled by the store from the text the user typed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "store/api/Memory.h"
#include "store/api/Status.h"

// Owns the compiled bytes; empty means "no formula" (every note).
class CompiledFormula {
public:
    CompiledFormula() = default;
    CompiledFormula(store::MemHandle handle, std::size_t length)
        : handle_(handle), length_(handle ? length : 0) {}

    bool Empty() const { return !handle_; }
    store::MemHandle Handle() const { return handle_.get(); }
    std::size_t Length() const { return length_; }

private:
    store::OwnedMem handle_;
    std::size_t length_ = 0;
};

struct FormulaCompileResult {
    store::Status status = store::kNoError;
    CompiledFormula formula;
    // A syntax error (store::kFormulaSyntax): the span of the source at fault, in bytes, and
    // what the compiler expected there.
    std::uint32_t errorOffset = 0;
    std::uint32_t errorLength = 0;
    std::string errorText;
};

// Compiles the text, translated into the store's character set. An empty text gives no formula
// and success; a failure other than a syntax error has errorText "Unable to compile formula".
FormulaCompileResult CompileFormulaText(std::string_view text);
