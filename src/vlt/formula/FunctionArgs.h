// Checked access to function arguments, shared by the function library: scalars of one kind
// and element-by-element mapping over lists.
#pragma once

#include <string>

#include "store/api/Status.h"
#include "vlt/formula/Value.h"

namespace vlt::formula {

// One element of the wanted kind (a scalar, or a list of exactly one); else kFormulaRuntime.
store::Status TextArg(const Value& v, std::string* out);
store::Status NumberArg(const Value& v, double* out);
store::Status TimeArg(const Value& v, store::TimeDate* out);
// A number within [lo, hi], its fraction dropped.
store::Status IntArg(const Value& v, int lo, int hi, int* out);

// Applies f(i, &result) to each element i of v, which must be of kind `in` (an empty list of
// any kind is accepted). The result has kind `result` and is a list exactly when v is one.
template <typename F> store::Status Map(const Value& v, Kind in, Kind result, F f, Value* out) {
    if (v.kind != in && v.Count() > 0)
        return store::kFormulaRuntime;
    Value r = Value::EmptyList(result);
    r.list = v.list;
    for (std::size_t i = 0; i < v.Count(); ++i)
        if (store::Status s = f(i, &r); s != store::kNoError)
            return s;
    *out = std::move(r);
    return store::kNoError;
}

} // namespace vlt::formula
