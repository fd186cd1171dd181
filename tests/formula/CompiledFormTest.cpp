// The reader accepts only what the compiler writes: each hand-made damage below is refused,
// though most of it would be harmless to read, because a form it accepted would have to
// decompile to text that compiles back to the same bytes.
#include <cmath>
#include <functional>

#include <gtest/gtest.h>

#include "FormulaTestSupport.h"

using namespace formula_test;

namespace {

// "let a = 1; let b = a; b" compiles to:
//   0  "DXFM" 1 0 <len 32>
//   10 locals: 2, 1 'a', 1 'b'
//   15 lets: 2 0
//   17 slot 0, 0x01 <f64 1.0>
//   27 slot 1, 0x04 0
//   30 result: 0x04 1
Bytes Base() {
    const CompileResult r = Compile("let a = 1; let b = a; b");
    EXPECT_EQ(r.status, store::kNoError);
    EXPECT_EQ(r.bytes.size(), 32u);
    return r.bytes;
}

void SetF64(Bytes* b, std::size_t at, double d) {
    Bytes f;
    PutF64(&f, d);
    std::copy(f.begin(), f.end(), b->begin() + std::ptrdiff_t(at));
}

} // namespace

TEST(CompiledForm, BaseLayoutIsAsDocumented) {
    const Bytes b = Base();
    EXPECT_EQ(Bytes(b.begin() + 10, b.begin() + 17), (Bytes{2, 1, 'a', 1, 'b', 2, 0}));
    EXPECT_EQ(Bytes(b.begin() + 27, b.end()), (Bytes{1, 0x04, 0, 0x04, 1}));
    EXPECT_EQ(Decompile(b).value_or(""), "let a = 1; let b = a; b");
}

TEST(CompiledForm, ReaderRefusesWhatTheCompilerNeverWrites) {
    const struct {
        const char* what;
        std::function<void(Bytes*)> damage;
    } kCases[] = {
        {"magic", [](Bytes* b) { (*b)[0] = 'd'; }},
        {"version", [](Bytes* b) { (*b)[4] = 2; }},
        {"unknown flag", [](Bytes* b) { (*b)[5] = 0x02; }},
        {"length past the bytes", [](Bytes* b) { (*b)[6] = 33; }},
        {"length short of the form", [](Bytes* b) { (*b)[6] = 31; }},
        {"length inside the header", [](Bytes* b) { (*b)[6] = 4; }},
        {"local not an identifier", [](Bytes* b) { (*b)[12] = '1'; }},
        {"local is a keyword",
         [](Bytes* b) {
             b->erase(b->begin() + 11, b->begin() + 13);
             const Bytes name{2, 'i', 'f'};
             b->insert(b->begin() + 11, name.begin(), name.end());
             (*b)[6] = 33;
         }},
        {"duplicate local", [](Bytes* b) { (*b)[14] = 'a'; }},
        {"local never assigned", [](Bytes* b) { (*b)[10] = 3; }},
        {"slot assigned out of order", [](Bytes* b) { (*b)[17] = 1; }},
        {"local read before its assignment", [](Bytes* b) { (*b)[29] = 1; }},
        {"local slot out of range", [](Bytes* b) { (*b)[31] = 2; }},
        {"negative literal", [](Bytes* b) { SetF64(b, 19, -1); }},
        {"negative zero", [](Bytes* b) { SetF64(b, 19, -0.0); }},
        {"infinite literal", [](Bytes* b) { SetF64(b, 19, 1e308 * 10); }},
        {"not a number", [](Bytes* b) { SetF64(b, 19, std::nan("")); }},
        {"subnormal literal", [](Bytes* b) { SetF64(b, 19, 5e-324); }},
        {"unknown opcode", [](Bytes* b) { (*b)[30] = 0x08; }},
        {"trailing bytes inside the length",
         [](Bytes* b) {
             b->push_back(0);
             (*b)[6] = 33;
         }},
    };
    for (const auto& c : kCases) {
        Bytes b = Base();
        c.damage(&b);
        store::Status status = 0;
        EXPECT_FALSE(Decompile(b, &status)) << c.what;
        EXPECT_EQ(status, store::kFormulaDamaged) << c.what;
        std::vector<std::uint8_t> result;
        EXPECT_EQ(vlt::formula::Evaluate(b.data(), b.size(), nullptr, &result, nullptr),
                  store::kFormulaDamaged)
            << c.what;
        EXPECT_TRUE(result.empty());
    }
}

TEST(CompiledForm, CallsAreCheckedAgainstTheLibrary) {
    // "upper(\"a\")": result at 13 is 0x06, id, count, then the text node.
    const CompileResult r = Compile("upper(\"a\")");
    ASSERT_EQ(r.status, store::kNoError);
    ASSERT_EQ(r.bytes[13], 0x06);
    for (const auto& [at, value] : {std::pair{14, 0}, {14, 200}, {15, 2}, {15, 0}}) {
        Bytes b = r.bytes;
        b[std::size_t(at)] = std::uint8_t(value);
        EXPECT_FALSE(Decompile(b)) << at << "=" << value;
    }
}

TEST(CompiledForm, DeepNestingIsRefusedBeforeRecursing) {
    // 100000 negations: far past the nesting limit, and a stack overflow if read naively.
    Bytes b = Compile("1").bytes;
    const std::size_t body = b.size() - 9; // the Number node is the last 9 bytes
    b.insert(b.begin() + std::ptrdiff_t(body), 100000, 0x10);
    const auto n = std::uint32_t(b.size());
    for (int k = 0; k < 4; ++k)
        b[6 + std::size_t(k)] = std::uint8_t(n >> (8 * k));
    store::Status status = 0;
    EXPECT_FALSE(Decompile(b, &status));
    EXPECT_EQ(status, store::kFormulaDamaged);
}

TEST(CompiledForm, HugeCountsDoNotDriveAllocations) {
    // A list claiming 65535 elements, and 65535 assignments, in a few bytes.
    Bytes list = Compile("[1]").bytes;
    list[14] = 0xFF;
    list[15] = 0xFF;
    EXPECT_FALSE(Decompile(list));
    Bytes lets = Compile("1").bytes;
    lets[11] = 0xFF;
    lets[12] = 0xFF;
    EXPECT_FALSE(Decompile(lets));
}
