#include "vlt/builder/Writer.h"

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <unordered_set>

#include "vlt/Schema.h"
#include "vlt/Sql.h"
#include "vlt/builder/JsonDescription.h"

namespace vlt::builder {
namespace {

namespace fs = std::filesystem;

constexpr const char* kInsertNote = "INSERT INTO notes VALUES(?,?,?,?,?,?,?,?,?,?,?,?,?,?)";
constexpr const char* kInsertItem = "INSERT INTO items VALUES(?,?,?,?,?)";

std::int64_t T(const store::TimeDate& t) {
    return static_cast<std::int64_t>(t.Value());
}

std::string NoteName(const NoteDesc& n) {
    return "note " + std::to_string(n.id);
}

class Connection {
public:
    explicit Connection(const std::string& path) {
        rc_ = sqlite3_open_v2(path.c_str(), &db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE,
                              nullptr);
    }
    ~Connection() { sqlite3_close_v2(db_); }
    bool ok() const { return rc_ == SQLITE_OK; }
    sqlite3* get() const { return db_; }
    std::string error() const { return db_ ? sqlite3_errmsg(db_) : sqlite3_errstr(rc_); }

private:
    sqlite3* db_ = nullptr;
    int rc_;
};

bool Insert(Connection& c, Stmt& s, std::string* error) {
    if (s.step() != SQLITE_DONE) {
        *error = "cannot write: " + c.error();
        return false;
    }
    s.reset();
    return true;
}

bool WriteHead(Connection& c, const DatabaseDesc& desc, std::string* error) {
    if (!Exec(c.get(), "PRAGMA journal_mode=OFF; PRAGMA synchronous=OFF;") ||
        !Exec(c.get(), schema::kCreateSql) || !Exec(c.get(), "BEGIN")) {
        *error = "cannot create the schema: " + c.error();
        return false;
    }
    Stmt meta(c.get(), "INSERT INTO meta VALUES(?, ?)");
    meta.bind(1, std::string_view("format")).bind(2, std::string_view(schema::kFormatName));
    if (!Insert(c, meta, error))
        return false;
    meta.bind(1, std::string_view("schema")).bind(2, std::to_string(schema::kSchemaVersion));
    if (!Insert(c, meta, error))
        return false;

    Stmt db(c.get(), "INSERT INTO database VALUES(?,?,?,?,?,?,?,?,?,?,?)");
    db.bind(1, T(desc.id)).bind(2, desc.dbClass).bind(3, T(desc.replicaId));
    db.bind(4, desc.replicaFlags).bind(5, desc.cutoffInterval).bind(6, T(desc.cutoffDate));
    db.bind(7, T(desc.dataModified)).bind(8, T(desc.nonDataModified));
    if (desc.options)
        db.bind(9, static_cast<std::int64_t>(*desc.options));
    db.bind(10, desc.info);
    if (desc.buildVersion)
        db.bind(11, *desc.buildVersion);
    return Insert(c, db, error);
}

bool WriteNote(Connection& c, Stmt& note, Stmt& item, const NoteDesc& n, std::string* error) {
    const store::OriginatorId& o = n.originator;
    note.bind(1, n.id).bind(2, n.noteClass).bind(3, T(o.file)).bind(4, T(o.note));
    note.bind(5, o.sequence).bind(6, T(o.sequenceTime)).bind(7, T(n.created));
    note.bind(8, T(n.modified)).bind(9, T(n.accessed)).bind(10, T(n.added));
    note.bind(11, n.flags).bind(12, n.privileges).bind(13, n.parent).bind(14, n.deleted);
    if (!Insert(c, note, error))
        return false;
    std::int64_t seq = 0;
    for (const ItemDesc& i : n.items) {
        item.bind(1, n.id).bind(2, seq++).bind(3, i.name).bind(4, i.flags);
        item.bindBlob(5, i.value.data(), i.value.size());
        if (!Insert(c, item, error))
            return false;
    }
    return true;
}

// Everything after the notes, then the end of the transaction.
bool WriteTail(Connection& c, const DatabaseDesc& desc, std::string* error) {
    Stmt object(c.get(), "INSERT INTO objects VALUES(?,?,?,?,?)");
    for (const ObjectDesc& o : desc.objects) {
        object.bind(1, o.id).bind(2, o.note).bind(3, o.objectClass).bind(4, o.privileges);
        object.bindBlob(5, o.data.data(), o.data.size());
        if (!Insert(c, object, error))
            return false;
    }
    if (desc.acl) {
        const AclDesc& a = *desc.acl;
        Stmt acl(c.get(), "INSERT INTO acl VALUES(?,?)");
        acl.bind(1, a.flags).bind(2, a.adminServer);
        if (!Insert(c, acl, error))
            return false;
        Stmt entry(c.get(), "INSERT INTO acl_entries VALUES(?,?,?,?,?)");
        std::int64_t seq = 0;
        for (const AclEntryDesc& e : a.entries) {
            entry.bind(1, seq++).bind(2, e.name).bind(3, e.level);
            entry.bindBlob(4, e.roles.bits, sizeof e.roles.bits).bind(5, e.flags);
            if (!Insert(c, entry, error))
                return false;
        }
        Stmt role(c.get(), "INSERT INTO acl_roles VALUES(?,?)");
        for (const AclRoleDesc& r : a.roles) {
            role.bind(1, r.index).bind(2, r.name);
            if (!Insert(c, role, error))
                return false;
        }
        Stmt history(c.get(), "INSERT INTO acl_history VALUES(?,?)");
        seq = 0;
        for (const std::string& h : a.history) {
            history.bind(1, seq++).bind(2, h);
            if (!Insert(c, history, error))
                return false;
        }
    }
    if (!Exec(c.get(), "COMMIT")) {
        *error = "cannot write: " + c.error();
        return false;
    }
    return true;
}

bool WriteAll(Connection& c, const DatabaseDesc& desc, std::string* error) {
    if (!WriteHead(c, desc, error))
        return false;
    Stmt note(c.get(), kInsertNote);
    Stmt item(c.get(), kInsertItem);
    for (const NoteDesc& n : desc.notes)
        if (!WriteNote(c, note, item, n, error))
            return false;
    return WriteTail(c, desc, error);
}

// The checks of one note, given the IDs of the notes before it (to which its own is added).
std::string CheckNote(const NoteDesc& n, std::unordered_set<store::NoteId>& ids) {
    if (n.id == 0 || n.id > 0x7FFFFFFF)
        return NoteName(n) + ": a note ID must lie in 1..0x7FFFFFFF";
    if (!ids.insert(n.id).second)
        return NoteName(n) + ": the note ID is used twice";
    if (n.deleted && !n.items.empty())
        return NoteName(n) + ": a deletion stub has no items";
    for (const ItemDesc& i : n.items) {
        if (i.name.empty() || i.name.size() > schema::kMaxItemName)
            return NoteName(n) + ": item name \"" + i.name + "\" must have 1 to " +
                   std::to_string(schema::kMaxItemName) + " bytes";
        if (i.value.size() < 2)
            return NoteName(n) + ": item \"" + i.name + "\" has no type word";
        if (i.value.size() > 0xFFFFFFF0u)
            return NoteName(n) + ": item \"" + i.name + "\" is too large";
    }
    return {};
}

std::string ParentMissing(store::NoteId note, store::NoteId parent) {
    return "note " + std::to_string(note) + ": parent note " + std::to_string(parent) +
           " does not exist";
}

// The checks of what follows the notes, given all their IDs.
std::string CheckRest(const DatabaseDesc& desc, const std::unordered_set<store::NoteId>& ids) {
    std::unordered_set<std::uint32_t> objects;
    for (const ObjectDesc& o : desc.objects) {
        const std::string name = "object " + std::to_string(o.id);
        if (!objects.insert(o.id).second)
            return name + ": the object ID is used twice";
        if (!ids.count(o.note))
            return name + ": its note " + std::to_string(o.note) + " does not exist";
        if (o.data.size() > 0xFFFFFFFFu)
            return name + ": too large";
    }
    if (desc.acl) {
        for (const AclEntryDesc& e : desc.acl->entries)
            if (e.level > 6)
                return "ACL entry \"" + e.name + "\": access level must lie in 0..6";
        std::unordered_set<unsigned> roles;
        for (const AclRoleDesc& r : desc.acl->roles) {
            if (r.index >= store::kAclRoleCount)
                return "ACL role \"" + r.name + "\": index must lie in 0..79";
            if (r.name.empty() || r.name.size() > schema::kMaxRoleName)
                return "ACL role " + std::to_string(r.index) + ": name must have 1 to " +
                       std::to_string(schema::kMaxRoleName) + " bytes";
            if (!roles.insert(r.index).second)
                return "ACL role " + std::to_string(r.index) + ": defined twice";
        }
    }
    return {};
}

fs::path TempPath(const fs::path& target) {
    // Hidden (leading '.') so that directory listings never show a half-written file.
    std::string tempName = ".";
    tempName += target.filename().string();
    tempName += ".tmp-";
    tempName += std::to_string(::getpid());
    return target.parent_path() / tempName;
}

} // namespace

std::string CheckDescription(const DatabaseDesc& desc) {
    std::unordered_set<store::NoteId> ids;
    for (const NoteDesc& n : desc.notes)
        if (std::string problem = CheckNote(n, ids); !problem.empty())
            return problem;
    for (const NoteDesc& n : desc.notes)
        if (n.parent != 0 && !ids.count(n.parent))
            return ParentMissing(n.id, n.parent);
    return CheckRest(desc, ids);
}

bool WriteDatabase(const DatabaseDesc& desc, const std::string& path, std::string* error) {
    std::string problem = CheckDescription(desc);
    if (!problem.empty()) {
        *error = path + ": " + problem;
        return false;
    }
    const fs::path target(path);
    const fs::path temp = TempPath(target);
    std::error_code ec;
    if (!target.parent_path().empty())
        fs::create_directories(target.parent_path(), ec); // a failure shows when creating
    fs::remove(temp, ec);
    bool ok;
    {
        Connection c(temp.string());
        ok = c.ok();
        if (!ok)
            problem = "cannot create " + temp.string() + ": " + c.error();
        else
            ok = WriteAll(c, desc, &problem);
    }
    if (ok) {
        fs::rename(temp, target, ec);
        if (ec) {
            ok = false;
            problem = "cannot rename " + temp.string() + ": " + ec.message();
        }
    }
    if (!ok) {
        fs::remove(temp, ec);
        *error = path + ": " + problem;
    }
    return ok;
}

bool BuildDatabase(const std::string& descriptionPath, const std::string& path, std::string* error,
                   RecordStreamEncoder records) {
    const fs::path target(path);
    const fs::path temp = TempPath(target);
    std::unique_ptr<Connection> c;
    std::unique_ptr<Stmt> note, item, update;
    DatabaseDesc desc;
    // A wrong description is told before a file that cannot be written, as when the whole
    // description is read first: the first of each kept, the rest of the notes still read.
    std::string problem, writeProblem;
    bool started = false;
    std::unordered_set<store::NoteId> ids;
    std::vector<std::pair<store::NoteId, store::NoteId>> parents; // small: of responses only
    auto start = [&] {
        started = true;
        std::error_code ec;
        if (!target.parent_path().empty())
            fs::create_directories(target.parent_path(), ec); // a failure shows when creating
        fs::remove(temp, ec);
        c = std::make_unique<Connection>(temp.string());
        if (!c->ok()) {
            writeProblem = "cannot create " + temp.string() + ": " + c->error();
            return;
        }
        if (!WriteHead(*c, desc, &writeProblem))
            return;
        note = std::make_unique<Stmt>(c->get(), kInsertNote);
        item = std::make_unique<Stmt>(c->get(), kInsertItem);
        update = std::make_unique<Stmt>(c->get(),
                                        "UPDATE items SET value = ? WHERE note = ? AND seq = ?");
    };
    NoteSink sink;
    sink.note = [&](NoteDesc&& n) {
        if (problem.empty())
            problem = CheckNote(n, ids);
        else
            ids.insert(n.id);
        if (n.parent != 0)
            parents.emplace_back(n.id, n.parent);
        if (!problem.empty())
            return;
        if (!started)
            start();
        if (writeProblem.empty())
            WriteNote(*c, *note, *item, n, &writeProblem);
    };
    // The stand-in has the value's length, so the row is rewritten where it stands and the
    // file comes out as if the value had been there from the start.
    sink.resolved = [&](store::NoteId id, std::size_t seq, const std::vector<std::uint8_t>& v) {
        if (!problem.empty() || !writeProblem.empty())
            return;
        update->bindBlob(1, v.data(), v.size()).bind(2, id).bind(3, static_cast<std::int64_t>(seq));
        Insert(*c, *update, &writeProblem);
    };
    const bool read = LoadDescription(descriptionPath, &desc, error, records, sink);
    bool ok = read;
    if (read) {
        if (problem.empty())
            for (const auto& [id, parent] : parents)
                if (!ids.count(parent)) {
                    problem = ParentMissing(id, parent);
                    break;
                }
        if (problem.empty())
            problem = CheckRest(desc, ids);
        if (problem.empty()) {
            if (!started)
                start();
            if (writeProblem.empty())
                WriteTail(*c, desc, &writeProblem);
            problem = writeProblem;
        }
        ok = problem.empty();
    }
    update.reset();
    item.reset();
    note.reset();
    c.reset();
    std::error_code ec;
    if (ok) {
        fs::rename(temp, target, ec);
        if (ec) {
            ok = false;
            problem = "cannot rename " + temp.string() + ": " + ec.message();
        }
    }
    if (!ok && started)
        fs::remove(temp, ec);
    if (read && !ok)
        *error = path + ": " + problem;
    return ok;
}

} // namespace vlt::builder
