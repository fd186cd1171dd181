// Every kind of syntax error gives status 1281, a span that covers the fault and a message
// naming what was expected.
#include <gtest/gtest.h>

#include "FormulaTestSupport.h"

using namespace formula_test;

namespace {

struct ErrorCase {
    std::string source;
    std::string span;    // the text the reported span must cover exactly
    std::string message; // a part of the message
};

void ExpectError(const ErrorCase& c) {
    SCOPED_TRACE(c.source.substr(0, 80));
    const CompileResult r = Compile(c.source);
    ASSERT_EQ(r.status, store::kFormulaSyntax);
    EXPECT_TRUE(r.bytes.empty());
    ASSERT_LE(std::size_t(r.error.offset) + r.error.length, c.source.size());
    EXPECT_EQ(c.source.substr(r.error.offset, r.error.length), c.span);
    EXPECT_NE(std::string(r.error.message).find(c.message), std::string::npos) << r.error.message;
}

} // namespace

TEST(FormulaSyntax, EachKindOfFaultIsReportedWithItsSpan) {
    const ErrorCase kCases[] = {
        {"1 +", "+", "Expected an expression at the end"},
        {"1 + * 2", "*", "Expected an expression"},
        {"(1 + 2", "2", "Expected ')'"},
        {"(1 + 2]", "]", "Expected ')'"},
        {"[1, 2", "2", "Expected ',' or ']'"},
        {"upper(\"a\" \"b\")", "\"b\"", "Expected ',' or ')'"},
        {"upper(1, 2)", "upper(1, 2)", "'upper' takes 1 argument, not 2"},
        {"slice(\"a\")", "slice(\"a\")", "'slice' takes 2 to 3 arguments, not 1"},
        {"now(1)", "now(1)", "'now' takes 0 arguments, not 1"},
        {"frob(1)", "frob", "Unknown function 'frob'"},
        {"Subject == 1", "Subject", "Unknown name 'Subject'; fields are written #Subject"},
        {"let x = x + 1; x", "x", "Unknown name 'x'"},
        {"\"abc", "\"abc", "Unterminated text"},
        {"#\"abc", "\"abc", "Unterminated text"},
        {"\"a\\qb\"", "\\q", "Unknown escape"},
        {"\"a\\x4g\"", "\\x", "two hex digits"},
        {"# + 1", "#", "Expected a field name after '#'"},
        {"#\"\"", "#\"\"", "Expected a field name"},
        {"1 @ 2", "@", "Unexpected character '@'"},
        {std::string("1 \x01 2"), "\x01", "Unexpected character byte 1"},
        {"2e", "2e", "Expected digits of the exponent"},
        {"1e999", "1e999", "Number out of range"},
        {"1 2", "2", "Expected an operator or the end of the formula"},
        {"then", "then", "Expected an expression"},
        {"if 1 2 else 3", "2", "Expected 'then'"},
        {"if 1 then 2", "2", "Expected 'else' at the end"},
        {"let 1 = 2; 3", "1", "Expected a name after 'let'"},
        {"let if = 2; 3", "if", "Expected a name after 'let'"},
        {"let x 1; x", "1", "Expected '=' after the name"},
        {"let x = 1 x", "x", "Expected ';' after the assigned value"},
        {"let x = 1;", ";", "Expected an expression at the end"},
        {"match", "match", "Expected an expression at the end"},
        {"1 + not 2", "not", "Expected an expression"},
        {"1;;", ";", "Expected an operator or the end"},
        {"", "", "Expected an expression"},
        {"  // only a comment", "  // only a comment", "Expected an expression"},
    };
    for (const auto& c : kCases)
        ExpectError(c);
}

TEST(FormulaSyntax, LimitsAreSyntaxErrorsNotCrashes) {
    // Deep parentheses, deep prefix operators and long operator chains all end at the same
    // nesting limit the reader enforces.
    const std::string parens = std::string(5000, '(') + "1" + std::string(5000, ')');
    const std::string negs = std::string(5000, '-') + "1";
    std::string chain = "1";
    for (int i = 0; i < 5000; ++i)
        chain += "+1";
    for (const std::string& s : {parens, negs, chain}) {
        const CompileResult r = Compile(s);
        ASSERT_EQ(r.status, store::kFormulaSyntax);
        EXPECT_STREQ(r.error.message, "Formula is nested too deeply");
        EXPECT_LE(std::size_t(r.error.offset) + r.error.length, s.size());
    }
    // Just inside the limit compiles.
    std::string ok = "1";
    for (int i = 0; i < 90; ++i)
        ok += "+1";
    EXPECT_EQ(Compile(ok).status, store::kNoError);

    const std::string longText = "\"" + std::string(70000, 'a') + "\"";
    ExpectError({longText, longText, "Text is too long"});
    const std::string longField = "#" + std::string(300, 'f');
    ExpectError({longField, longField, "Field name is too long"});
    std::string manyLocals;
    for (int i = 0; i < 256; ++i)
        manyLocals += "let v" + std::to_string(i) + " = 1; ";
    const CompileResult r = Compile(manyLocals + "1");
    EXPECT_EQ(r.status, store::kFormulaSyntax);
    EXPECT_STREQ(r.error.message, "Too many local names (at most 255)");
}

TEST(FormulaSyntax, BadArgumentsAreRefusedNotDereferenced) {
    store::MemHandle h = 123;
    std::size_t n = 9;
    EXPECT_EQ(store::FormulaCompile(nullptr, 3, &h, &n, nullptr), store::kInvalidArgument);
    EXPECT_EQ(h, 0u);
    EXPECT_EQ(n, 0u);
    // No error record wanted: still the status.
    EXPECT_EQ(store::FormulaCompile("1 +", 3, &h, &n, nullptr), store::kFormulaSyntax);
    EXPECT_EQ(h, 0u);
}
