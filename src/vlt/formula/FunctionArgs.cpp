// Checked access to function arguments.
#include "vlt/formula/FunctionArgs.h"

#include <cmath>

namespace vlt::formula {

store::Status TextArg(const Value& v, std::string* out) {
    if (v.kind != Kind::Text || v.Count() != 1)
        return store::kFormulaRuntime;
    *out = v.texts[0];
    return store::kNoError;
}

store::Status NumberArg(const Value& v, double* out) {
    if (v.kind != Kind::Number || v.Count() != 1)
        return store::kFormulaRuntime;
    *out = v.numbers[0];
    return store::kNoError;
}

store::Status TimeArg(const Value& v, store::TimeDate* out) {
    if (v.kind != Kind::Time || v.Count() != 1)
        return store::kFormulaRuntime;
    *out = v.times[0];
    return store::kNoError;
}

store::Status IntArg(const Value& v, int lo, int hi, int* out) {
    double d = 0;
    if (store::Status s = NumberArg(v, &d); s != store::kNoError)
        return s;
    d = std::trunc(d);
    if (!(d >= lo && d <= hi))
        return store::kFormulaRuntime;
    *out = int(d);
    return store::kNoError;
}

} // namespace vlt::formula
