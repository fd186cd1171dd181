// The formula lexer: numbers, quoted texts, #fields, names and punctuation; `//` comments.
#include "vlt/formula/Lexer.h"

#include <charconv>
#include <cmath>

#include "common/Ascii.h"
#include "vlt/formula/Ast.h"

namespace vlt::formula {
namespace {

constexpr std::string_view kKeywords[] = {"let", "match", "if", "then", "else", "and",
                                          "or",  "not",   "in", "true", "false"};

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}
bool IsAlpha(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_';
}
bool IsFieldChar(char c) {
    return IsAlpha(c) || IsDigit(c) || c == '$';
}
class Lexer {
public:
    Lexer(std::string_view src, SyntaxError* error) : src_(src), error_(error) {}

    bool Run(std::vector<Token>* out) {
        for (;;) {
            SkipSpace();
            Token t;
            t.offset = std::uint32_t(pos_);
            if (pos_ >= src_.size()) {
                out->push_back(t);
                return true;
            }
            if (!Next(&t))
                return false;
            t.length = std::uint32_t(pos_ - t.offset);
            out->push_back(std::move(t));
        }
    }

private:
    void SkipSpace() {
        while (pos_ < src_.size()) {
            const char c = src_[pos_];
            if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
                ++pos_;
            } else if (c == '/' && Peek(1) == '/') {
                while (pos_ < src_.size() && src_[pos_] != '\n')
                    ++pos_;
            } else {
                return;
            }
        }
    }

    char Peek(std::size_t ahead) const {
        return pos_ + ahead < src_.size() ? src_[pos_ + ahead] : '\0';
    }

    bool Fail(std::size_t offset, std::size_t length, std::string message) {
        error_->offset = std::uint32_t(offset);
        error_->length = std::uint32_t(length);
        error_->message = std::move(message);
        return false;
    }

    bool Next(Token* t) {
        const char c = src_[pos_];
        if (IsDigit(c))
            return LexNumber(t);
        if (c == '"') {
            t->type = Tok::Text;
            return LexText(&t->text);
        }
        if (c == '#')
            return LexField(t);
        if (IsAlpha(c)) {
            t->type = Tok::Name;
            const std::size_t start = pos_;
            while (pos_ < src_.size() && (IsAlpha(src_[pos_]) || IsDigit(src_[pos_])))
                ++pos_;
            t->text.assign(src_.substr(start, pos_ - start));
            return true;
        }
        struct Punct {
            const char* text;
            Tok type;
        };
        // Two-character symbols first, so that "<=" is not read as "<" "=".
        static constexpr Punct kPunct[] = {
            {"==", Tok::Eq},      {"!=", Tok::Ne},    {"<=", Tok::Le},       {">=", Tok::Ge},
            {"..", Tok::DotDot},  {"(", Tok::LParen}, {")", Tok::RParen},    {"[", Tok::LBracket},
            {"]", Tok::RBracket}, {",", Tok::Comma},  {";", Tok::Semicolon}, {"=", Tok::Assign},
            {"<", Tok::Lt},       {">", Tok::Gt},     {"+", Tok::Plus},      {"-", Tok::Minus},
            {"*", Tok::Star},     {"/", Tok::Slash},
        };
        for (const Punct& p : kPunct) {
            if (src_.substr(pos_).starts_with(p.text)) {
                t->type = p.type;
                pos_ += std::char_traits<char>::length(p.text);
                return true;
            }
        }
        std::string shown = (static_cast<unsigned char>(c) >= 0x20 && c != 0x7F)
                                ? std::string("'") + c + "'"
                                : "byte " + std::to_string(static_cast<unsigned char>(c));
        return Fail(pos_, 1, "Unexpected character " + shown + "; expected an expression");
    }

