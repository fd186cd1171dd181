// The syntax tree of a formula: what the parser builds, the compiled form stores, the decompiler
// prints and the evaluator runs. One tree serves all four so that they cannot drift apart.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace vlt::formula {

// Node kinds. The numbers are the opcodes of the compiled form and must never change.
enum class Op : std::uint8_t {
    Number = 0x01, // f64 literal, finite and not negative (minus is an operator)
    Text = 0x02,   // text literal
    Field = 0x03,  // item of the note, by name
    Local = 0x04,  // a name bound by `let`
    List = 0x05,   // [a, b, ...]
    Call = 0x06,   // function of the library, by id
    If = 0x07,     // if c then a else b
    Neg = 0x10,
    Not = 0x11,
    Add = 0x20,
    Sub = 0x21,
    Mul = 0x22,
    Div = 0x23,
    Concat = 0x24,
    Eq = 0x25,
    Ne = 0x26,
    Lt = 0x27,
    Le = 0x28,
    Gt = 0x29,
    Ge = 0x2A,
    And = 0x2B,
    Or = 0x2C,
    In = 0x2D,
};

struct Node {
    Op op = Op::Number;
    double number = 0;   // Number
    std::string text;    // Text: the value; Field: the item name
    std::uint8_t id = 0; // Local: slot; Call: function id
    std::vector<Node> kids;
    // Height of this subtree (a leaf is 1); kept at most kMaxDepth by whoever builds trees.
    int height = 1;
    // Source span, known only for trees the parser built (used for error reports).
    std::uint32_t offset = 0;
    std::uint32_t length = 0;
};

// `let <local> = <value>;`
struct Assignment {
    std::uint8_t slot = 0;
    Node value;
};

struct Program {
    bool selects = false;            // written with `match`: the result is true or false
    std::vector<std::string> locals; // names of the slots, in order of first assignment
    std::vector<Assignment> lets;
    Node result;
};

// Limits shared by the parser, the reader and the evaluator. The reader refuses anything the
// compiler would not write, so that every readable form decompiles to text that compiles back
// to the same bytes.
constexpr int kMaxDepth = 96;               // nesting of the tree; bounds every recursion
constexpr std::size_t kMaxLocals = 255;     // slots are one byte
constexpr std::size_t kMaxNameLength = 255; // field and local names: one length byte
constexpr std::size_t kMaxTextLiteral = 0xFFFF;
constexpr std::size_t kMaxListLiteral = 0xFFFF;
constexpr std::size_t kMaxArguments = 255;
constexpr std::size_t kMaxAssignments = 0xFFFF;

// Binding strength of operators, from loosest to tightest; the parser and the decompiler share
// it so that printed parentheses are exactly the necessary ones.
enum Precedence : int {
    kPrecIf = 1,
    kPrecOr = 2,
    kPrecAnd = 3,
    kPrecNot = 4,
    kPrecCompare = 5,
    kPrecConcat = 6,
    kPrecAdd = 7,
    kPrecMul = 8,
    kPrecNeg = 9,
    kPrecPrimary = 10,
};

struct OperatorInfo {
    Op op;
    const char* symbol; // as written in source
    int precedence;
};

// Binary operators; null when op is not one.
const OperatorInfo* FindBinary(Op op);
int PrecedenceOf(const Node& node);
bool IsBinary(Op op);

} // namespace vlt::formula
