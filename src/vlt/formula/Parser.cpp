// Recursive descent over the token list. Grammar, loosest binding first:
//   formula  = { "let" name "=" expr ";" } [ "match" ] expr [ ";" ]
//   expr     = "if" expr "then" expr "else" expr | or
//   or       = and { "or" and }            and     = not { "and" not }
//   not      = "not" not | compare         compare = concat { ("=="|"!="|"<"|"<="|">"|">="|"in")
//   concat } concat   = add { ".." add }            add     = mul { ("+"|"-") mul } mul      =
//   unary { ("*"|"/") unary }   unary   = "-" unary | primary primary  = number | text | #field |
//   name | name "(" [ expr { "," expr } ] ")"
//            | "[" [ expr { "," expr } ] "]" | "(" expr ")" | "true" | "false"
#include "vlt/formula/Parser.h"

#include <algorithm>
#include <string>

#include "vlt/formula/Functions.h"

namespace vlt::formula {
namespace {

class Parser {
public:
    Parser(std::vector<Token> tokens, SyntaxError* error)
        : toks_(std::move(tokens)), error_(error) {}

    bool ParseProgram(Program* prog) {
        while (IsWord("let")) {
            ++pos_;
            const Token& name = Cur();
            if (name.type != Tok::Name || !IsIdentifier(name.text))
                return Fail(name, "Expected a name after 'let'");
            if (name.text.size() > kMaxNameLength)
                return Fail(name, "Name is too long (at most 255 bytes)");
            ++pos_;
            if (!Expect(Tok::Assign, "Expected '=' after the name"))
                return false;
            Assignment a;
            if (!ParseExpr(&a.value))
                return false;
            if (!Expect(Tok::Semicolon, "Expected ';' after the assigned value"))
                return false;
            auto it = std::find(prog->locals.begin(), prog->locals.end(), name.text);
            if (it == prog->locals.end()) {
                if (prog->locals.size() >= kMaxLocals)
                    return Fail(name, "Too many local names (at most 255)");
                prog->locals.push_back(name.text);
                it = prog->locals.end() - 1;
            }
            if (prog->lets.size() >= kMaxAssignments)
                return Fail(name, "Too many assignments");
            a.slot = std::uint8_t(it - prog->locals.begin());
            prog->lets.push_back(std::move(a));
        }
        if (IsWord("match")) {
            ++pos_;
            prog->selects = true;
        }
        if (!ParseExpr(&prog->result))
            return false;
        if (Cur().type == Tok::Semicolon)
            ++pos_;
        if (Cur().type != Tok::End)
            return Fail(Cur(), "Expected an operator or the end of the formula");
        return true;
    }

    // Names bound by `let`. A name is added only after its first value has been parsed, so a
    // local is visible from the statement after its first assignment on.
    void SetLocals(const std::vector<std::string>* locals) { locals_ = locals; }

private:
    const Token& Cur() const { return toks_[pos_]; }
    bool IsWord(const char* word) const { return Cur().type == Tok::Name && Cur().text == word; }

    bool Fail(const Token& at, std::string message) {
        if (at.type == Tok::End && pos_ > 0) {
            // Nothing to point at past the end: blame the last token, where more was expected.
            const Token& last = toks_[pos_ - 1];
            error_->offset = last.offset;
            error_->length = last.length;
            message += " at the end of the formula";
        } else {
            error_->offset = at.offset;
            error_->length = at.length;
        }
        error_->message = std::move(message);
        return false;
    }

    bool FailSpan(std::uint32_t offset, std::uint32_t end, std::string message) {
        error_->offset = offset;
        error_->length = end - offset;
        error_->message = std::move(message);
        return false;
    }

    bool Expect(Tok type, const char* message) {
        if (Cur().type != type)
            return Fail(Cur(), message);
        ++pos_;
        return true;
    }

    // Joins kids under a new node, refusing trees deeper than every reader accepts.
    bool Make(Op op, std::vector<Node> kids, std::uint32_t offset, std::uint32_t end, Node* out) {
        int height = 0;
        for (const Node& k : kids)
            height = std::max(height, k.height);
        if (height + 1 > kMaxDepth)
            return FailSpan(offset, end, "Formula is nested too deeply");
        out->op = op;
        out->kids = std::move(kids);
        out->height = height + 1;
        out->offset = offset;
        out->length = end - offset;
        return true;
    }

    static std::uint32_t End(const Node& n) { return n.offset + n.length; }
    std::uint32_t PrevEnd() const { return toks_[pos_ - 1].offset + toks_[pos_ - 1].length; }

