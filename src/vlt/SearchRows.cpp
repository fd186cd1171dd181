#include "vlt/SearchRows.h"

#include <array>
#include <atomic>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

#include "vlt/DbFile.h"

namespace vlt {
namespace {

std::atomic<bool> readAhead{true};

// Below this largest note ID a search is over before a second thread would pay for itself.
constexpr std::int64_t kReadAheadFromId = 4096;
// Opened notes are read ahead once this many were opened each past the ones before, and no
// longer when this many are opened out of order, or one is asked for this many notes on.
constexpr int kOpenedInOrderToStart = 4;
constexpr int kMissesToStop = 32;
constexpr int kSkipAtMost = 16;

// Reads the note of the statement's current row and its items, up to the first row of the next
// note (IDs are unique); *rc is the last step's outcome.
store::Status ReadNote(Stmt& q, int* rc, SearchedNote* out) {
    NoteData& note = out->note;
    note.items.clear();
    note.bytes.clear();
    out->failed = store::kNoError;
    out->storedId = q.i64(0);
    out->modified = q.i64(7);
    NoteRow& row = note.row;
    // A stored ID outside 1..0x7FFFFFFF is damage: the note is reported as note 0.
    row.id = out->storedId >= 1 && out->storedId <= 0x7FFFFFFF
                 ? static_cast<store::NoteId>(out->storedId)
                 : 0;
    row.noteClass = static_cast<std::uint16_t>(q.i64(1));
    row.originator.file = TimeOf(q.i64(2));
    row.originator.note = TimeOf(q.i64(3));
    row.originator.sequence = static_cast<std::uint32_t>(q.i64(4));
    row.originator.sequenceTime = TimeOf(q.i64(5));
    row.created = TimeOf(q.i64(6));
    row.modified = TimeOf(q.i64(7));
    row.deleted = q.i64(8) != 0;
    row.accessed = TimeOf(q.i64(9));
    row.added = TimeOf(q.i64(10));
    row.flags = static_cast<std::uint16_t>(q.i64(11));
    row.privileges = static_cast<std::uint16_t>(q.i64(12));
    row.parent = static_cast<store::NoteId>(q.i64(13));
    do {
        if (!q.isNull(kSearchItemColumn))
            if (store::Status s = AddNoteItem(q, kSearchItemColumn, &note); s != store::kNoError)
                return out->failed = s;
        *rc = q.step();
    } while (*rc == SQLITE_ROW && q.i64(0) == out->storedId);
    return store::kNoError;
}

std::size_t SizeOf(const SearchedNote& n) {
    std::size_t size = sizeof n + n.note.bytes.size();
    for (const NoteItem& i : n.note.items)
        size += sizeof i + i.nameLength;
    return size;
}

} // namespace

void SetSearchReadAhead(bool on) {
    readAhead.store(on);
}

bool SearchReadAheadOn() {
    return readAhead.load();
}

// A producer thread steps the statement into a few batches of notes, bounded by bytes, and the
// caller takes them in order; batches go back to the producer to be filled again, so the notes'
// buffers are reused.
class SearchReadAhead {
public:
    SearchReadAhead(Stmt q, sqlite3* conn) : q_(std::move(q)), conn_(conn) {
        for (Batch& b : batches_)
            empty_.push_back(&b);
        thread_ = std::thread([this] { Produce(); });
    }

    ~SearchReadAhead() {
        {
            std::lock_guard lock(mutex_);
            stop_ = true;
            // A step can take long (a sort before the first row): cut it short.
            if (!done_)
                sqlite3_interrupt(conn_);
        }
        stopping_.store(true, std::memory_order_relaxed);
        spaceFree_.notify_all();
        thread_.join();
    }

    SearchReadAhead(const SearchReadAhead&) = delete;
    SearchReadAhead& operator=(const SearchReadAhead&) = delete;

    const SearchedNote* Next(store::Status* end) {
        while (true) {
            if (current_) {
                if (next_ < current_->count)
                    return &current_->notes[next_++];
                if (current_->last) {
                    *end = current_->end;
                    return nullptr;
                }
                {
                    std::lock_guard lock(mutex_);
                    empty_.push_back(current_);
                }
                spaceFree_.notify_one();
                current_ = nullptr;
            }
            std::unique_lock lock(mutex_);
            filled_.wait(lock, [this] { return !full_.empty(); });
            current_ = full_.front();
            full_.pop_front();
            next_ = 0;
        }
    }

private:
    // Enough notes to keep both threads busy, few enough to stay small beside the page cache.
    static constexpr std::size_t kBatches = 4;
    static constexpr std::size_t kBatchBytes = 16 * 1024;
    static constexpr std::size_t kBatchNotes = 64;

    struct Batch {
        std::vector<SearchedNote> notes; // the first `count` hold this batch's notes
        std::size_t count = 0;
        bool last = false; // no batch follows: the statement ended, or a note failed
        store::Status end = store::kNoError;
    };

