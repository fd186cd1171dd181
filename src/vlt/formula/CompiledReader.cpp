// Reads the compiled form (layout in CompiledForm.h) back into a program tree. Everything it
// accepts is something the writer could have produced, so decompiling and compiling again
// gives the same bytes; everything else is kFormulaDamaged.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "vlt/formula/CompiledForm.h"
#include "vlt/formula/Functions.h"
#include "vlt/formula/Lexer.h"

namespace vlt::formula {
namespace {

// A cursor that cannot move past `end_`; a short read sets `bad_` and yields zeros.
class Cursor {
public:
    Cursor(const std::uint8_t* p, std::size_t n) : p_(p), end_(n) {}

    bool Bad() const { return bad_; }
    bool AtEnd() const { return pos_ == end_; }
    std::size_t Left() const { return end_ - pos_; }
    void Fail() { bad_ = true; }

    std::uint8_t U8() { return Has(1) ? p_[pos_++] : 0; }
    std::uint16_t U16() {
        if (!Has(2))
            return 0;
        const std::uint16_t v = std::uint16_t(p_[pos_] | (p_[pos_ + 1] << 8));
        pos_ += 2;
        return v;
    }
    std::uint32_t U32() {
        const std::uint32_t lo = U16();
        return lo | (std::uint32_t(U16()) << 16);
    }
    double F64() {
        if (!Has(8))
            return 0;
        std::uint64_t bits = 0;
        for (int i = 0; i < 8; ++i)
            bits |= std::uint64_t(p_[pos_ + i]) << (8 * i);
        pos_ += 8;
        double d;
        std::memcpy(&d, &bits, 8);
        return d;
    }
    std::string Bytes(std::size_t n) {
        if (!Has(n))
            return {};
        std::string s(reinterpret_cast<const char*>(p_ + pos_), n);
        pos_ += n;
        return s;
    }

private:
    bool Has(std::size_t n) {
        if (bad_ || n > end_ - pos_) {
            bad_ = true;
            return false;
        }
        return true;
    }

    const std::uint8_t* p_;
    std::size_t end_;
    std::size_t pos_ = 0;
    bool bad_ = false;
};

class Reader {
public:
    explicit Reader(Cursor* c) : c_(c) {}

    // `visible`: slots assigned before this point. Returns false on damage.
    bool ReadNode(Node* n, std::size_t visible, int depth) {
        if (depth > kMaxDepth)
            return false;
        n->op = Op(c_->U8());
        std::size_t count = 0;
        switch (n->op) {
        case Op::Number:
            n->number = c_->F64();
            // The parser writes only finite, non-negative literals that read back exactly.
            return !c_->Bad() && std::isfinite(n->number) && !std::signbit(n->number) &&
                   (n->number == 0 || std::isnormal(n->number));
        case Op::Text:
            n->text = c_->Bytes(c_->U16());
            return !c_->Bad();
        case Op::Field:
            n->text = c_->Bytes(c_->U8());
            return !c_->Bad() && !n->text.empty();
        case Op::Local:
            n->id = c_->U8();
            return !c_->Bad() && n->id < visible;
        case Op::List:
            count = c_->U16();
            break;
        case Op::Call: {
            n->id = c_->U8();
            count = c_->U8();
            const FunctionInfo* fn = FunctionById(n->id);
            if (!fn || count < fn->minArgs || count > fn->maxArgs)
                return false;
            break;
        }
        case Op::If:
            count = 3;
            break;
        case Op::Neg:
        case Op::Not:
            count = 1;
            break;
        default:
            if (!IsBinary(n->op))
                return false;
            count = 2;
            break;
        }
        // Every node takes at least one byte: a count beyond the bytes left is damage, and
        // checking it first keeps a damaged count from driving a large allocation.
        if (c_->Bad() || count > c_->Left())
            return false;
        n->kids.resize(count);
        int height = 0;
        for (auto& k : n->kids) {
            if (!ReadNode(&k, visible, depth + 1))
                return false;
            height = std::max(height, k.height);
        }
        n->height = height + 1;
        return true;
    }

private:
    Cursor* c_;
};

} // namespace

store::Status ReadCompiled(const std::uint8_t* bytes, std::size_t length, Program* program) {
    *program = Program{};
    if (!bytes || length < kHeaderSize || std::memcmp(bytes, kMagic, 4) != 0)
        return store::kFormulaDamaged;
    Cursor head(bytes + 4, kHeaderSize - 4);
    const std::uint8_t version = head.U8();
    const std::uint8_t flags = head.U8();
    const std::uint32_t total = head.U32();
    if (version != kVersion || (flags & ~kFlagSelects) != 0 || total < kHeaderSize ||
        total > length)
        return store::kFormulaDamaged;
    program->selects = (flags & kFlagSelects) != 0;

    Cursor c(bytes + kHeaderSize, total - kHeaderSize);
    const std::size_t localCount = c.U8();
    for (std::size_t i = 0; i < localCount && !c.Bad(); ++i) {
        std::string name = c.Bytes(c.U8());
        if (!IsIdentifier(name) || std::find(program->locals.begin(), program->locals.end(),
                                             name) != program->locals.end())
            return store::kFormulaDamaged;
        program->locals.push_back(std::move(name));
    }
    const std::size_t letCount = c.U16();
    if (c.Bad() || letCount > c.Left() / 2)
        return store::kFormulaDamaged;
    Reader reader(&c);
    std::size_t assigned = 0;
    program->lets.resize(letCount);
    for (auto& a : program->lets) {
        a.slot = c.U8();
        // Slots are numbered in order of first assignment, as the parser numbers them.
        if (c.Bad() || a.slot > assigned || a.slot >= localCount ||
            !reader.ReadNode(&a.value, assigned, 1))
            return store::kFormulaDamaged;
        if (a.slot == assigned)
            ++assigned;
    }
    if (assigned != localCount || !reader.ReadNode(&program->result, assigned, 1) || !c.AtEnd())
        return store::kFormulaDamaged;
    return store::kNoError;
}

} // namespace vlt::formula
