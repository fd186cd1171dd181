// Values a formula computes with: texts, numbers and time stamps, each alone or as a list.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "store/api/Status.h"
#include "store/api/Time.h"

namespace vlt::formula {

enum class Kind : std::uint8_t { Text, Number, Time };

// Exactly one of the three vectors is used, the one of `kind`. A scalar holds one element and
// has list == false; a list may hold any number, none included.
struct Value {
    Kind kind = Kind::Text;
    bool list = false;
    std::vector<std::string> texts;
    std::vector<double> numbers;
    std::vector<store::TimeDate> times;

    std::size_t Count() const;
    bool IsScalar() const { return !list; }

    static Value Text(std::string text);
    static Value Number(double number);
    static Value Bool(bool truth) { return Number(truth ? 1 : 0); }
    static Value Time(store::TimeDate time);
    static Value EmptyList(Kind kind);
    static Value TextList(std::vector<std::string> texts);
    static Value NumberList(std::vector<double> numbers);
    static Value TimeList(std::vector<store::TimeDate> times);
};

// A computed value may not grow past this many bytes; without it a few doubling assignments
// would exhaust memory.
constexpr std::size_t kMaxValueBytes = 1 << 20;
std::size_t ByteSize(const Value& v);

// Truth: a nonzero number, a non-empty text, a time that is not zero; a list when any of its
// elements is true (so an empty list is false).
bool IsTrue(const Value& v);

// Element i of v as a scalar (i < v.Count()).
Value ElementAt(const Value& v, std::size_t i);
// Appends the elements of `from` (same kind) to `to`.
void AppendElements(Value* to, const Value& from);
// The same elements as a list.
Value AsList(Value v);
// Equality of element i of a and element j of b; elements of different kinds are never equal.
bool ElementsEqual(const Value& a, std::size_t i, const Value& b, std::size_t j);
// Ordering of elements of the same kind: -1, 0, 1.
int CompareElements(const Value& a, std::size_t i, const Value& b, std::size_t j);

// Text of one element: texts as they are, numbers and times through the store's conversions.
store::Status ElementToText(const Value& v, std::size_t i, std::string* text);

} // namespace vlt::formula
