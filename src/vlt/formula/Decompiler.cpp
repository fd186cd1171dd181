// Program trees back to source text. Whatever it prints compiles to the same tree.
#include "vlt/formula/Decompiler.h"

#include <charconv>

#include "vlt/formula/Functions.h"
#include "vlt/formula/Lexer.h"

namespace vlt::formula {
namespace {

void QuoteText(const std::string& text, std::string* out) {
    static const char kHex[] = "0123456789ABCDEF";
    out->push_back('"');
    for (char c : text) {
        const auto u = static_cast<unsigned char>(c);
        switch (c) {
        case '"':
            *out += "\\\"";
            break;
        case '\\':
            *out += "\\\\";
            break;
        case '\n':
            *out += "\\n";
            break;
        case '\t':
            *out += "\\t";
            break;
        case '\r':
            *out += "\\r";
            break;
        default:
            if (u < 0x20 || u == 0x7F) {
                *out += "\\x";
                out->push_back(kHex[u >> 4]);
                out->push_back(kHex[u & 15]);
            } else {
                out->push_back(c);
            }
        }
    }
    out->push_back('"');
}

class Printer {
public:
    Printer(const Program& p, std::string* out) : prog_(p), out_(*out) {}

    void Print(const Node& n, int minPrec) {
        const int prec = PrecedenceOf(n);
        const bool paren = prec < minPrec;
        if (paren)
            out_ += '(';
        PrintBare(n);
        if (paren)
            out_ += ')';
    }

private:
    void PrintBare(const Node& n) {
        switch (n.op) {
        case Op::Number: {
            // Shortest text that reads back as the same double.
            char buf[64];
            const auto r = std::to_chars(buf, buf + sizeof buf, n.number);
            out_.append(buf, r.ptr);
            return;
        }
        case Op::Text:
            QuoteText(n.text, &out_);
            return;
        case Op::Field:
            out_ += '#';
            if (IsPlainFieldName(n.text))
                out_ += n.text;
            else
                QuoteText(n.text, &out_);
            return;
        case Op::Local:
            out_ += prog_.locals[n.id];
            return;
        case Op::List:
            out_ += '[';
            PrintList(n);
            out_ += ']';
            return;
        case Op::Call:
            out_ += FunctionById(n.id)->name;
            out_ += '(';
            PrintList(n);
            out_ += ')';
            return;
        case Op::If:
            // Nested conditionals in the first two places read better in parentheses.
            out_ += "if ";
            Print(n.kids[0], kPrecIf + 1);
            out_ += " then ";
            Print(n.kids[1], kPrecIf + 1);
            out_ += " else ";
            Print(n.kids[2], kPrecIf);
            return;
        case Op::Neg:
            out_ += '-';
            Print(n.kids[0], kPrecNeg);
            return;
        case Op::Not:
            out_ += "not ";
            Print(n.kids[0], kPrecNot);
            return;
        default:
            break;
        }
        const OperatorInfo* info = FindBinary(n.op);
        // Left-associative: the right operand needs parentheses at equal precedence.
        Print(n.kids[0], info->precedence);
        out_ += ' ';
        out_ += info->symbol;
        out_ += ' ';
        Print(n.kids[1], info->precedence + 1);
    }

    void PrintList(const Node& n) {
        for (std::size_t i = 0; i < n.kids.size(); ++i) {
            if (i)
                out_ += ", ";
            Print(n.kids[i], kPrecIf);
        }
    }

    const Program& prog_;
    std::string& out_;
};

} // namespace

std::string Decompile(const Program& program) {
    std::string out;
    Printer printer(program, &out);
    for (const auto& a : program.lets) {
        out += "let ";
        out += program.locals[a.slot];
        out += " = ";
        printer.Print(a.value, kPrecIf);
        out += "; ";
    }
    if (program.selects)
        out += "match ";
    printer.Print(program.result, kPrecIf);
    return out;
}

} // namespace vlt::formula
