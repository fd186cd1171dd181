// The store engine at scale: a database of 100,000 notes with 10 items each, built through the
// builder, searched with summaries, and read item by item.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "store/api/Acl.h"
#include "store/api/Database.h"
#include "store/api/Formula.h"
#include "store/api/Items.h"
#include "store/api/Notes.h"
#include "store/api/Search.h"
#include "vlt/builder/Values.h"
#include "vlt/builder/Writer.h"

namespace {

namespace fs = std::filesystem;
using namespace vlt::builder;

constexpr int kNotes = 100000;

DatabaseDesc MakeDesc() {
    DatabaseDesc desc;
    ParseTime("2020-01-01T00:00:00Z", &desc.id);
    desc.info = "Bench\n\n\n";
    desc.notes.reserve(kNotes);
    for (int i = 0; i < kNotes; ++i) {
        NoteDesc n;
        n.id = 4 * (i + 1);
        n.noteClass = i % 50 == 0 ? 0x0004 : 0x0001;
        n.created = n.modified =
            store::TimeDate::FromValue(desc.id.Value() + (std::uint64_t(i) << 24));
        n.items = {
            {"Form", store::kItemSummary, TextValue("Memo")},
            {"Subject", store::kItemSummary, TextValue("Subject of note " + std::to_string(i))},
            {"From", store::kItemSummary, TextValue("CN=Someone/O=Org")},
            {"Categories", store::kItemSummary, TextListValue({"alpha", "beta", "gamma"})},
            {"Size", 0, NumberValue(i * 1.5)},
            {"Posted", 0, TimeValue(n.created)},
            {"Range", 0, NumberRangeValue({1, 2, 3}, {{4, 5}})},
            {"Body", 0, TextValue(std::string(200, 'x'))},
            {"Readers", 0x0400, TextListValue({"[Staff]", "CN=Reader/O=Org"})},
            {"$Revisions", 0, TimeRangeValue({n.created, n.modified}, {})},
        };
        desc.notes.push_back(std::move(n));
    }
    return desc;
}

const DatabaseDesc& Desc() {
    static const DatabaseDesc desc = MakeDesc();
    return desc;
}

std::string TempPath(const char* name) {
    return (fs::temp_directory_path() /
            (std::string("delvex-bench-") + std::to_string(getpid()) + "-" + name))
        .string();
}

// The database the reading benchmarks use, built once.
const std::string& SharedDb() {
    static const std::string path = [] {
        const std::string p = TempPath("shared.vlt");
        std::string error;
        if (!WriteDatabase(Desc(), p, &error))
            std::fprintf(stderr, "%s\n", error.c_str());
        return p;
    }();
    return path;
}

void BM_Build(benchmark::State& state) {
    const DatabaseDesc& desc = Desc();
    const std::string path = TempPath("build.vlt");
    for (auto _ : state) {
        std::string error;
        if (!WriteDatabase(desc, path, &error))
            state.SkipWithError(error.c_str());
    }
    state.counters["notes"] = kNotes;
    state.counters["MiB"] = static_cast<double>(fs::file_size(path)) / (1 << 20);
    fs::remove(path);
}
BENCHMARK(BM_Build)->Unit(benchmark::kMillisecond)->Iterations(2);

void BM_SearchWithSummaries(benchmark::State& state) {
    store::DbHandle db = 0;
    if (store::OpenDatabase(SharedDb().c_str(), &db) != store::kNoError) {
        state.SkipWithError("open failed");
        return;
    }
    std::size_t matches = 0, bytes = 0;
    for (auto _ : state) {
        matches = bytes = 0;
        struct Count {
            std::size_t *matches, *bytes;
        } count{&matches, &bytes};
        auto cb = [](void* ctx, const store::SEARCH_MATCH*,
                     const store::ITEM_TABLE* t) -> store::Status {
            auto* c = static_cast<Count*>(ctx);
            ++*c->matches;
            *c->bytes += t->length;
            return 0;
        };
        store::Search(db, nullptr, 0, 3, 0x7FFF, nullptr, cb, &count);
    }
    state.counters["matches"] = static_cast<double>(matches);
    state.counters["summary_bytes"] = static_cast<double>(bytes);
    store::CloseDatabase(db);
}
BENCHMARK(BM_SearchWithSummaries)->Unit(benchmark::kMillisecond)->Iterations(3);

// The same search with a selection formula that reads two items of every note.
void BM_SearchWithFormula(benchmark::State& state) {
    static const char kSource[] = "match #Form == \"Memo\" and #Size > 75000";
    store::MemHandle formula = 0;
    std::size_t formulaLength = 0;
    if (store::FormulaCompile(kSource, sizeof kSource - 1, &formula, &formulaLength, nullptr) !=
        store::kNoError) {
        state.SkipWithError("compile failed");
        return;
    }
    store::DbHandle db = 0;
    if (store::OpenDatabase(SharedDb().c_str(), &db) != store::kNoError) {
        state.SkipWithError("open failed");
        store::MemFree(formula);
        return;
    }
    std::size_t selected = 0;
    for (auto _ : state) {
        selected = 0;
        auto cb = [](void* ctx, const store::SEARCH_MATCH* m,
                     const store::ITEM_TABLE*) -> store::Status {
            if (m->matchFlags & store::kMatchSelected)
                ++*static_cast<std::size_t*>(ctx);
            return 0;
        };
        store::LockedMem bytes(formula);
        store::Search(db, bytes.bytes(), formulaLength, 3, 0x7FFF, nullptr, cb, &selected);
    }
    state.counters["selected"] = static_cast<double>(selected);
    store::CloseDatabase(db);
    store::MemFree(formula);
}
BENCHMARK(BM_SearchWithFormula)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_ReadEveryItemValue(benchmark::State& state) {
    store::DbHandle db = 0;
    if (store::OpenDatabase(SharedDb().c_str(), &db) != store::kNoError) {
        state.SkipWithError("open failed");
        return;
    }
    std::size_t items = 0;
    for (auto _ : state) {
        items = 0;
        for (int i = 0; i < kNotes; ++i) {
            store::NoteHandle note = 0;
            if (store::OpenNote(db, 4 * (i + 1), 0, &note) != store::kNoError)
                continue;
            store::BlockId item, value;
            std::uint32_t length = 0;
            for (store::Status s = store::FindItem(note, nullptr, &item, nullptr, &value, &length);
                 s == store::kNoError;
                 s = store::FindNextItem(note, item, nullptr, &item, nullptr, &value, &length)) {
                char name[store::kItemNameBuffer];
                store::ItemInfo(note, item, name, sizeof name, nullptr, nullptr, nullptr, nullptr,
                                nullptr);
                benchmark::DoNotOptimize(store::MemLockBlock(value));
                store::MemUnlock(value.pool);
                ++items;
            }
            store::CloseNote(note);
        }
    }
    state.counters["items"] = static_cast<double>(items);
    store::CloseDatabase(db);
    fs::remove(SharedDb());
}
BENCHMARK(BM_ReadEveryItemValue)->Unit(benchmark::kMillisecond)->Iterations(2);

// What writing every entry of an access control list asks of the store: the list once, then
// the name of each privilege and role of each entry (three of each here).
void BM_AclEveryEntryAndItsRoleNames(benchmark::State& state) {
    const auto entries = static_cast<unsigned>(state.range(0));
    DatabaseDesc desc;
    ParseTime("2020-01-01T00:00:00Z", &desc.id);
    AclDesc acl;
    acl.roles = {{0, "CreateDocuments"}, {5, "[Staff]"}, {79, "[Last]"}};
    acl.entries.reserve(entries);
    for (unsigned i = 0; i < entries; ++i) {
        AclEntryDesc e;
        e.name = "CN=User " + std::to_string(i) + "/O=Org";
        e.level = 2;
        e.roles.bits[0] = 0x21; // bits 0 and 5
        e.roles.bits[9] = 0x80; // bit 79
        acl.entries.push_back(std::move(e));
    }
    desc.acl = std::move(acl);
    const std::string path = TempPath("acl.vlt");
    std::string error;
    store::DbHandle db = 0;
    if (!WriteDatabase(desc, path, &error) ||
        store::OpenDatabase(path.c_str(), &db) != store::kNoError) {
        state.SkipWithError("build or open failed");
        return;
    }
    std::size_t names = 0;
    for (auto _ : state) {
        store::MemHandle list = 0;
        if (store::AclRead(db, &list) != store::kNoError) {
            state.SkipWithError("read failed");
            break;
        }
        struct Walk {
            store::MemHandle list;
            std::size_t* names;
        } walk{list, &names};
        auto cb = [](void* ctx, const char*, std::uint16_t, const store::ACL_PRIVILEGES* roles,
                     std::uint16_t) -> store::Status {
            auto* w = static_cast<Walk*>(ctx);
            for (unsigned n = 0; n < store::kAclRoleCount; ++n) {
                if (!(roles->bits[n / 8] & (1u << (n % 8))))
                    continue;
                char name[20];
                store::AclRoleName(w->list, n, name, sizeof name);
                ++*w->names;
            }
            return 1;
        };
        store::AclForEachEntry(list, cb, &walk);
        store::MemFree(list);
    }
    state.counters["entries"] = entries;
    state.counters["role_names"] = static_cast<double>(names);
    store::CloseDatabase(db);
    fs::remove(path);
}
BENCHMARK(BM_AclEveryEntryAndItsRoleNames)
    ->Arg(2000)
    ->Arg(8000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(2);

} // namespace
