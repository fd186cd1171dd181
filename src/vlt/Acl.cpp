// The access control list family. AclRead copies the list into a memory block of this layout
// (little-endian); every other call reads that block through a bounded reader, since any handle
// may be passed in:
//
//   u32 magic kAclMagic, u32 block size, u32 list flags,
//   u32 offset of the entries, u32 offset of the roles, u32 offset of the history,
//   u16 length + admin server
//   entries: u32 count, each: u16 length + name, u16 access level, 10 bytes roles, u16 flags
//   roles:   u16 count, each: u16 index, u16 length + name
//   history: u32 count, each: u16 length + text
//
// The offsets let each call go straight to its own section: a role name is asked for every
// privilege of every entry written, and must not cost a walk over all the entries.
#include "store/api/Acl.h"

#include <cstring>
#include <string>

#include "common/ByteReader.h"
#include "vlt/ByteWriter.h"
#include "vlt/Engine.h"
#include "vlt/Sql.h"

namespace store {
namespace {

constexpr std::uint32_t kAclMagic = 0x324C4341; // "ACL2"

void PutText(std::string& out, std::string_view text) {
    text = text.substr(0, 0xFFFF);
    vlt::PutU16(out, static_cast<std::uint16_t>(text.size()));
    vlt::PutBytes(out, text);
}

void SetU32(std::string& out, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        out[at + std::size_t(i)] = static_cast<char>(v >> (8 * i));
}

// The block's sections, each from its count on; false for a block that is not a whole list.
// Only the header is checked here; each call reads its own section through a bounded reader.
struct AclView {
    std::uint32_t flags = 0;
    std::string_view admin;
    std::string_view entries, roles, history;
};

bool View(const LockedMem& mem, AclView* v) {
    if (!mem)
        return false;
    ByteReader r(mem.bytes(), mem.size());
    if (r.u32le() != kAclMagic || r.u32le() != mem.size())
        return false;
    v->flags = r.u32le();
    const std::size_t entries = r.u32le(), roles = r.u32le(), history = r.u32le();
    v->admin = r.text(r.u16le());
    if (r.Short() || r.Offset() != entries || entries > roles || roles > history ||
        history > mem.size())
        return false;
    const char* base = reinterpret_cast<const char*>(mem.bytes());
    v->entries = std::string_view(base + entries, roles - entries);
    v->roles = std::string_view(base + roles, history - roles);
    v->history = std::string_view(base + history, mem.size() - history);
    return true;
}

// One entry of the entries section; false when the section ends inside it.
struct AclEntryView {
    std::string_view name;
    std::uint16_t level = 0;
    const std::uint8_t* roles = nullptr;
    std::uint16_t flags = 0;
};

bool NextEntry(ByteReader& r, AclEntryView* e) {
    e->name = r.text(r.u16le());
    e->level = r.u16le();
    e->roles = r.bytes(10);
    e->flags = r.u16le();
    return !r.Short();
}

} // namespace

Status AclRead(DbHandle db, MemHandle* acl) {
    if (!acl)
        return kInvalidArgument;
    *acl = 0;
    std::shared_ptr<vlt::DbFile> file;
    if (Status s = vlt::FindDbFile(db, &file); s != kNoError)
        return s;
    std::lock_guard lock(file->mutex());
    std::string out;
    vlt::PutU32(out, kAclMagic);
    vlt::PutU32(out, 0); // block size, set at the end
    int rc;
    {
        vlt::Stmt q(file->conn(), "SELECT flags, admin_server FROM acl LIMIT 1");
        if (!q)
            return vlt::StatusOfSqlite(q.prepareCode());
        rc = q.step();
        if (rc == SQLITE_DONE)
            return kNotAvailable;
        if (rc != SQLITE_ROW)
            return vlt::StatusOfSqlite(rc);
        vlt::PutU32(out, static_cast<std::uint32_t>(q.i64(0)));
        for (int i = 0; i < 3; ++i)
            vlt::PutU32(out, 0); // section offsets, set as each section begins
        PutText(out, q.text(1));
    }
    // Each section: note where it starts, count it, then append its rows. Entries and history
    // keep 32-bit counts, so no list is ever cut short; roles are at most 80 (indexes 0..79).
    auto section = [&](std::size_t offsetAt, bool wideCount, const char* sql, auto row) -> Status {
        vlt::Stmt q(file->conn(), sql);
        if (!q)
            return vlt::StatusOfSqlite(q.prepareCode());
        SetU32(out, offsetAt, static_cast<std::uint32_t>(out.size()));
        const std::size_t countAt = out.size();
        if (wideCount)
            vlt::PutU32(out, 0);
        else
            vlt::PutU16(out, 0);
        std::uint32_t count = 0;
        while ((rc = q.step()) == SQLITE_ROW) {
            if (count == (wideCount ? 0xFFFFFFFFu : 0xFFFFu) || out.size() > 0xFFFFFFF0u)
                return kDatabaseCorrupt; // more than the block can hold
            row(q);
            ++count;
        }
        if (rc != SQLITE_DONE)
            return vlt::StatusOfSqlite(rc);
        if (wideCount) {
            SetU32(out, countAt, count);
        } else {
            out[countAt] = static_cast<char>(count);
            out[countAt + 1] = static_cast<char>(count >> 8);
        }
        return kNoError;
    };
    Status s = section(12, true, "SELECT name, level, roles, flags FROM acl_entries ORDER BY seq",
                       [&](vlt::Stmt& q) {
                           PutText(out, q.text(0));
                           vlt::PutU16(out, static_cast<std::uint16_t>(q.i64(1)));
                           std::string roles(q.blobView(2).substr(0, 10));
                           roles.resize(10, '\0'); // a short stored set has no further bits
                           out += roles;
                           vlt::PutU16(out, static_cast<std::uint16_t>(q.i64(3)));
                       });
    if (s == kNoError)
        s = section(16, false,
                    "SELECT idx, name FROM acl_roles WHERE idx BETWEEN 0 AND 79 ORDER BY idx",
                    [&](vlt::Stmt& q) {
                        vlt::PutU16(out, static_cast<std::uint16_t>(q.i64(0)));
                        PutText(out, q.text(1));
                    });
    if (s == kNoError)
        s = section(20, true, "SELECT text FROM acl_history ORDER BY seq",
                    [&](vlt::Stmt& q) { PutText(out, q.text(0)); });
    if (s != kNoError)
        return s;
    SetU32(out, 4, static_cast<std::uint32_t>(out.size()));
    const MemHandle h = MemAlloc(out.size());
    if (!h)
        return kOutOfMemory;
    LockedMem mem(h);
    std::memcpy(mem.bytes(), out.data(), out.size());
    *acl = h;
    return kNoError;
}

Status AclForEachEntry(MemHandle acl, AclEntryCallback callback, void* context) {
    if (!callback)
        return kInvalidArgument;
    LockedMem mem(acl);
    AclView v;
    if (!View(mem, &v))
        return mem ? kBadValue : kInvalidHandle;
    // The section is checked whole before the first callback, so that a broken block gives no
    // entries at all rather than some.
    ByteReader check(v.entries.data(), v.entries.size());
    const std::uint32_t count = check.u32le();
    AclEntryView e;
    for (std::uint32_t i = 0; i < count && !check.Short(); ++i)
        NextEntry(check, &e);
    if (check.Short() || check.Remaining() != 0)
        return kBadValue;
    ByteReader r(v.entries.data(), v.entries.size());
    r.u32le();
    for (std::uint32_t i = 0; i < count; ++i) {
        NextEntry(r, &e);
        const std::string name(e.name);
        ACL_PRIVILEGES privileges;
        std::memcpy(privileges.bits, e.roles, 10);
        // Callbacks return 1 or 0 after an entry as they please; only a cancel stops the walk.
        if (callback(context, name.c_str(), e.level, &privileges, e.flags) == kCancelled)
            return kCancelled;
    }
    return kNoError;
}

Status AclRoleName(MemHandle acl, unsigned index, char* buffer, std::size_t size) {
    vlt::CopyOut("", buffer, size, nullptr);
    if (index >= kAclRoleCount)
        return kInvalidArgument;
    LockedMem mem(acl);
    AclView v;
    if (!View(mem, &v))
        return mem ? kBadValue : kInvalidHandle;
    ByteReader r(v.roles.data(), v.roles.size());
    const std::uint16_t count = r.u16le();
    for (unsigned i = 0; i < count && !r.Short(); ++i) {
        const std::uint16_t at = r.u16le();
        const std::string_view name = r.text(r.u16le());
        if (at == index && !name.empty() && !r.Short())
            return vlt::CopyOut(name, buffer, size, nullptr) ? kNoError : kBufferTooSmall;
    }
    return r.Short() ? kBadValue : kRoleUndefined;
}

Status AclListFlags(MemHandle acl, std::uint32_t* flags) {
    LockedMem mem(acl);
    AclView v;
    if (!View(mem, &v))
        return mem ? kBadValue : kInvalidHandle;
    if (!flags)
        return kInvalidArgument;
    *flags = v.flags;
    return kNoError;
}

Status AclAdminServer(MemHandle acl, char* buffer, std::size_t size) {
    vlt::CopyOut("", buffer, size, nullptr);
    LockedMem mem(acl);
    AclView v;
    if (!View(mem, &v))
        return mem ? kBadValue : kInvalidHandle;
    return vlt::CopyOut(v.admin, buffer, size, nullptr) ? kNoError : kBufferTooSmall;
}

Status AclHistory(MemHandle acl, MemHandle* history, std::uint16_t* count) {
    if (!history || !count)
        return kInvalidArgument;
    *history = 0;
    *count = 0;
    LockedMem mem(acl);
    AclView v;
    if (!View(mem, &v))
        return mem ? kBadValue : kInvalidHandle;
    ByteReader r(v.history.data(), v.history.size());
    const std::uint32_t n = r.u32le();
    if (n > 0xFFFF)
        return kBufferTooSmall; // the count handed back has 16 bits; no history is cut short
    std::string texts;
    for (std::uint32_t i = 0; i < n && !r.Short(); ++i) {
        std::string_view t = r.text(r.u16le());
        t = t.substr(0, t.find('\0')); // each text ends at its terminator
        texts.append(t);
        texts.push_back('\0');
    }
    if (r.Short())
        return kBadValue;
    if (n == 0)
        return kNoError;
    const MemHandle h = MemAlloc(texts.size());
    if (!h)
        return kOutOfMemory;
    LockedMem out(h);
    std::memcpy(out.bytes(), texts.data(), texts.size());
    *history = h;
    *count = static_cast<std::uint16_t>(n);
    return kNoError;
}

} // namespace store
