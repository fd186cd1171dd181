// Number functions. Those of one number also take a number list and work on each entry.
#include <charconv>
#include <cmath>

#include "vlt/formula/FunctionArgs.h"
#include "vlt/formula/FunctionFamilies.h"
#include "vlt/formula/Operators.h"

namespace vlt::formula {
namespace {

using store::kNoError;
using store::Status;

template <typename F> Status MapNumber(const Value& v, F f, Value* out) {
    return Map(
        v, Kind::Number, Kind::Number,
        [&](std::size_t i, Value* r) {
            const double d = f(v.numbers[i]);
            if (!std::isfinite(d))
                return store::kFormulaRuntime;
            r->numbers.push_back(d);
            return kNoError;
        },
        out);
}

} // namespace

Status FnRound(const NoteContext*, std::vector<Value>& args, Value* out) {
    int digits = 0;
    if (args.size() > 1)
        if (Status s = IntArg(args[1], -15, 15, &digits); s != kNoError)
            return s;
    // Scale by an exact power of ten: multiplying by 0.01 would not be exact.
    const double scale = std::pow(10.0, std::abs(digits));
    return MapNumber(
        args[0],
        [&](double d) {
            return digits >= 0 ? std::round(d * scale) / scale : std::round(d / scale) * scale;
        },
        out);
}

Status FnFloor(const NoteContext*, std::vector<Value>& args, Value* out) {
    return MapNumber(
        args[0], [](double d) { return std::floor(d); }, out);
}

Status FnCeil(const NoteContext*, std::vector<Value>& args, Value* out) {
    return MapNumber(
        args[0], [](double d) { return std::ceil(d); }, out);
}

Status FnAbs(const NoteContext*, std::vector<Value>& args, Value* out) {
    return MapNumber(
        args[0], [](double d) { return std::fabs(d); }, out);
}

Status FnSum(const NoteContext*, std::vector<Value>& args, Value* out) {
    Value all;
    if (Status s = MakeList(args, &all); s != kNoError)
        return s;
    if (all.Count() && all.kind != Kind::Number)
        return store::kFormulaRuntime;
    double total = 0;
    for (double d : all.numbers)
        total += d;
    if (!std::isfinite(total))
        return store::kFormulaRuntime;
    *out = Value::Number(total);
    return kNoError;
}

// Text to number: optional spaces, an optional sign, a decimal number; nothing else.
Status FnNumber(const NoteContext*, std::vector<Value>& args, Value* out) {
    const Value& v = args[0];
    if (v.kind == Kind::Number) {
        *out = v;
        return kNoError;
    }
    return Map(
        v, Kind::Text, Kind::Number,
        [&](std::size_t i, Value* r) {
            const std::string& t = v.texts[i];
            const char* p = t.data();
            const char* end = p + t.size();
            while (p < end && *p == ' ')
                ++p;
            while (end > p && end[-1] == ' ')
                --end;
            if (p < end && *p == '+')
                ++p;
            double d = 0;
            const auto res = std::from_chars(p, end, d, std::chars_format::general);
            if (p == end || res.ec != std::errc() || res.ptr != end || !std::isfinite(d))
                return store::kFormulaRuntime;
            r->numbers.push_back(d);
            return kNoError;
        },
        out);
}

} // namespace vlt::formula
