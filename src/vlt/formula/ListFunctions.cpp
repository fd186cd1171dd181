// List functions. A scalar counts as a list of one. Positions count from 0; negative ones
// count from the end.
#include <algorithm>

#include "vlt/formula/FunctionArgs.h"
#include "vlt/formula/FunctionFamilies.h"
#include "vlt/formula/Operators.h"

namespace vlt::formula {
namespace {

using store::kNoError;
using store::Status;

// The elements of v at the given positions, as a list of v's kind.
Value Pick(const Value& v, const std::vector<std::size_t>& positions) {
    Value r = Value::EmptyList(v.kind);
    for (std::size_t i : positions)
        AppendElements(&r, ElementAt(v, i));
    return r;
}

std::vector<std::size_t> Positions(std::size_t n) {
    std::vector<std::size_t> p(n);
    for (std::size_t i = 0; i < n; ++i)
        p[i] = i;
    return p;
}

// All arguments as one list; their kinds must agree.
Status Gather(const std::vector<Value>& args, Value* all) {
    return MakeList(args, all);
}

Status Extreme(const std::vector<Value>& args, int sign, Value* out) {
    Value all;
    if (Status s = Gather(args, &all); s != kNoError)
        return s;
    if (all.Count() == 0)
        return store::kFormulaRuntime;
    std::size_t best = 0;
    for (std::size_t i = 1; i < all.Count(); ++i)
        if (CompareElements(all, i, all, best) * sign > 0)
            best = i;
    *out = ElementAt(all, best);
    return kNoError;
}

} // namespace

Status FnJoin(const NoteContext*, std::vector<Value>& args, Value* out) {
    std::string sep = ", ";
    if (args.size() > 1)
        if (Status s = TextArg(args[1], &sep); s != kNoError)
            return s;
    const Value& v = args[0];
    std::string r, t;
    for (std::size_t i = 0; i < v.Count(); ++i) {
        if (Status s = ElementToText(v, i, &t); s != kNoError)
            return s;
        if (i)
            r += sep;
        r += t;
        if (r.size() > kMaxValueBytes)
            return store::kFormulaRuntime;
    }
    *out = Value::Text(std::move(r));
    return kNoError;
}

Status FnCount(const NoteContext*, std::vector<Value>& args, Value* out) {
    *out = Value::Number(double(args[0].Count()));
    return kNoError;
}

Status FnAt(const NoteContext*, std::vector<Value>& args, Value* out) {
    const Value& v = args[0];
    const int n = int(v.Count());
    int i = 0;
    if (Status s = IntArg(args[1], -n, n - 1, &i); s != kNoError)
        return s;
    *out = ElementAt(v, std::size_t(i < 0 ? n + i : i));
    return kNoError;
}

Status FnTake(const NoteContext*, std::vector<Value>& args, Value* out) {
    const Value& v = args[0];
    const int n = int(v.Count());
    int k = 0;
    if (Status s = IntArg(args[1], -0x7FFFFFFF, 0x7FFFFFFF, &k); s != kNoError)
        return s;
    const int len = std::min(n, k < 0 ? -k : k);
    std::vector<std::size_t> p;
    for (int i = 0; i < len; ++i)
        p.push_back(std::size_t(k < 0 ? n - len + i : i));
    *out = Pick(v, p);
    return kNoError;
}

Status FnUnique(const NoteContext*, std::vector<Value>& args, Value* out) {
    const Value& v = args[0];
    // Sort positions (stable: the first of equal elements leads), keep each run's leader, then
    // restore the original order: O(n log n) even for long lists.
    auto order = Positions(v.Count());
    std::stable_sort(order.begin(), order.end(),
                     [&](std::size_t a, std::size_t b) { return CompareElements(v, a, v, b) < 0; });
    std::vector<std::size_t> keep;
    for (std::size_t k = 0; k < order.size(); ++k)
        if (k == 0 || CompareElements(v, order[k - 1], v, order[k]) != 0)
            keep.push_back(order[k]);
    std::sort(keep.begin(), keep.end());
    *out = Pick(v, keep);
    return kNoError;
}

Status FnSort(const NoteContext*, std::vector<Value>& args, Value* out) {
    const Value& v = args[0];
    auto order = Positions(v.Count());
    std::stable_sort(order.begin(), order.end(),
                     [&](std::size_t a, std::size_t b) { return CompareElements(v, a, v, b) < 0; });
    *out = Pick(v, order);
    return kNoError;
}

Status FnReverse(const NoteContext*, std::vector<Value>& args, Value* out) {
    auto order = Positions(args[0].Count());
    std::reverse(order.begin(), order.end());
    *out = Pick(args[0], order);
    return kNoError;
}

Status FnMin(const NoteContext*, std::vector<Value>& args, Value* out) {
    return Extreme(args, -1, out);
}

Status FnMax(const NoteContext*, std::vector<Value>& args, Value* out) {
    return Extreme(args, 1, out);
}

Status FnTypeOf(const NoteContext*, std::vector<Value>& args, Value* out) {
    static const char* const kNames[] = {"text", "number", "time"};
    std::string name = kNames[int(args[0].kind)];
    if (args[0].list)
        name += " list";
    *out = Value::Text(std::move(name));
    return kNoError;
}

} // namespace vlt::formula
