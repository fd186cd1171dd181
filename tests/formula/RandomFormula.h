// A seeded generator of well-formed formula source, shared by the round-trip and mutation
// tests. It uses every operator and every function with a valid number of arguments, locals,
// plain and quoted fields, texts with escapes, and redundant parentheses and spacing.
#pragma once

#include <random>
#include <string>
#include <vector>

#include "vlt/formula/Functions.h"

namespace formula_test {

class RandomFormula {
public:
    explicit RandomFormula(unsigned seed) : rng_(seed) {}

    std::string Next() {
        locals_.clear();
        std::string out;
        const int lets = Pick(4);
        for (int i = 0; i < lets; ++i) {
            const std::string name = "v" + std::to_string(Pick(3));
            out += "let " + name + Space() + "=" + Space() + Expr(3) + ";\n";
            if (std::find(locals_.begin(), locals_.end(), name) == locals_.end())
                locals_.push_back(name);
        }
        if (Pick(3) == 0)
            out += "match ";
        out += Expr(4);
        if (Pick(4) == 0)
            out += ";";
        return out;
    }

private:
    int Pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng_); }
    std::string Space() { return Pick(3) ? " " : (Pick(2) ? "" : "\n  "); }

    std::string Leaf() {
        switch (Pick(locals_.empty() ? 7 : 8)) {
        case 0:
            return std::to_string(Pick(1000));
        case 1:
            return std::to_string(Pick(100)) + "." + std::to_string(Pick(100)) + "5";
        case 2:
            return Pick(2) ? "true" : "false";
        case 3: {
            static const char* const kTexts[] = {
                "\"\"",           "\"abc\"",    "\"a \\\"q\\\" b\"",
                "\"tab\\there\"", "\"\\x7FI\"", "\"x,y,z\""};
            return kTexts[Pick(6)];
        }
        case 4: {
            static const char* const kFields[] = {"#Subject", "#$TITLE", "#n_2", "#\"Due Date\"",
                                                  "#\"a\\\\b\""};
            return kFields[Pick(5)];
        }
        case 5:
            return "[" + (Pick(3) ? Expr(0) + ", " + Expr(0) : std::string()) + "]";
        case 6:
            return "note_id()";
        default:
            return locals_[std::size_t(Pick(int(locals_.size())))];
        }
    }

    std::string Expr(int depth) {
        if (depth <= 0 || Pick(4) == 0)
            return Leaf();
        static const char* const kBinary[] = {"or", "and", "==", "!=", "<", "<=", ">",
                                              ">=", "in",  "..", "+",  "-", "*",  "/"};
        switch (Pick(6)) {
        case 0:
            return "if " + Expr(depth - 1) + " then " + Expr(depth - 1) + " else " +
                   Expr(depth - 1);
        case 1:
            return (Pick(2) ? "not " : "-") + Wrap(Expr(depth - 1));
        case 2: {
            const auto& fns = vlt::formula::AllFunctions();
            const auto& f = fns[std::size_t(Pick(int(fns.size())))];
            const int argc = f.minArgs + Pick(std::min(f.maxArgs - f.minArgs, 3) + 1);
            std::string s = std::string(f.name) + "(";
            for (int i = 0; i < argc; ++i)
                s += (i ? "," + Space() : "") + Expr(depth - 1);
            return s + ")";
        }
        default:
            return Wrap(Expr(depth - 1)) + Space() + kBinary[Pick(14)] + Space() +
                   Wrap(Expr(depth - 1));
        }
    }

    // Parentheses are always safe around an operand; sometimes add a redundant pair.
    std::string Wrap(const std::string& e) { return Pick(5) ? "(" + e + ")" : "((" + e + "))"; }

    std::mt19937 rng_;
    std::vector<std::string> locals_;
};

} // namespace formula_test
