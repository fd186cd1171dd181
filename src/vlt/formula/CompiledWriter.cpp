// Writes program trees in the compiled form (layout in CompiledForm.h).
#include <cstring>

#include "vlt/formula/CompiledForm.h"

namespace vlt::formula {
namespace {

class Writer {
public:
    explicit Writer(std::vector<std::uint8_t>* out) : out_(out) {}

    void U8(std::uint8_t v) { out_->push_back(v); }
    void U16(std::uint16_t v) {
        U8(std::uint8_t(v));
        U8(std::uint8_t(v >> 8));
    }
    void Bytes(const std::string& s) { out_->insert(out_->end(), s.begin(), s.end()); }

    void Node(const vlt::formula::Node& n) {
        U8(std::uint8_t(n.op));
        switch (n.op) {
        case Op::Number: {
            std::uint64_t bits;
            std::memcpy(&bits, &n.number, 8);
            for (int i = 0; i < 8; ++i)
                U8(std::uint8_t(bits >> (8 * i)));
            return;
        }
        case Op::Text:
            U16(std::uint16_t(n.text.size()));
            Bytes(n.text);
            return;
        case Op::Field:
            U8(std::uint8_t(n.text.size()));
            Bytes(n.text);
            return;
        case Op::Local:
            U8(n.id);
            return;
        case Op::List:
            U16(std::uint16_t(n.kids.size()));
            break;
        case Op::Call:
            U8(n.id);
            U8(std::uint8_t(n.kids.size()));
            break;
        default:
            break;
        }
        for (const auto& k : n.kids)
            Node(k);
    }

private:
    std::vector<std::uint8_t>* out_;
};

} // namespace

std::vector<std::uint8_t> WriteCompiled(const Program& program) {
    std::vector<std::uint8_t> out(kMagic, kMagic + 4);
    Writer w(&out);
    w.U8(kVersion);
    w.U8(program.selects ? kFlagSelects : 0);
    for (int i = 0; i < 4; ++i)
        w.U8(0); // length, patched below
    w.U8(std::uint8_t(program.locals.size()));
    for (const auto& name : program.locals) {
        w.U8(std::uint8_t(name.size()));
        w.Bytes(name);
    }
    w.U16(std::uint16_t(program.lets.size()));
    for (const auto& a : program.lets) {
        w.U8(a.slot);
        w.Node(a.value);
    }
    w.Node(program.result);
    const auto total = std::uint32_t(out.size());
    for (int i = 0; i < 4; ++i)
        out[6 + i] = std::uint8_t(total >> (8 * i));
    return out;
}

} // namespace vlt::formula
