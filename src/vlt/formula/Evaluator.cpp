// Tree-walking evaluation of a program.
#include "vlt/formula/Evaluator.h"

#include "vlt/formula/Functions.h"
#include "vlt/formula/Operators.h"
#include "vlt/formula/ValueCodec.h"

namespace vlt::formula {
namespace {

// Bounds what the locals, or the operands of one node, may hold together.
constexpr std::size_t kMaxHeldBytes = 8 * kMaxValueBytes;

class Evaluator {
public:
    Evaluator(const Program& p, const NoteContext* note)
        : prog_(p), note_(note), slots_(p.locals.size()) {}

    store::Status Statements(Value* result) {
        for (const auto& a : prog_.lets) {
            Value& slot = slots_[a.slot];
            held_ -= ByteSize(slot);
            if (store::Status s = Eval(a.value, &slot); s != store::kNoError)
                return s;
            held_ += ByteSize(slot);
            if (held_ > kMaxHeldBytes)
                return store::kFormulaTooComplex;
        }
        if (store::Status s = Eval(prog_.result, result); s != store::kNoError)
            return s;
        if (prog_.selects)
            *result = Value::Bool(IsTrue(*result));
        return store::kNoError;
    }

private:
    store::Status Eval(const Node& n, Value* out) {
        store::Status s = EvalBare(n, out);
        if (s == store::kNoError && (ByteSize(*out) > kMaxValueBytes || out->Count() > 0xFFFF))
            s = store::kFormulaRuntime;
        return s;
    }

    store::Status EvalBare(const Node& n, Value* out) {
        switch (n.op) {
        case Op::Number:
            *out = Value::Number(n.number);
            return store::kNoError;
        case Op::Text:
            *out = Value::Text(n.text);
            return store::kNoError;
        case Op::Field:
            return ReadField(note_, n.text, out);
        case Op::Local:
            *out = slots_[n.id];
            return store::kNoError;
        case Op::If: {
            Value cond;
            if (store::Status s = Eval(n.kids[0], &cond); s != store::kNoError)
                return s;
            return Eval(n.kids[IsTrue(cond) ? 1 : 2], out);
        }
        case Op::And:
        case Op::Or: {
            // Short-circuit: the right side runs only when the left does not decide.
            Value side;
            if (store::Status s = Eval(n.kids[0], &side); s != store::kNoError)
                return s;
            const bool left = IsTrue(side);
            if (left == (n.op == Op::Or)) {
                *out = Value::Bool(left);
                return store::kNoError;
            }
            if (store::Status s = Eval(n.kids[1], &side); s != store::kNoError)
                return s;
            *out = Value::Bool(IsTrue(side));
            return store::kNoError;
        }
        case Op::Not: {
            Value v;
            if (store::Status s = Eval(n.kids[0], &v); s != store::kNoError)
                return s;
            *out = Value::Bool(!IsTrue(v));
            return store::kNoError;
        }
        case Op::Neg: {
            Value v;
            if (store::Status s = Eval(n.kids[0], &v); s != store::kNoError)
                return s;
            return Negate(v, out);
        }
        default:
            break;
        }
        // Operands waiting for their siblings count against one budget shared with the locals,
        // so that no nesting of lists and calls can hold more than kMaxHeldBytes at once.
        std::vector<Value> args(n.kids.size());
        std::size_t bytes = 0;
        store::Status s = store::kNoError;
        for (std::size_t i = 0; i < n.kids.size() && s == store::kNoError; ++i) {
            s = Eval(n.kids[i], &args[i]);
            const std::size_t size = ByteSize(args[i]);
            bytes += size;
            held_ += size;
            if (s == store::kNoError && held_ > kMaxHeldBytes)
                s = store::kFormulaTooComplex;
        }
        if (s == store::kNoError) {
            if (n.op == Op::List)
                s = MakeList(args, out);
            else if (n.op == Op::Call)
                s = FunctionById(n.id)->impl(note_, args, out);
            else
                s = ApplyBinary(n.op, args[0], args[1], out);
        }
        held_ -= bytes;
        return s;
    }

    const Program& prog_;
    const NoteContext* note_;
    std::vector<Value> slots_;
    std::size_t held_ = 0;
};

} // namespace

store::Status Run(const Program& program, const NoteContext* note, Value* result) {
    *result = Value{};
    return Evaluator(program, note).Statements(result);
}

} // namespace vlt::formula
