// Operator table shared by the parser, the reader and the decompiler.
#include "vlt/formula/Ast.h"

namespace vlt::formula {
namespace {

constexpr OperatorInfo kBinary[] = {
    {Op::Or, "or", kPrecOr},         {Op::And, "and", kPrecAnd},   {Op::Eq, "==", kPrecCompare},
    {Op::Ne, "!=", kPrecCompare},    {Op::Lt, "<", kPrecCompare},  {Op::Le, "<=", kPrecCompare},
    {Op::Gt, ">", kPrecCompare},     {Op::Ge, ">=", kPrecCompare}, {Op::In, "in", kPrecCompare},
    {Op::Concat, "..", kPrecConcat}, {Op::Add, "+", kPrecAdd},     {Op::Sub, "-", kPrecAdd},
    {Op::Mul, "*", kPrecMul},        {Op::Div, "/", kPrecMul},
};

} // namespace

const OperatorInfo* FindBinary(Op op) {
    for (const auto& info : kBinary)
        if (info.op == op)
            return &info;
    return nullptr;
}

bool IsBinary(Op op) {
    return FindBinary(op) != nullptr;
}

int PrecedenceOf(const Node& node) {
    switch (node.op) {
    case Op::If:
        return kPrecIf;
    case Op::Not:
        return kPrecNot;
    case Op::Neg:
        return kPrecNeg;
    default:
        break;
    }
    if (const OperatorInfo* info = FindBinary(node.op))
        return info->precedence;
    return kPrecPrimary;
}

} // namespace vlt::formula
