#include "store/DesignTitleCache.h"

#include "common/ByteReader.h"
#include "store/api/Database.h"
#include "store/api/Formula.h"
#include "store/api/Items.h"
#include "store/api/Memory.h"
#include "store/api/Notes.h"

namespace {
constexpr std::uint16_t kClassForm = 0x0004;
// A form's "$WindowTitle" need not be a summary item: every item but the objects is read.
constexpr std::uint16_t kOpenForTitle = store::kOpenNoObjects;
} // namespace

store::Status StartWindowTitle(store::NoteHandle note, store::ComputeHandle* compute) {
    *compute = 0;
    store::BlockId value;
    std::uint16_t type = 0;
    std::uint32_t length = 0;
    if (store::FindItem(note, "$WindowTitle", nullptr, &type, &value, &length) != store::kNoError ||
        type != store::kTypeFormula || length < 2)
        return store::kNoError;
    const auto* bytes = static_cast<const std::uint8_t*>(store::MemLockBlock(value));
    if (!bytes)
        return store::kBadValue;
    // The formula follows the value's type word.
    const ByteReader formula = ByteReader(bytes, length).At(2);
    const store::Status status = store::ComputeStart(formula.Rest(), formula.Remaining(), compute);
    store::MemUnlock(value.pool);
    if (status != store::kNoError)
        *compute = 0;
    return status;
}

store::Status CDesignTitleCache::Lookup(store::DbHandle db, const std::string& formName,
                                        store::ComputeHandle* compute) {
    *compute = 0;
    store::TimeDate id;
    store::Status status = store::DatabaseId(db, &id);
    if (status != store::kNoError)
        return status;
    ++clock_;
    for (Entry& e : entries_) {
        if (e.lastUse != 0 && e.dbId == id && e.form == formName) {
            e.lastUse = clock_;
            *compute = e.compute;
            return store::kNoError;
        }
    }
    Entry* victim = &entries_[0];
    for (Entry& e : entries_) {
        if (e.lastUse < victim->lastUse)
            victim = &e;
    }
    if (victim->compute)
        store::ComputeStop(victim->compute);
    *victim = Entry{};

    store::NoteId formId = 0;
    status = store::FindDesignNote(db, formName.c_str(), kClassForm, &formId);
    if (status != store::kNoError)
        return status;
    store::NoteHandle form = 0;
    status = store::OpenNote(db, formId, kOpenForTitle, &form);
    if (status != store::kNoError)
        return status;
    store::ComputeHandle started = 0;
    status = StartWindowTitle(form, &started);
    store::CloseNote(form);
    if (status != store::kNoError)
        return status;
    victim->dbId = id;
    victim->form = formName;
    victim->compute = started;
    victim->lastUse = clock_;
    *compute = started;
    return store::kNoError;
}

void CDesignTitleCache::Clear() {
    for (Entry& e : entries_) {
        if (e.compute)
            store::ComputeStop(e.compute);
        e = Entry{};
    }
}

std::size_t CDesignTitleCache::Used() const {
    std::size_t n = 0;
    for (const Entry& e : entries_)
        n += e.lastUse != 0;
    return n;
}

bool CDesignTitleCache::Holds(store::DbHandle db, const std::string& formName) const {
    store::TimeDate id;
    if (store::DatabaseId(db, &id) != store::kNoError)
        return false;
    for (const Entry& e : entries_) {
        if (e.lastUse != 0 && e.dbId == id && e.form == formName)
            return true;
    }
    return false;
}

CDesignTitleCache& DesignTitleCache() {
    // Never destroyed: stopping computations after the store has gone would be unsafe, so the
    // program clears the cache itself before it ends the store.
    static CDesignTitleCache* cache = new CDesignTitleCache;
    return *cache;
}
