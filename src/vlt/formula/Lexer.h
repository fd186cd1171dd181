// Splits formula source into tokens. Every token keeps its source span for error reports.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vlt::formula {

enum class Tok : std::uint8_t {
    End,
    Number,
    Text,
    Field,
    Name, // identifiers and keywords
    LParen,
    RParen,
    LBracket,
    RBracket,
    Comma,
    Semicolon,
    Assign,
    Eq,
    Ne,
    Lt,
    Le,
    Gt,
    Ge,
    Plus,
    Minus,
    Star,
    Slash,
    DotDot,
};

struct Token {
    Tok type = Tok::End;
    std::uint32_t offset = 0;
    std::uint32_t length = 0;
    std::string text; // Text: decoded value; Field: item name; Name: the identifier
    double number = 0;
};

// A fault in the source: its span and what was expected there.
struct SyntaxError {
    std::uint32_t offset = 0;
    std::uint32_t length = 0;
    std::string message;
};

// True and the tokens (ending with one End token at the end of the source), or false and the
// first lexical error.
bool Tokenize(std::string_view source, std::vector<Token>* tokens, SyntaxError* error);

// Names that may stand after '#' without quotes.
bool IsPlainFieldName(std::string_view name);
// Identifiers of locals: letters, digits and '_', not starting with a digit, not a keyword.
bool IsIdentifier(std::string_view name);
bool IsKeyword(std::string_view name);

} // namespace vlt::formula
