// Binary operators. Arithmetic and concatenation work element by element: a scalar pairs with
// every element of a list, two lists pair up by position and must be of equal length.
// Comparisons ask whether any pair of elements compares so; values of different kinds never
// compare equal or ordered. `a in b` holds when every element of a is among those of b.
#include "vlt/formula/Operators.h"

#include <algorithm>
#include <cmath>
#include <functional>

#include "store/api/Conversions.h"

namespace vlt::formula {
namespace {

using store::Status;

// Calls f(i, j) for each pair of positions, with the broadcasting rule above.
Status ForPairs(const Value& a, const Value& b,
                const std::function<Status(std::size_t, std::size_t)>& f, bool* list) {
    const std::size_t na = a.Count(), nb = b.Count();
    *list = a.list || b.list;
    if (a.list && b.list && na != nb)
        return store::kFormulaRuntime;
    const std::size_t n = a.list ? na : (b.list ? nb : 1);
    for (std::size_t k = 0; k < n; ++k)
        if (Status s = f(a.list ? k : 0, b.list ? k : 0); s != store::kNoError)
            return s;
    return store::kNoError;
}

Status Arithmetic(Op op, const Value& a, const Value& b, Value* out) {
    const Kind ka = a.kind, kb = b.kind;
    bool list = false;
    Status s;
    if (ka == Kind::Number && kb == Kind::Number) {
        *out = Value::EmptyList(Kind::Number);
        s = ForPairs(
            a, b,
            [&](std::size_t i, std::size_t j) {
                const double x = a.numbers[i], y = b.numbers[j];
                double r = 0;
                switch (op) {
                case Op::Add:
                    r = x + y;
                    break;
                case Op::Sub:
                    r = x - y;
                    break;
                case Op::Mul:
                    r = x * y;
                    break;
                default:
                    if (y == 0)
                        return store::kFormulaRuntime;
                    r = x / y;
                }
                if (!std::isfinite(r))
                    return store::kFormulaRuntime;
                out->numbers.push_back(r);
                return store::kNoError;
            },
            &list);
    } else if (ka == Kind::Time && kb == Kind::Time && op == Op::Sub) {
        // The difference of two times is in seconds.
        *out = Value::EmptyList(Kind::Number);
        s = ForPairs(
            a, b,
            [&](std::size_t i, std::size_t j) {
                const double x = double(a.times[i].Value() >> 16),
                             y = double(b.times[j].Value() >> 16);
                out->numbers.push_back((x - y) / 100);
                return store::kNoError;
            },
            &list);
    } else if ((op == Op::Add || op == Op::Sub) && ka == Kind::Time && kb == Kind::Number) {
        // A time moved by a number of seconds.
        *out = Value::EmptyList(Kind::Time);
        s = ForPairs(
            a, b,
            [&](std::size_t i, std::size_t j) {
                const double secs = op == Op::Add ? b.numbers[j] : -b.numbers[j];
                if (!(std::fabs(secs) <= 2e9))
                    return store::kFormulaRuntime;
                store::TimeDate t = a.times[i];
                if (store::AdjustTime(&t, int(secs), 0, 0, 0, 0, 0) != store::kNoError)
                    return store::kFormulaRuntime;
                out->times.push_back(t);
                return store::kNoError;
            },
            &list);
    } else if (op == Op::Add && ka == Kind::Number && kb == Kind::Time) {
        return Arithmetic(op, b, a, out);
    } else {
        return store::kFormulaRuntime;
    }
    out->list = list;
    return s;
}

Status Concat(const Value& a, const Value& b, Value* out) {
    *out = Value::EmptyList(Kind::Text);
    bool list = false;
    std::size_t bytes = 0;
    std::string x, y;
    const Status s = ForPairs(
        a, b,
        [&](std::size_t i, std::size_t j) {
            if (Status e = ElementToText(a, i, &x); e != store::kNoError)
                return e;
            if (Status e = ElementToText(b, j, &y); e != store::kNoError)
                return e;
            bytes += x.size() + y.size();
            if (bytes > kMaxValueBytes)
                return store::kFormulaRuntime;
            out->texts.push_back(x + y);
            return store::kNoError;
        },
        &list);
    out->list = list;
    return s;
}

// Positions of v's elements in sorted order, for the set-like operators.
std::vector<std::size_t> SortedOrder(const Value& v) {
    std::vector<std::size_t> order(v.Count());
    for (std::size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    std::stable_sort(order.begin(), order.end(),
                     [&](std::size_t i, std::size_t j) { return CompareElements(v, i, v, j) < 0; });
    return order;
}

bool Contains(const Value& set, const std::vector<std::size_t>& order, const Value& v,
              std::size_t i) {
    const auto it =
        std::lower_bound(order.begin(), order.end(), i, [&](std::size_t k, std::size_t) {
            return CompareElements(set, k, v, i) < 0;
        });
    return it != order.end() && CompareElements(set, *it, v, i) == 0;
}

// Some element of a equals some element of b; sorted so that long lists stay fast.
bool AnyEqual(const Value& a, const Value& b) {
    if (a.kind != b.kind)
        return false;
    const auto order = SortedOrder(b);
    for (std::size_t i = 0; i < a.Count(); ++i)
        if (Contains(b, order, a, i))
            return true;
    return false;
}

bool AllIn(const Value& a, const Value& b) {
    if (a.Count() == 0)
        return true;
    if (a.kind != b.kind)
        return false;
    const auto order = SortedOrder(b);
    for (std::size_t i = 0; i < a.Count(); ++i)
        if (!Contains(b, order, a, i))
            return false;
    return true;
}

// Some pair (x of a, y of b) with x < y (or <=): decided by the smallest x and the largest y.
bool AnyOrdered(const Value& a, const Value& b, bool orEqual) {
    if (a.kind != b.kind || a.Count() == 0 || b.Count() == 0)
        return false;
    std::size_t lo = 0, hi = 0;
    for (std::size_t i = 1; i < a.Count(); ++i)
        if (CompareElements(a, i, a, lo) < 0)
            lo = i;
    for (std::size_t j = 1; j < b.Count(); ++j)
        if (CompareElements(b, j, b, hi) > 0)
            hi = j;
    const int c = CompareElements(a, lo, b, hi);
    return orEqual ? c <= 0 : c < 0;
}

} // namespace

Status ApplyBinary(Op op, const Value& a, const Value& b, Value* out) {
    switch (op) {
    case Op::Add:
    case Op::Sub:
    case Op::Mul:
    case Op::Div:
        return Arithmetic(op, a, b, out);
    case Op::Concat:
        return Concat(a, b, out);
    case Op::Eq:
        *out = Value::Bool(AnyEqual(a, b));
        return store::kNoError;
    case Op::Ne:
        *out = Value::Bool(!AnyEqual(a, b));
        return store::kNoError;
    case Op::Lt:
        *out = Value::Bool(AnyOrdered(a, b, false));
        return store::kNoError;
    case Op::Le:
        *out = Value::Bool(AnyOrdered(a, b, true));
        return store::kNoError;
    case Op::Gt:
        *out = Value::Bool(AnyOrdered(b, a, false));
        return store::kNoError;
    case Op::Ge:
        *out = Value::Bool(AnyOrdered(b, a, true));
        return store::kNoError;
    case Op::In:
        *out = Value::Bool(AllIn(a, b));
        return store::kNoError;
    default:
        return store::kInternalError;
    }
}

Status Negate(const Value& a, Value* out) {
    if (a.kind != Kind::Number)
        return store::kFormulaRuntime;
    *out = a;
    for (double& d : out->numbers)
        d = -d;
    return store::kNoError;
}

Status MakeList(const std::vector<Value>& elements, Value* out) {
    *out = Value::EmptyList(Kind::Text);
    bool kindKnown = false;
    for (const Value& e : elements) {
        if (e.Count() == 0)
            continue; // an empty list adds nothing, whatever its kind
        if (kindKnown && e.kind != out->kind)
            return store::kFormulaRuntime;
        out->kind = e.kind;
        kindKnown = true;
        AppendElements(out, e);
    }
    return store::kNoError;
}

} // namespace vlt::formula
