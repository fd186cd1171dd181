// Text functions. Those that take a text also take a text list and work on each entry.
// Positions are byte offsets counted from 0; a negative start counts from the end.
#include <algorithm>

#include "vlt/formula/FunctionArgs.h"
#include "vlt/formula/FunctionFamilies.h"

namespace vlt::formula {
namespace {

using store::kNoError;
using store::Status;

// Text to text, entry by entry.
template <typename F> Status MapText(const Value& v, F f, Value* out) {
    return Map(
        v, Kind::Text, Kind::Text,
        [&](std::size_t i, Value* r) {
            r->texts.push_back(f(v.texts[i]));
            return kNoError;
        },
        out);
}

char Upper(char c) {
    return (c >= 'a' && c <= 'z') ? char(c - 'a' + 'A') : c;
}
char Lower(char c) {
    return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c;
}
bool IsLetter(char c) {
    return Lower(c) >= 'a' && Lower(c) <= 'z';
}
bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// Pairwise tests of every entry of `texts` against every entry of `parts` cost their product;
// beyond this the call is refused rather than left to run for minutes.
constexpr std::size_t kMaxPairWork = 50'000'000;
constexpr int kMaxPosition = int(kMaxValueBytes);

template <typename Test>
Status AnyPair(const Value& texts, const Value& parts, Test test, Value* out) {
    if ((texts.kind != Kind::Text && texts.Count()) || (parts.kind != Kind::Text && parts.Count()))
        return store::kFormulaRuntime;
    std::size_t work = 0;
    for (const auto& t : texts.texts)
        work += t.size() + 1;
    if (parts.Count() && work > kMaxPairWork / parts.Count())
        return store::kFormulaTooComplex;
    for (const auto& t : texts.texts)
        for (const auto& p : parts.texts)
            if (test(t, p)) {
                *out = Value::Bool(true);
                return kNoError;
            }
    *out = Value::Bool(false);
    return kNoError;
}

} // namespace

Status FnUpper(const NoteContext*, std::vector<Value>& args, Value* out) {
    return MapText(
        args[0],
        [](std::string s) {
            std::transform(s.begin(), s.end(), s.begin(), Upper);
            return s;
        },
        out);
}

Status FnLower(const NoteContext*, std::vector<Value>& args, Value* out) {
    return MapText(
        args[0],
        [](std::string s) {
            std::transform(s.begin(), s.end(), s.begin(), Lower);
            return s;
        },
        out);
}

Status FnCapitalize(const NoteContext*, std::vector<Value>& args, Value* out) {
    return MapText(
        args[0],
        [](std::string s) {
            bool start = true;
            for (char& c : s) {
                c = start ? Upper(c) : Lower(c);
                start = !IsLetter(c);
            }
            return s;
        },
        out);
}

Status FnTrim(const NoteContext*, std::vector<Value>& args, Value* out) {
    Status s = MapText(
        args[0],
        [](const std::string& t) {
            std::size_t b = 0, e = t.size();
            while (b < e && IsSpace(t[b]))
                ++b;
            while (e > b && IsSpace(t[e - 1]))
                --e;
            return t.substr(b, e - b);
        },
        out);
    // In a list, entries that trim to nothing go.
    if (s == kNoError && out->list)
        std::erase(out->texts, std::string());
    return s;
}

Status FnLen(const NoteContext*, std::vector<Value>& args, Value* out) {
    const Value& v = args[0];
    return Map(
        v, Kind::Text, Kind::Number,
        [&](std::size_t i, Value* r) {
            r->numbers.push_back(double(v.texts[i].size()));
            return kNoError;
        },
        out);
}

Status FnSlice(const NoteContext*, std::vector<Value>& args, Value* out) {
    int start = 0, count = -1;
    if (Status s = IntArg(args[1], -kMaxPosition, kMaxPosition, &start); s != kNoError)
        return s;
    if (args.size() > 2)
        if (Status s = IntArg(args[2], 0, kMaxPosition, &count); s != kNoError)
            return s;
    return MapText(
        args[0],
        [&](const std::string& t) {
            const long n = long(t.size());
            long b = start < 0 ? n + start : start;
            b = std::clamp(b, 0L, n);
            const long len = count < 0 ? n - b : std::min<long>(count, n - b);
            return t.substr(std::size_t(b), std::size_t(len));
        },
        out);
}

Status FnFind(const NoteContext*, std::vector<Value>& args, Value* out) {
    std::string t, part;
    if (Status s = TextArg(args[0], &t); s != kNoError)
        return s;
    if (Status s = TextArg(args[1], &part); s != kNoError)
        return s;
    const auto at = t.find(part);
    *out = Value::Number(at == std::string::npos ? -1 : double(at));
    return kNoError;
}

Status FnContains(const NoteContext*, std::vector<Value>& args, Value* out) {
    return AnyPair(
        args[0], args[1],
        [](const std::string& t, const std::string& p) { return t.find(p) != std::string::npos; },
        out);
}

Status FnStartsWith(const NoteContext*, std::vector<Value>& args, Value* out) {
    return AnyPair(
        args[0], args[1],
        [](const std::string& t, const std::string& p) { return t.starts_with(p); }, out);
}

Status FnEndsWith(const NoteContext*, std::vector<Value>& args, Value* out) {
    return AnyPair(
        args[0], args[1], [](const std::string& t, const std::string& p) { return t.ends_with(p); },
        out);
}

Status FnReplace(const NoteContext*, std::vector<Value>& args, Value* out) {
    std::string from, to;
    if (Status s = TextArg(args[1], &from); s != kNoError)
        return s;
    if (Status s = TextArg(args[2], &to); s != kNoError)
        return s;
    if (from.empty())
        return store::kFormulaRuntime;
    const Value& v = args[0];
    std::size_t total = 0;
    return Map(
        v, Kind::Text, Kind::Text,
        [&](std::size_t i, Value* r) {
            const std::string& t = v.texts[i];
            std::string result;
            std::size_t at = 0;
            for (std::size_t hit; (hit = t.find(from, at)) != std::string::npos;
                 at = hit + from.size()) {
                result.append(t, at, hit - at);
                result += to;
                if (total + result.size() > kMaxValueBytes)
                    return store::kFormulaRuntime;
            }
            result.append(t, at);
            total += result.size();
            if (total > kMaxValueBytes)
                return store::kFormulaRuntime;
            r->texts.push_back(std::move(result));
            return kNoError;
        },
        out);
}

Status FnSplit(const NoteContext*, std::vector<Value>& args, Value* out) {
    std::string sep;
    if (Status s = TextArg(args[1], &sep); s != kNoError)
        return s;
    const Value& v = args[0];
    if (sep.empty() || (v.kind != Kind::Text && v.Count()))
        return store::kFormulaRuntime;
    Value r = Value::EmptyList(Kind::Text);
    for (const auto& t : v.texts) {
        std::size_t at = 0;
        for (;;) {
            if (r.texts.size() >= 0xFFFF)
                return store::kFormulaRuntime;
            const std::size_t hit = t.find(sep, at);
            r.texts.push_back(
                t.substr(at, hit == std::string::npos ? std::string::npos : hit - at));
            if (hit == std::string::npos)
                break;
            at = hit + sep.size();
        }
    }
    *out = std::move(r);
    return kNoError;
}

Status FnBefore(const NoteContext*, std::vector<Value>& args, Value* out) {
    std::string part;
    if (Status s = TextArg(args[1], &part); s != kNoError)
        return s;
    return MapText(
        args[0],
        [&](const std::string& t) {
            const auto at = t.find(part);
            return at == std::string::npos ? std::string() : t.substr(0, at);
        },
        out);
}

Status FnAfter(const NoteContext*, std::vector<Value>& args, Value* out) {
    std::string part;
    if (Status s = TextArg(args[1], &part); s != kNoError)
        return s;
    return MapText(
        args[0],
        [&](const std::string& t) {
            const auto at = t.find(part);
            return at == std::string::npos ? std::string() : t.substr(at + part.size());
        },
        out);
}

Status FnText(const NoteContext*, std::vector<Value>& args, Value* out) {
    const Value& v = args[0];
    return Map(
        v, v.kind, Kind::Text,
        [&](std::size_t i, Value* r) {
            std::string t;
            if (Status s = ElementToText(v, i, &t); s != kNoError)
                return s;
            r->texts.push_back(std::move(t));
            return kNoError;
        },
        out);
}

} // namespace vlt::formula
