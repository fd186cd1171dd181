#include "output/CompiledFormula.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "store/api/Conversions.h"
#include "store/api/Formula.h"

FormulaCompileResult CompileFormulaText(std::string_view text) {
    FormulaCompileResult result;
    if (text.empty())
        return result;
    // Room for the translation to grow; the call reports how long the whole result is.
    std::vector<char> source(text.size() * 3 + 1);
    std::size_t n = store::TranslateText(store::Translate::ToStore, text.data(), text.size(),
                                         source.data(), source.size());
    if (n >= source.size()) {
        source.resize(n + 1);
        n = store::TranslateText(store::Translate::ToStore, text.data(), text.size(), source.data(),
                                 source.size());
        n = std::min(n, source.size() - 1);
    }
    store::MemHandle handle = 0;
    std::size_t length = 0;
    store::FormulaError error;
    result.status = store::FormulaCompile(source.data(), n, &handle, &length, &error);
    if (result.status == store::kNoError) {
        result.formula = CompiledFormula(handle, length);
        return result;
    }
    if (handle)
        store::MemFree(handle);
    if (result.status == store::kFormulaSyntax) {
        // Keep the span inside the text, whatever the compiler reported.
        const std::uint32_t size = static_cast<std::uint32_t>(std::min<std::size_t>(n, UINT32_MAX));
        result.errorOffset = std::min(error.offset, size);
        result.errorLength = std::min(error.length, size - result.errorOffset);
        error.message[sizeof error.message - 1] = '\0';
        result.errorText = error.message;
    } else {
        result.errorText = "Unable to compile formula";
    }
    return result;
}
