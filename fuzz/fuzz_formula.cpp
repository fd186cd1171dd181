// Fuzzes the formula engine from both ends. The input is read as compiled bytes (decompile,
// validate and evaluate on a small note must not fault, and whatever reads back must compile
// to the same bytes) and as source text (compile, and a successful compile must survive
// decompiling and compiling again unchanged).
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "store/api/Formula.h"
#include "store/api/Memory.h"
#include "vlt/formula/FormulaEngine.h"
#include "vlt/formula/NoteContext.h"

namespace {

class Note : public vlt::formula::NoteContext {
public:
    bool FindItem(std::string_view name, vlt::formula::ItemValue* v) const override {
        static const std::uint8_t kSubject[] = {'H', 'i'};
        static const std::uint8_t kTags[] = {2, 0, 1, 0, 2, 0, 'a', 'b', 'c'};
        static const std::uint8_t kNumbers[] = {1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0xF0, 0x3F};
        if (name == "Subject")
            *v = {0x500, kSubject, sizeof kSubject};
        else if (name == "Tags")
            *v = {0x501, kTags, sizeof kTags};
        else if (name == "Amount")
            *v = {0x301, kNumbers, sizeof kNumbers};
        else
            return false;
        return true;
    }
    std::uint32_t NoteId() const override { return 0x42; }
    std::uint16_t NoteClass() const override { return 1; }
    store::TimeDate Created() const override { return store::TimeDate{{0x12348040u, 0x00C0FFEEu}}; }
    store::TimeDate Modified() const override { return {}; }
    bool IsResponse() const override { return false; }
};

std::vector<std::uint8_t> Take(store::MemHandle h, std::size_t n) {
    std::vector<std::uint8_t> out;
    if (h) {
        store::LockedMem mem(h);
        out.assign(mem.bytes(), mem.bytes() + n);
        store::MemFree(h);
    }
    return out;
}

// Decompiles, and checks that the text compiles back to the bytes that were read.
bool RoundTrips(const std::uint8_t* data, std::size_t size) {
    store::MemHandle text = 0;
    std::size_t textLength = 0;
    if (store::FormulaDecompile(data, size, &text, &textLength) != store::kNoError)
        return true;
    const auto source = Take(text, textLength);
    store::MemHandle compiled = 0;
    std::size_t compiledLength = 0;
    if (store::FormulaCompile(reinterpret_cast<const char*>(source.data()), source.size(),
                              &compiled, &compiledLength, nullptr) != store::kNoError)
        return false;
    const auto again = Take(compiled, compiledLength);
    return again.size() <= size && std::memcmp(again.data(), data, again.size()) == 0;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const Note note;
    // As compiled bytes.
    if (!RoundTrips(data, size))
        __builtin_trap();
    (void)vlt::formula::Validate(data, size);
    std::vector<std::uint8_t> result;
    bool selected = false;
    (void)vlt::formula::Evaluate(data, size, &note, &result, &selected);

    // As source text.
    store::MemHandle compiled = 0;
    std::size_t length = 0;
    store::FormulaError error;
    if (store::FormulaCompile(reinterpret_cast<const char*>(data), size, &compiled, &length,
                              &error) == store::kNoError) {
        const auto bytes = Take(compiled, length);
        if (!RoundTrips(bytes.data(), bytes.size()))
            __builtin_trap();
        (void)vlt::formula::Evaluate(bytes.data(), bytes.size(), &note, &result, &selected);
    } else if (std::size_t(error.offset) + error.length > size) {
        __builtin_trap(); // the error span must lie within the source
    }
    return 0;
}
