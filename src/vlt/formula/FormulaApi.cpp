// The store's formula calls over the parser, the compiled form, the decompiler and the
// evaluator. Nothing thrown inside (only allocation failure can be) crosses these calls.
#include <cstring>
#include <new>

#include "store/api/Formula.h"
#include "vlt/formula/CompiledForm.h"
#include "vlt/formula/Decompiler.h"
#include "vlt/formula/Evaluator.h"
#include "vlt/formula/FormulaEngine.h"
#include "vlt/formula/Parser.h"
#include "vlt/formula/ValueCodec.h"

namespace vlt::formula {
namespace {

store::Status ToHandle(const void* bytes, std::size_t size, std::size_t extra,
                       store::MemHandle* handle) {
    *handle = store::MemAlloc(size + extra);
    if (!*handle)
        return store::kOutOfMemory;
    store::LockedMem mem(*handle);
    if (!mem) {
        store::MemFree(*handle);
        *handle = 0;
        return store::kOutOfMemory;
    }
    if (size)
        std::memcpy(mem.bytes(), bytes, size); // the extra bytes stay zero
    return store::kNoError;
}

} // namespace

store::Status Evaluate(const std::uint8_t* compiled, std::size_t length, const NoteContext* note,
                       std::vector<std::uint8_t>* result, bool* selected) {
    if (selected)
        *selected = false;
    if (!result)
        return store::kInvalidArgument;
    result->clear();
    try {
        Program program;
        if (store::Status s = ReadCompiled(compiled, length, &program); s != store::kNoError)
            return s;
        Value value;
        if (store::Status s = Run(program, note, &value); s != store::kNoError)
            return s;
        if (store::Status s = EncodeResult(value, result); s != store::kNoError) {
            result->clear();
            return s;
        }
        if (selected)
            *selected = IsTrue(value);
        return store::kNoError;
    } catch (const std::bad_alloc&) {
        result->clear();
        return store::kOutOfMemory;
    }
}

store::Status Validate(const std::uint8_t* compiled, std::size_t length) {
    try {
        Program program;
        return ReadCompiled(compiled, length, &program);
    } catch (const std::bad_alloc&) {
        return store::kOutOfMemory;
    }
}

} // namespace vlt::formula

namespace store {

Status FormulaCompile(const char* source, std::size_t length, MemHandle* formula,
                      std::size_t* formulaLength, FormulaError* error) {
    if (formula)
        *formula = 0;
    if (formulaLength)
        *formulaLength = 0;
    if (!formula || (!source && length))
        return kInvalidArgument;
    try {
        vlt::formula::Program program;
        vlt::formula::SyntaxError syntax;
        if (!vlt::formula::Parse(std::string_view(source ? source : "", length), &program,
                                 &syntax)) {
            if (error) {
                error->offset = syntax.offset;
                error->length = syntax.length;
                const std::size_t n = std::min(syntax.message.size(), sizeof error->message - 1);
                std::memcpy(error->message, syntax.message.data(), n);
                error->message[n] = '\0';
            }
            return kFormulaSyntax;
        }
        const auto bytes = vlt::formula::WriteCompiled(program);
        if (Status s = vlt::formula::ToHandle(bytes.data(), bytes.size(), 0, formula); s)
            return s;
        if (formulaLength)
            *formulaLength = bytes.size();
        return kNoError;
    } catch (const std::bad_alloc&) {
        return kOutOfMemory;
    }
}

Status FormulaDecompile(const void* formula, std::size_t length, MemHandle* text,
                        std::size_t* textLength) {
    if (text)
        *text = 0;
    if (textLength)
        *textLength = 0;
    if (!text)
        return kInvalidArgument;
    try {
        vlt::formula::Program program;
        if (Status s = vlt::formula::ReadCompiled(static_cast<const std::uint8_t*>(formula), length,
                                                  &program);
            s != kNoError)
            return s;
        const std::string source = vlt::formula::Decompile(program);
        if (Status s = vlt::formula::ToHandle(source.data(), source.size(), 1, text); s)
            return s;
        if (textLength)
            *textLength = source.size();
        return kNoError;
    } catch (const std::bad_alloc&) {
        return kOutOfMemory;
    }
}

} // namespace store