    // Guards recursion that does not build nodes (parentheses) as well as that which does.
    struct Nest {
        explicit Nest(int* d) : depth(d) { ++*depth; }
        ~Nest() { --*depth; }
        int* depth;
    };
    bool TooDeep() {
        return depth_ > kMaxDepth + 8 && !Fail(Cur(), "Formula is nested too deeply");
    }

    bool ParseExpr(Node* out) {
        Nest nest(&depth_);
        if (TooDeep())
            return false;
        if (!IsWord("if"))
            return ParseOr(out);
        const std::uint32_t start = Cur().offset;
        ++pos_;
        std::vector<Node> kids(3);
        if (!ParseExpr(&kids[0]))
            return false;
        if (!IsWord("then"))
            return Fail(Cur(), "Expected 'then'");
        ++pos_;
        if (!ParseExpr(&kids[1]))
            return false;
        if (!IsWord("else"))
            return Fail(Cur(), "Expected 'else'");
        ++pos_;
        if (!ParseExpr(&kids[2]))
            return false;
        const std::uint32_t end = End(kids[2]);
        return Make(Op::If, std::move(kids), start, end, out);
    }

    using Level = bool (Parser::*)(Node*);
    // Operator of the current token at this level, if any.
    using Matcher = bool (*)(const Token&, Op*);

    bool ParseLeftAssoc(Level next, Matcher match, Node* out) {
        if (!(this->*next)(out))
            return false;
        Op op;
        while (match(Cur(), &op)) {
            ++pos_;
            std::vector<Node> kids(2);
            kids[0] = std::move(*out);
            if (!(this->*next)(&kids[1]))
                return false;
            const std::uint32_t start = kids[0].offset, end = End(kids[1]);
            if (!Make(op, std::move(kids), start, end, out))
                return false;
        }
        return true;
    }

    static bool MatchOr(const Token& t, Op* op) {
        *op = Op::Or;
        return t.type == Tok::Name && t.text == "or";
    }
    static bool MatchAnd(const Token& t, Op* op) {
        *op = Op::And;
        return t.type == Tok::Name && t.text == "and";
    }
    static bool MatchCompare(const Token& t, Op* op) {
        switch (t.type) {
        case Tok::Eq:
            *op = Op::Eq;
            return true;
        case Tok::Ne:
            *op = Op::Ne;
            return true;
        case Tok::Lt:
            *op = Op::Lt;
            return true;
        case Tok::Le:
            *op = Op::Le;
            return true;
        case Tok::Gt:
            *op = Op::Gt;
            return true;
        case Tok::Ge:
            *op = Op::Ge;
            return true;
        case Tok::Name:
            *op = Op::In;
            return t.text == "in";
        default:
            return false;
        }
    }
    static bool MatchConcat(const Token& t, Op* op) {
        *op = Op::Concat;
        return t.type == Tok::DotDot;
    }
    static bool MatchAdd(const Token& t, Op* op) {
        *op = t.type == Tok::Plus ? Op::Add : Op::Sub;
        return t.type == Tok::Plus || t.type == Tok::Minus;
    }
    static bool MatchMul(const Token& t, Op* op) {
        *op = t.type == Tok::Star ? Op::Mul : Op::Div;
        return t.type == Tok::Star || t.type == Tok::Slash;
    }

    bool ParseOr(Node* out) { return ParseLeftAssoc(&Parser::ParseAnd, MatchOr, out); }
    bool ParseAnd(Node* out) { return ParseLeftAssoc(&Parser::ParseNot, MatchAnd, out); }
    bool ParseCompare(Node* out) { return ParseLeftAssoc(&Parser::ParseConcat, MatchCompare, out); }
    bool ParseConcat(Node* out) { return ParseLeftAssoc(&Parser::ParseAdd, MatchConcat, out); }
    bool ParseAdd(Node* out) { return ParseLeftAssoc(&Parser::ParseMul, MatchAdd, out); }
    bool ParseMul(Node* out) { return ParseLeftAssoc(&Parser::ParseUnary, MatchMul, out); }

    bool ParsePrefix(Op op, Level operand, Node* out) {
        Nest nest(&depth_);
        if (TooDeep())
            return false;
        const std::uint32_t start = Cur().offset;
        ++pos_;
        std::vector<Node> kids(1);
        if (!(this->*operand)(&kids[0]))
            return false;
        const std::uint32_t end = End(kids[0]);
        return Make(op, std::move(kids), start, end, out);
    }

    bool ParseNot(Node* out) {
        if (IsWord("not"))
            return ParsePrefix(Op::Not, &Parser::ParseNot, out);
        return ParseCompare(out);
    }

    bool ParseUnary(Node* out) {
        if (Cur().type == Tok::Minus)
            return ParsePrefix(Op::Neg, &Parser::ParseUnary, out);
        return ParsePrimary(out);
    }

