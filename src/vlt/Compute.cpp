// The compute family: compiled formulas made ready and run on open notes.
#include <cstring>
#include <vector>

#include "store/api/Formula.h"
#include "vlt/Engine.h"
#include "vlt/HandleTable.h"
#include "vlt/StoredNoteContext.h"
#include "vlt/formula/FormulaEngine.h"

namespace store {
namespace {

struct Computation {
    std::vector<std::uint8_t> compiled;
};

vlt::HandleTable<Computation>& Computations() {
    static vlt::HandleTable<Computation> t;
    return t;
}

} // namespace

Status ComputeStart(const void* formula, std::size_t length, ComputeHandle* compute) {
    if (!compute || (!formula && length > 0))
        return kInvalidArgument;
    *compute = 0;
    const auto* bytes = static_cast<const std::uint8_t*>(formula);
    if (Status s = vlt::formula::Validate(bytes, length); s != kNoError)
        return s;
    auto c = std::make_shared<Computation>();
    c->compiled.assign(bytes, bytes + length);
    const ComputeHandle h = Computations().add(std::move(c));
    if (!h)
        return kTooManyOpen;
    *compute = h;
    return kNoError;
}

Status ComputeEvaluate(ComputeHandle compute, NoteHandle note, MemHandle* result,
                       std::size_t* resultLength, bool* selected) {
    if (!result)
        return kInvalidArgument;
    *result = 0;
    if (resultLength)
        *resultLength = 0;
    std::shared_ptr<Computation> c = Computations().find(compute);
    if (!c)
        return kInvalidHandle;
    std::vector<std::uint8_t> value;
    bool isTrue = false;
    Status s;
    if (note == 0) {
        s = vlt::formula::Evaluate(c->compiled.data(), c->compiled.size(), nullptr, &value,
                                   &isTrue);
    } else {
        std::shared_ptr<vlt::OpenNote> n = vlt::FindNote(note);
        if (!n)
            return kInvalidHandle;
        LockedMem pool(n->pool);
        vlt::StoredNoteContext ctx(n->row, n->items, pool.bytes());
        s = vlt::formula::Evaluate(c->compiled.data(), c->compiled.size(), &ctx, &value, &isTrue);
    }
    if (s != kNoError)
        return s;
    const MemHandle h = MemAlloc(value.size());
    if (!h)
        return kOutOfMemory;
    if (!value.empty()) {
        LockedMem mem(h);
        std::memcpy(mem.bytes(), value.data(), value.size());
    }
    *result = h;
    if (resultLength)
        *resultLength = value.size();
    if (selected)
        *selected = isTrue;
    return kNoError;
}

Status ComputeStop(ComputeHandle compute) {
    return Computations().remove(compute) ? kNoError : kInvalidHandle;
}

} // namespace store
