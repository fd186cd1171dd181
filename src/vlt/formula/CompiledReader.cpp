// Reads the compiled form (layout in CompiledForm.h) back into a program tree. Everything it
// accepts is something the writer could have produced, so decompiling and compiling again
// gives the same bytes; everything else is kFormulaDamaged.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "common/ByteReader.h"
#include "vlt/formula/CompiledForm.h"
#include "vlt/formula/Functions.h"
#include "vlt/formula/Lexer.h"

namespace vlt::formula {
namespace {

class Reader {
public:
    explicit Reader(ByteReader* c) : c_(c) {}

    // `visible`: slots assigned before this point. Returns false on damage.
    bool ReadNode(Node* n, std::size_t visible, int depth) {
        if (depth > kMaxDepth)
            return false;
        n->op = Op(c_->u8());
        std::size_t count = 0;
        switch (n->op) {
        case Op::Number:
            n->number = c_->f64le();
            // The parser writes only finite, non-negative literals that read back exactly.
            return !c_->Short() && std::isfinite(n->number) && !std::signbit(n->number) &&
                   (n->number == 0 || std::isnormal(n->number));
        case Op::Text:
            n->text = c_->text(c_->u16le());
            return !c_->Short();
        case Op::Field:
            n->text = c_->text(c_->u8());
            return !c_->Short() && !n->text.empty();
        case Op::Local:
            n->id = c_->u8();
            return !c_->Short() && n->id < visible;
        case Op::List:
            count = c_->u16le();
            break;
        case Op::Call: {
            n->id = c_->u8();
            count = c_->u8();
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
        if (c_->Short() || count > c_->Remaining())
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
    ByteReader* c_;
};

} // namespace

store::Status ReadCompiled(const std::uint8_t* bytes, std::size_t length, Program* program) {
    *program = Program{};
    if (!bytes || length < kHeaderSize || std::memcmp(bytes, kMagic, 4) != 0)
        return store::kFormulaDamaged;
    ByteReader head = ByteReader(bytes, kHeaderSize).At(4);
    const std::uint8_t version = head.u8();
    const std::uint8_t flags = head.u8();
    const std::uint32_t total = head.u32le();
    if (version != kVersion || (flags & ~kFlagSelects) != 0 || total < kHeaderSize ||
        total > length)
        return store::kFormulaDamaged;
    program->selects = (flags & kFlagSelects) != 0;

    ByteReader c = ByteReader(bytes, total).At(kHeaderSize);
    const std::size_t localCount = c.u8();
    for (std::size_t i = 0; i < localCount && !c.Short(); ++i) {
        std::string name(c.text(c.u8()));
        if (!IsIdentifier(name) || std::find(program->locals.begin(), program->locals.end(),
                                             name) != program->locals.end())
            return store::kFormulaDamaged;
        program->locals.push_back(std::move(name));
    }
    const std::size_t letCount = c.u16le();
    if (c.Short() || letCount > c.Remaining() / 2)
        return store::kFormulaDamaged;
    Reader reader(&c);
    std::size_t assigned = 0;
    program->lets.resize(letCount);
    for (auto& a : program->lets) {
        a.slot = c.u8();
        // Slots are numbered in order of first assignment, as the parser numbers them.
        if (c.Short() || a.slot > assigned || a.slot >= localCount ||
            !reader.ReadNode(&a.value, assigned, 1))
            return store::kFormulaDamaged;
        if (a.slot == assigned)
            ++assigned;
    }
    if (assigned != localCount || !reader.ReadNode(&program->result, assigned, 1) ||
        c.Remaining() != 0)
        return store::kFormulaDamaged;
    return store::kNoError;
}

} // namespace vlt::formula