    // Comma-separated expressions up to `close`; the opening token is already consumed.
    bool ParseSequence(Tok close, const char* expected, std::size_t limit,
                       std::vector<Node>* kids) {
        if (Cur().type == close) {
            ++pos_;
            return true;
        }
        for (;;) {
            if (kids->size() >= limit)
                return Fail(Cur(), "Too many elements");
            kids->emplace_back();
            if (!ParseExpr(&kids->back()))
                return false;
            if (Cur().type == close) {
                ++pos_;
                return true;
            }
            if (!Expect(Tok::Comma, expected))
                return false;
        }
    }

    bool ParsePrimary(Node* out) {
        const Token& t = Cur();
        out->offset = t.offset;
        out->length = t.length;
        switch (t.type) {
        case Tok::Number:
            out->op = Op::Number;
            out->number = t.number;
            ++pos_;
            return true;
        case Tok::Text:
            out->op = Op::Text;
            out->text = t.text;
            ++pos_;
            return true;
        case Tok::Field:
            out->op = Op::Field;
            out->text = t.text;
            ++pos_;
            return true;
        case Tok::LParen: {
            Nest nest(&depth_);
            if (TooDeep())
                return false;
            ++pos_;
            if (!ParseExpr(out))
                return false;
            return Expect(Tok::RParen, "Expected ')'");
        }
        case Tok::LBracket: {
            Nest nest(&depth_);
            if (TooDeep())
                return false;
            const std::uint32_t start = t.offset;
            ++pos_;
            std::vector<Node> kids;
            if (!ParseSequence(Tok::RBracket, "Expected ',' or ']'", kMaxListLiteral, &kids))
                return false;
            return Make(Op::List, std::move(kids), start, PrevEnd(), out);
        }
        case Tok::Name:
            return ParseName(out);
        default:
            return Fail(t, "Expected an expression");
        }
    }

    bool ParseName(Node* out) {
        const Token& t = Cur();
        if (t.text == "true" || t.text == "false") {
            out->op = Op::Number;
            out->number = t.text == "true" ? 1 : 0;
            ++pos_;
            return true;
        }
        if (IsKeyword(t.text))
            return Fail(t, "Expected an expression");
        if (toks_[pos_ + 1].type == Tok::LParen)
            return ParseCall(out);
        const auto& names = *locals_;
        const auto it = std::find(names.begin(), names.end(), t.text);
        if (it == names.end())
            return Fail(t, "Unknown name '" + t.text.substr(0, 60) + "'; fields are written #" +
                               t.text.substr(0, 60) + ", locals are set with let");
        out->op = Op::Local;
        out->id = std::uint8_t(it - names.begin());
        ++pos_;
        return true;
    }

    bool ParseCall(Node* out) {
        Nest nest(&depth_);
        if (TooDeep())
            return false;
        const Token& name = Cur();
        const FunctionInfo* fn = FindFunction(name.text);
        if (!fn)
            return Fail(name, "Unknown function '" + name.text.substr(0, 60) + "'");
        const std::uint32_t start = name.offset;
        pos_ += 2;
        std::vector<Node> kids;
        if (!ParseSequence(Tok::RParen, "Expected ',' or ')'", kMaxArguments, &kids))
            return false;
        if (kids.size() < fn->minArgs || kids.size() > fn->maxArgs) {
            std::string m = std::string("'") + fn->name + "' takes ";
            if (fn->minArgs == fn->maxArgs)
                m += std::to_string(fn->minArgs);
            else
                m += std::to_string(fn->minArgs) + " to " + std::to_string(fn->maxArgs);
            m += fn->maxArgs == 1 ? " argument" : " arguments";
            m += ", not " + std::to_string(kids.size());
            return FailSpan(start, PrevEnd(), m);
        }
        if (!Make(Op::Call, std::move(kids), start, PrevEnd(), out))
            return false;
        out->id = fn->id;
        return true;
    }

    std::vector<Token> toks_;
    SyntaxError* error_;
    std::size_t pos_ = 0;
    int depth_ = 0;
    const std::vector<std::string>* locals_ = nullptr;
};

} // namespace

bool Parse(std::string_view source, Program* program, SyntaxError* error) {
    *program = Program{};
    std::vector<Token> tokens;
    if (!Tokenize(source, &tokens, error))
        return false;
    if (tokens.size() == 1) {
        *error = SyntaxError{0, std::uint32_t(source.size()), "Expected an expression"};
        return false;
    }
    Parser parser(std::move(tokens), error);
    parser.SetLocals(&program->locals);
    return parser.ParseProgram(program);
}

} // namespace vlt::formula