    void Produce() {
        int rc = q_.step();
        bool last = false;
        while (!last) {
            Batch* b = nullptr;
            {
                std::unique_lock lock(mutex_);
                spaceFree_.wait(lock, [this] { return stop_ || !empty_.empty(); });
                if (stop_)
                    break;
                b = empty_.front();
                empty_.pop_front();
            }
            b->count = 0;
            std::size_t bytes = 0;
            while (rc == SQLITE_ROW && bytes < kBatchBytes && b->count < kBatchNotes &&
                   !stopping_.load(std::memory_order_relaxed)) {
                if (b->count == b->notes.size())
                    b->notes.emplace_back();
                SearchedNote& n = b->notes[b->count++];
                // A large note's buffer is not kept for the notes after it.
                if (n.note.bytes.capacity() > kBatchBytes)
                    std::vector<std::uint8_t>().swap(n.note.bytes);
                if (ReadNote(q_, &rc, &n) != store::kNoError) {
                    last = true;
                    break;
                }
                bytes += SizeOf(n);
            }
            if (!last && rc != SQLITE_ROW) {
                last = true;
                b->end = rc == SQLITE_DONE ? store::kNoError : StatusOfSqlite(rc);
            }
            b->last = last;
            {
                std::lock_guard lock(mutex_);
                full_.push_back(b);
                done_ = last;
            }
            filled_.notify_one();
        }
        std::lock_guard lock(mutex_);
        done_ = true;
    }

    Stmt q_;
    sqlite3* conn_;
    std::array<Batch, kBatches> batches_;
    std::mutex mutex_;
    std::condition_variable spaceFree_, filled_;
    std::deque<Batch*> empty_, full_;
    bool stop_ = false;
    bool done_ = false;                 // the producer steps no more
    std::atomic<bool> stopping_{false}; // stop_, read without the lock between notes
    Batch* current_ = nullptr;          // the caller's
    std::size_t next_ = 0;
    std::thread thread_;
};

bool MayReadAhead(DbFile& file) {
    if (!SearchReadAheadOn() || file.readerBusy || sqlite3_threadsafe() == 0 ||
        std::thread::hardware_concurrency() == 1)
        return false;
    if (!file.largestNoteId) {
        Stmt q(file.conn(), "SELECT max(id) FROM notes");
        file.largestNoteId = q && q.step() == SQLITE_ROW ? q.i64(0) : 0;
    }
    return *file.largestNoteId >= kReadAheadFromId && file.reader();
}

namespace {

// The notes after `id` with all their items, as an opening reads them; deleted notes without.
bool StartOpeningAhead(DbFile& file, store::NoteId id) {
    Stmt q(file.reader(),
           "SELECT n.id, n.class, n.unid_file, n.unid_note, n.sequence, n.sequence_time, "
           "n.created, n.modified, n.deleted, n.accessed, n.added, n.flags, n.privileges, "
           "n.parent, i.name, i.flags, i.value FROM notes n LEFT JOIN items i "
           "ON i.note = n.id AND n.deleted = 0 WHERE n.id > ?1 ORDER BY n.id, i.seq");
    if (!q)
        return false;
    q.bind(1, static_cast<std::int64_t>(id));
    auto rows = std::make_unique<SearchRows>(nullptr);
    if (!rows->ReadAhead(std::move(q), file.reader()))
        return false;
    file.openingAhead = std::move(rows);
    file.openingPending = nullptr;
    file.openingMisses = 0;
    file.readerBusy = true;
    return true;
}

} // namespace

void StopOpeningAhead(DbFile& file) {
    std::lock_guard lock(file.mutex());
    if (!file.openingAhead)
        return;
    file.openingAhead.reset();
    file.openingPending = nullptr;
    sqlite3_db_release_memory(file.reader());
    file.readerBusy = false;
}

bool TakeOpenedAhead(DbFile& file, store::NoteId id, NoteData* data) {
    std::lock_guard lock(file.mutex());
    if (id > file.lastOpened) {
        file.lastOpened = id;
        ++file.openedInOrder;
    }
    if (!file.openingAhead) {
        if (file.openedInOrder >= kOpenedInOrderToStart && MayReadAhead(file))
            StartOpeningAhead(file, id);
        return false; // this one is read by the caller
    }
    const auto* n = static_cast<const SearchedNote*>(file.openingPending);
    file.openingPending = nullptr;
    store::Status end = store::kNoError;
    if (!n)
        n = file.openingAhead->Next(&end);
    for (int skipped = 0; n && n->failed == store::kNoError && n->storedId < id; ++skipped)
        n = skipped < kSkipAtMost ? file.openingAhead->Next(&end) : nullptr;
    if (!n || n->failed != store::kNoError) {
        StopOpeningAhead(file);
        return false;
    }
    if (n->storedId > id) {
        // Opened out of order (a form for a title, a second pass from the start): kept for
        // the opening it was read for.
        file.openingPending = n;
        if (++file.openingMisses >= kMissesToStop) {
            StopOpeningAhead(file);
            file.lastOpened = id;
            file.openedInOrder = 0;
        }
        return false;
    }
    file.openingMisses = 0;
    *data = n->note;
    data->row.id = id;
    file.lastRow = data->row;
    return true;
}

SearchRows::SearchRows(Stmt* q) : q_(q) {}

SearchRows::~SearchRows() = default;

bool SearchRows::ReadAhead(Stmt ahead, sqlite3* conn) {
    try {
        ahead_ = std::make_unique<SearchReadAhead>(std::move(ahead), conn);
    } catch (const std::system_error&) {
        return false;
    }
    return true;
}

void SearchRows::Stop() {
    ahead_.reset();
}

const SearchedNote* SearchRows::Next(store::Status* end) {
    if (ahead_)
        return ahead_->Next(end);
    if (rc_ == -1)
        rc_ = q_->step();
    if (rc_ != SQLITE_ROW) {
        *end = rc_ == SQLITE_DONE ? store::kNoError : StatusOfSqlite(rc_);
        return nullptr;
    }
    if (ReadNote(*q_, &rc_, &one_) != store::kNoError)
        rc_ = SQLITE_DONE; // the failed note is the last
    return &one_;
}

} // namespace vlt
