// Time functions. Parts of a time are read in the zone the time carries; new times (today,
// date) carry the machine's zone. Weekdays run from 1 (Sunday) to 7 (Saturday).
#include "store/api/Conversions.h"
#include "vlt/TimeCodec.h"
#include "vlt/formula/FunctionArgs.h"
#include "vlt/formula/FunctionFamilies.h"

namespace vlt::formula {
namespace {

using store::kNoError;
using store::Status;

// Splits a stamp in its own zone.
Status Split(const store::TimeDate& t, store::TimeParts* parts) {
    const auto d = DecodeTime(t);
    if (!d)
        return store::kFormulaRuntime;
    parts->zone = d->zone;
    parts->dst = d->dst;
    return store::SplitTime(t, parts) == kNoError ? kNoError : store::kFormulaRuntime;
}

template <typename Part> Status MapPart(const Value& v, Part part, Value* out) {
    return Map(
        v, Kind::Time, Kind::Number,
        [&](std::size_t i, Value* r) {
            store::TimeParts p;
            if (Status s = Split(v.times[i], &p); s != kNoError)
                return s;
            r->numbers.push_back(double(part(p)));
            return kNoError;
        },
        out);
}

// The machine's zone, as the current time carries it.
store::TimeParts LocalParts() {
    store::TimeDate now;
    store::CurrentTime(&now);
    store::TimeParts p;
    Split(now, &p);
    return p;
}

Status Assemble(store::TimeParts p, Value* out) {
    store::TimeDate t;
    if (store::AssembleTime(p, &t) != kNoError)
        return store::kFormulaRuntime;
    *out = Value::Time(t);
    return kNoError;
}

} // namespace

Status FnNow(const NoteContext*, std::vector<Value>&, Value* out) {
    store::TimeDate now;
    store::CurrentTime(&now);
    *out = Value::Time(now);
    return kNoError;
}

Status FnToday(const NoteContext*, std::vector<Value>&, Value* out) {
    store::TimeParts p = LocalParts();
    p.hour = p.minute = p.second = p.hundredth = 0;
    return Assemble(p, out);
}

Status FnYear(const NoteContext*, std::vector<Value>& args, Value* out) {
    return MapPart(
        args[0], [](const store::TimeParts& p) { return p.year; }, out);
}
Status FnMonth(const NoteContext*, std::vector<Value>& args, Value* out) {
    return MapPart(
        args[0], [](const store::TimeParts& p) { return p.month; }, out);
}
Status FnDay(const NoteContext*, std::vector<Value>& args, Value* out) {
    return MapPart(
        args[0], [](const store::TimeParts& p) { return p.day; }, out);
}
Status FnWeekday(const NoteContext*, std::vector<Value>& args, Value* out) {
    return MapPart(
        args[0], [](const store::TimeParts& p) { return p.weekday; }, out);
}
Status FnHour(const NoteContext*, std::vector<Value>& args, Value* out) {
    return MapPart(
        args[0], [](const store::TimeParts& p) { return p.hour; }, out);
}
Status FnMinute(const NoteContext*, std::vector<Value>& args, Value* out) {
    return MapPart(
        args[0], [](const store::TimeParts& p) { return p.minute; }, out);
}
Status FnSecond(const NoteContext*, std::vector<Value>& args, Value* out) {
    return MapPart(
        args[0], [](const store::TimeParts& p) { return p.second; }, out);
}

// shift(t, years, months, days [, hours]): calendar moves as AdjustTime makes them.
Status FnShift(const NoteContext*, std::vector<Value>& args, Value* out) {
    constexpr int kLimit = 10'000'000;
    int amount[4] = {0, 0, 0, 0};
    for (std::size_t k = 1; k < args.size(); ++k)
        if (Status s = IntArg(args[k], -kLimit, kLimit, &amount[k - 1]); s != kNoError)
            return s;
    const Value& v = args[0];
    return Map(
        v, Kind::Time, Kind::Time,
        [&](std::size_t i, Value* r) {
            store::TimeDate t = v.times[i];
            if (store::AdjustTime(&t, 0, 0, amount[3], amount[2], amount[1], amount[0]) != kNoError)
                return store::kFormulaRuntime;
            r->times.push_back(t);
            return kNoError;
        },
        out);
}

Status FnDate(const NoteContext*, std::vector<Value>& args, Value* out) {
    store::TimeParts p = LocalParts();
    p.hour = p.minute = p.second = p.hundredth = 0;
    if (IntArg(args[0], 1, 9999, &p.year) != kNoError || IntArg(args[1], 1, 12, &p.month) ||
        IntArg(args[2], 1, 31, &p.day))
        return store::kFormulaRuntime;
    return Assemble(p, out);
}

Status FnTime(const NoteContext*, std::vector<Value>& args, Value* out) {
    const Value& v = args[0];
    if (v.kind == Kind::Time) {
        *out = v;
        return kNoError;
    }
    return Map(
        v, Kind::Text, Kind::Time,
        [&](std::size_t i, Value* r) {
            store::TimeDate t;
            const std::string& text = v.texts[i];
            if (store::TextToTime(nullptr, nullptr, text.data(), text.size(), &t) != kNoError)
                return store::kFormulaRuntime;
            r->times.push_back(t);
            return kNoError;
        },
        out);
}

} // namespace vlt::formula
