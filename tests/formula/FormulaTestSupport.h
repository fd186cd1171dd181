// Shared pieces of the formula tests: a note made of plain values, and compile/run shortcuts
// that go through the public calls.
#pragma once

#include <cstring>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "store/api/Formula.h"
#include "vlt/formula/FormulaEngine.h"
#include "vlt/formula/NoteContext.h"
#include "vlt/formula/ValueCodec.h"

namespace formula_test {

using Bytes = std::vector<std::uint8_t>;

inline void PutU16(Bytes* b, std::uint16_t v) {
    b->push_back(std::uint8_t(v));
    b->push_back(std::uint8_t(v >> 8));
}
inline void PutF64(Bytes* b, double d) {
    std::uint64_t bits;
    std::memcpy(&bits, &d, 8);
    for (int i = 0; i < 8; ++i)
        b->push_back(std::uint8_t(bits >> (8 * i)));
}
inline void PutTime(Bytes* b, store::TimeDate t) {
    for (int w = 0; w < 2; ++w)
        for (int i = 0; i < 4; ++i)
            b->push_back(std::uint8_t(t.w[w] >> (8 * i)));
}

class FakeNote : public vlt::formula::NoteContext {
public:
    struct Item {
        std::uint16_t type;
        Bytes data;
    };

    FakeNote& Text(const std::string& name, const std::string& text) {
        items_.push_back({name, {vlt::formula::kTypeText, Bytes(text.begin(), text.end())}});
        return *this;
    }
    FakeNote& TextList(const std::string& name, const std::vector<std::string>& texts) {
        Bytes b;
        PutU16(&b, std::uint16_t(texts.size()));
        for (const auto& t : texts)
            PutU16(&b, std::uint16_t(t.size()));
        for (const auto& t : texts)
            b.insert(b.end(), t.begin(), t.end());
        return Raw(name, vlt::formula::kTypeTextList, b);
    }
    FakeNote& Number(const std::string& name, double d) {
        Bytes b;
        PutF64(&b, d);
        return Raw(name, vlt::formula::kTypeNumber, b);
    }
    FakeNote& Numbers(const std::string& name, const std::vector<double>& list,
                      const std::vector<double>& pairs = {}) {
        Bytes b;
        PutU16(&b, std::uint16_t(list.size()));
        PutU16(&b, std::uint16_t(pairs.size() / 2));
        for (double d : list)
            PutF64(&b, d);
        for (double d : pairs)
            PutF64(&b, d);
        return Raw(name, vlt::formula::kTypeNumberRange, b);
    }
    FakeNote& Time(const std::string& name, store::TimeDate t) {
        Bytes b;
        PutTime(&b, t);
        return Raw(name, vlt::formula::kTypeTime, b);
    }
    FakeNote& Raw(const std::string& name, std::uint16_t type, const Bytes& data) {
        items_.push_back({name, {type, data}});
        return *this;
    }

    bool FindItem(std::string_view name, vlt::formula::ItemValue* value) const override {
        for (const auto& [n, item] : items_) {
            if (n.size() != name.size())
                continue;
            bool same = true;
            for (std::size_t i = 0; i < n.size(); ++i)
                same = same && std::tolower(static_cast<unsigned char>(n[i])) ==
                                   std::tolower(static_cast<unsigned char>(name[i]));
            if (same) {
                *value = {item.type, item.data.data(), item.data.size()};
                return true;
            }
        }
        return false;
    }
    std::uint32_t NoteId() const override { return id; }
    std::uint16_t NoteClass() const override { return noteClass; }
    store::TimeDate Created() const override { return created; }
    store::TimeDate Modified() const override { return modified; }
    bool IsResponse() const override { return response; }

    std::uint32_t id = 0x2F6;
    std::uint16_t noteClass = 1;
    store::TimeDate created{}, modified{};
    bool response = false;

private:
    std::vector<std::pair<std::string, Item>> items_;
};

struct CompileResult {
    store::Status status = 0;
    Bytes bytes;
    store::FormulaError error;
};

inline CompileResult Compile(const std::string& source) {
    CompileResult r;
    store::MemHandle h = 0;
    std::size_t n = 0;
    r.status = store::FormulaCompile(source.data(), source.size(), &h, &n, &r.error);
    if (h) {
        store::LockedMem mem(h);
        r.bytes.assign(mem.bytes(), mem.bytes() + n);
    }
    store::MemFree(h);
    return r;
}

// The decompiled text, or nullopt with *status set.
inline std::optional<std::string> Decompile(const Bytes& bytes, store::Status* status = nullptr) {
    store::MemHandle h = 0;
    std::size_t n = 0;
    const store::Status s = store::FormulaDecompile(bytes.data(), bytes.size(), &h, &n);
    if (status)
        *status = s;
    if (s != store::kNoError)
        return std::nullopt;
    store::LockedMem mem(h);
    std::string text(reinterpret_cast<const char*>(mem.bytes()), n);
    store::MemFree(h);
    return text;
}

struct RunResult {
    store::Status status = 0;
    Bytes value; // type word, then data
    bool selected = false;
    std::uint16_t Type() const { return value.size() >= 2 ? value[0] | (value[1] << 8) : 0; }
    std::string Text() const { return std::string(value.begin() + 2, value.end()); }
};

inline RunResult Eval(const std::string& source, const vlt::formula::NoteContext* note = nullptr) {
    RunResult r;
    const CompileResult c = Compile(source);
    if (c.status != store::kNoError) {
        r.status = c.status;
        return r;
    }
    r.status = vlt::formula::Evaluate(c.bytes.data(), c.bytes.size(), note, &r.value, &r.selected);
    return r;
}

} // namespace formula_test
