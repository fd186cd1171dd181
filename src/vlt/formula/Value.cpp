// Value construction, truth, element access and comparison.
#include "vlt/formula/Value.h"

#include <cmath>
#include <cstring>

#include "store/api/Conversions.h"

namespace vlt::formula {

std::size_t Value::Count() const {
    switch (kind) {
    case Kind::Text:
        return texts.size();
    case Kind::Number:
        return numbers.size();
    case Kind::Time:
        return times.size();
    }
    return 0;
}

Value Value::Text(std::string text) {
    Value v;
    v.texts.push_back(std::move(text));
    return v;
}

Value Value::Number(double number) {
    Value v;
    v.kind = Kind::Number;
    v.numbers.push_back(number);
    return v;
}

Value Value::Time(store::TimeDate time) {
    Value v;
    v.kind = Kind::Time;
    v.times.push_back(time);
    return v;
}

Value Value::EmptyList(Kind kind) {
    Value v;
    v.kind = kind;
    v.list = true;
    return v;
}

Value Value::TextList(std::vector<std::string> texts) {
    Value v = EmptyList(Kind::Text);
    v.texts = std::move(texts);
    return v;
}

Value Value::NumberList(std::vector<double> numbers) {
    Value v = EmptyList(Kind::Number);
    v.numbers = std::move(numbers);
    return v;
}

Value Value::TimeList(std::vector<store::TimeDate> times) {
    Value v = EmptyList(Kind::Time);
    v.times = std::move(times);
    return v;
}

std::size_t ByteSize(const Value& v) {
    std::size_t n = 0;
    for (const auto& t : v.texts)
        n += t.size() + 2;
    return n + v.numbers.size() * 8 + v.times.size() * 8;
}

bool IsTrue(const Value& v) {
    for (const auto& t : v.texts)
        if (!t.empty())
            return true;
    for (double d : v.numbers)
        if (d != 0)
            return true;
    for (const auto& t : v.times)
        if (!t.IsZero())
            return true;
    return false;
}

Value ElementAt(const Value& v, std::size_t i) {
    switch (v.kind) {
    case Kind::Text:
        return Value::Text(v.texts[i]);
    case Kind::Number:
        return Value::Number(v.numbers[i]);
    case Kind::Time:
        return Value::Time(v.times[i]);
    }
    return Value{};
}

void AppendElements(Value* to, const Value& from) {
    to->texts.insert(to->texts.end(), from.texts.begin(), from.texts.end());
    to->numbers.insert(to->numbers.end(), from.numbers.begin(), from.numbers.end());
    to->times.insert(to->times.end(), from.times.begin(), from.times.end());
}

Value AsList(Value v) {
    v.list = true;
    return v;
}

bool ElementsEqual(const Value& a, std::size_t i, const Value& b, std::size_t j) {
    return a.kind == b.kind && CompareElements(a, i, b, j) == 0;
}

int CompareElements(const Value& a, std::size_t i, const Value& b, std::size_t j) {
    switch (a.kind) {
    case Kind::Text: {
        const int c = a.texts[i].compare(b.texts[j]);
        return c < 0 ? -1 : (c > 0 ? 1 : 0);
    }
    case Kind::Number: {
        // Not-a-number (possible in stored items) sorts after every number, so that sorting
        // always sees a strict weak order.
        const double x = a.numbers[i], y = b.numbers[j];
        const bool nx = std::isnan(x), ny = std::isnan(y);
        if (nx || ny)
            return nx == ny ? 0 : (nx ? 1 : -1);
        return x < y ? -1 : (x > y ? 1 : 0);
    }
    case Kind::Time: {
        // Stamps order by their instant; the zone bits only break ties.
        const auto x = a.times[i].Value(), y = b.times[j].Value();
        return x < y ? -1 : (x > y ? 1 : 0);
    }
    }
    return 0;
}

store::Status ElementToText(const Value& v, std::size_t i, std::string* text) {
    char buffer[96];
    std::size_t length = 0;
    store::Status s = store::kNoError;
    switch (v.kind) {
    case Kind::Text:
        *text = v.texts[i];
        return store::kNoError;
    case Kind::Number:
        s = store::NumberToText(nullptr, nullptr, v.numbers[i], buffer, sizeof buffer, &length);
        break;
    case Kind::Time: {
        const store::TimeFormat format{0, 0, 1, 2}; // date, time, zone when it differs
        s = store::TimeToText(nullptr, &format, v.times[i], buffer, sizeof buffer, &length);
        break;
    }
    }
    if (s != store::kNoError)
        return s;
    text->assign(buffer, length);
    return store::kNoError;
}

} // namespace vlt::formula
