// Compile, decompile and compile again must give the same bytes: for every example of the
// language's documentation and for many generated formulas.
#include <fstream>
#include <sstream>

#include <gtest/gtest.h>

#include "FormulaTestSupport.h"
#include "RandomFormula.h"

using namespace formula_test;

namespace {

// Each fenced block marked `formula` in the documentation is one example.
std::vector<std::string> DocExamples() {
    std::ifstream in(DELVEX_SAMPLES_SOURCE_DIR "/../docs/formulas.md");
    std::vector<std::string> out;
    std::string line, block;
    bool inside = false;
    while (std::getline(in, line)) {
        if (!inside && line == "```formula") {
            inside = true;
            block.clear();
        } else if (inside && line == "```") {
            inside = false;
            out.push_back(block);
        } else if (inside) {
            block += line + "\n";
        }
    }
    return out;
}

void ExpectRoundTrip(const std::string& source) {
    SCOPED_TRACE(source);
    const CompileResult first = Compile(source);
    ASSERT_EQ(first.status, store::kNoError) << first.error.message << " at " << first.error.offset;
    const auto text = Decompile(first.bytes);
    ASSERT_TRUE(text);
    const CompileResult second = Compile(*text);
    ASSERT_EQ(second.status, store::kNoError) << *text << ": " << second.error.message;
    EXPECT_EQ(second.bytes, first.bytes) << *text;
    // Normalised text is a fixed point.
    EXPECT_EQ(Decompile(second.bytes), text);
}

} // namespace

TEST(FormulaRoundTrip, EveryDocumentedExample) {
    const auto examples = DocExamples();
    ASSERT_GE(examples.size(), 15u);
    for (const auto& e : examples)
        ExpectRoundTrip(e);
}

TEST(FormulaRoundTrip, GeneratedFormulas) {
    RandomFormula gen(20261206);
    for (int i = 0; i < 1500; ++i)
        ExpectRoundTrip(gen.Next());
}

TEST(FormulaRoundTrip, NormalisedText) {
    const struct {
        const char* source;
        const char* normal;
    } kCases[] = {
        {"1+2*3", "1 + 2 * 3"},
        {"(1+2)*3", "(1 + 2) * 3"},
        {"1-(2-3)", "1 - (2 - 3)"},
        {"(1-2)-3", "1 - 2 - 3"},
        {"- - 4", "--4"},
        {"not not (1 == 2)", "not not 1 == 2"},
        {"(not 1) == 2", "(not 1) == 2"},
        {"1 + (if 1 then 2 else 3)", "1 + (if 1 then 2 else 3)"},
        {"if (if 1 then 2 else 3) then 4 else if 5 then 6 else 7",
         "if (if 1 then 2 else 3) then 4 else if 5 then 6 else 7"},
        {"true and false", "1 and 0"},
        {"0.50 + 1E3 + 2.5e-3", "0.5 + 1000 + 0.0025"},
        {"#\"Subject\" .. #\"Due Date\"", "#Subject .. #\"Due Date\""},
        {"\"a\\x41\\x7f\\\"\"", "\"aA\\x7F\\\"\""},
        {"let  x=1 ; let y = x;y // the end", "let x = 1; let y = x; y"},
        {"match   [1,2 , 3];", "match [1, 2, 3]"},
        {"upper( \"a\" )", "upper(\"a\")"},
    };
    for (const auto& c : kCases) {
        const CompileResult r = Compile(c.source);
        ASSERT_EQ(r.status, store::kNoError) << c.source;
        EXPECT_EQ(Decompile(r.bytes).value_or("<failed>"), c.normal) << c.source;
    }
}

TEST(FormulaRoundTrip, CompiledFormCarriesHeaderAndSelectFlag) {
    const CompileResult plain = Compile("1");
    const CompileResult select = Compile("match 1");
    ASSERT_EQ(plain.status, store::kNoError);
    ASSERT_EQ(select.status, store::kNoError);
    ASSERT_GE(plain.bytes.size(), 10u);
    EXPECT_EQ(std::string(plain.bytes.begin(), plain.bytes.begin() + 4), "DXFM");
    EXPECT_EQ(plain.bytes[4], 1);
    EXPECT_EQ(plain.bytes[5], 0);
    EXPECT_EQ(select.bytes[5], 1);
    const std::uint32_t length = plain.bytes[6] | plain.bytes[7] << 8 | plain.bytes[8] << 16 |
                                 std::uint32_t(plain.bytes[9]) << 24;
    EXPECT_EQ(length, plain.bytes.size());
}

TEST(FormulaRoundTrip, TrailingBytesAfterTheFormAreIgnored) {
    CompileResult r = Compile("#Subject .. \"!\"");
    ASSERT_EQ(r.status, store::kNoError);
    const auto text = Decompile(r.bytes);
    r.bytes.push_back(0);
    r.bytes.push_back(0xFF);
    EXPECT_EQ(Decompile(r.bytes), text);
}