    bool LexNumber(Token* t) {
        const std::size_t start = pos_;
        while (IsDigit(Peek(0)))
            ++pos_;
        if (Peek(0) == '.' && IsDigit(Peek(1))) {
            ++pos_;
            while (IsDigit(Peek(0)))
                ++pos_;
        }
        if (Peek(0) == 'e' || Peek(0) == 'E') {
            std::size_t k = 1;
            if (Peek(k) == '+' || Peek(k) == '-')
                ++k;
            if (!IsDigit(Peek(k)))
                return Fail(start, pos_ + k - start, "Expected digits of the exponent");
            pos_ += k;
            while (IsDigit(Peek(0)))
                ++pos_;
        }
        const char* first = src_.data() + start;
        const char* last = src_.data() + pos_;
        double value = 0;
        const auto r = std::from_chars(first, last, value);
        if (r.ec != std::errc() || r.ptr != last || !std::isfinite(value) ||
            (value != 0 && !std::isnormal(value)))
            return Fail(start, pos_ - start, "Number out of range");
        t->type = Tok::Number;
        t->number = value;
        return true;
    }

    // At the opening quote; leaves pos_ after the closing one.
    bool LexText(std::string* out) {
        const std::size_t start = pos_++;
        while (pos_ < src_.size()) {
            const char c = src_[pos_];
            if (c == '"') {
                ++pos_;
                if (out->size() > kMaxTextLiteral)
                    return Fail(start, pos_ - start, "Text is too long (at most 65535 bytes)");
                return true;
            }
            if (c != '\\') {
                out->push_back(c);
                ++pos_;
                continue;
            }
            const char e = Peek(1);
            switch (e) {
            case '"':
            case '\\':
                out->push_back(e);
                break;
            case 'n':
                out->push_back('\n');
                break;
            case 't':
                out->push_back('\t');
                break;
            case 'r':
                out->push_back('\r');
                break;
            case 'x': {
                const int hi = HexDigitValue(Peek(2)), lo = HexDigitValue(Peek(3));
                if (hi < 0 || lo < 0)
                    return Fail(pos_, 2, "Expected two hex digits after '\\x'");
                out->push_back(char(hi * 16 + lo));
                pos_ += 2;
                break;
            }
            default:
                return Fail(pos_, pos_ + 1 < src_.size() ? 2 : 1,
                            "Unknown escape; expected one of \\\" \\\\ \\n \\t \\r \\xHH");
            }
            pos_ += 2;
        }
        return Fail(start, src_.size() - start, "Unterminated text; expected a closing '\"'");
    }

    bool LexField(Token* t) {
        const std::size_t start = pos_++;
        t->type = Tok::Field;
        if (Peek(0) == '"') {
            if (!LexText(&t->text))
                return false;
        } else {
            while (IsFieldChar(Peek(0)))
                t->text.push_back(src_[pos_++]);
        }
        if (t->text.empty())
            return Fail(start, pos_ - start, "Expected a field name after '#'");
        if (t->text.size() > kMaxNameLength)
            return Fail(start, pos_ - start, "Field name is too long (at most 255 bytes)");
        return true;
    }

    std::string_view src_;
    SyntaxError* error_;
    std::size_t pos_ = 0;
};

} // namespace

bool Tokenize(std::string_view source, std::vector<Token>* tokens, SyntaxError* error) {
    tokens->clear();
    return Lexer(source, error).Run(tokens);
}

bool IsPlainFieldName(std::string_view name) {
    if (name.empty())
        return false;
    for (char c : name)
        if (!IsFieldChar(c))
            return false;
    return true;
}

bool IsKeyword(std::string_view name) {
    for (std::string_view k : kKeywords)
        if (k == name)
            return true;
    return false;
}

bool IsIdentifier(std::string_view name) {
    if (name.empty() || !IsAlpha(name[0]) || IsKeyword(name))
        return false;
    for (char c : name)
        if (!IsAlpha(c) && !IsDigit(c))
            return false;
    return true;
}

} // namespace vlt::formula
