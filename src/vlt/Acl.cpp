// The access control list family. AclRead copies the list into a memory block of this layout
// (little-endian); every other call reads that block through a bounded reader, since any handle
// may be passed in:
//
//   u32 magic kAclMagic, u32 list flags, u16 length + admin server
//   u16 entry count, each: u16 length + name, u16 access level, 10 bytes roles, u16 flags
//   u16 role count, each: u16 index, u16 length + name
//   u16 history count, each: u16 length + text
#include "store/api/Acl.h"

#include <cstring>
#include <string>

#include "common/ByteReader.h"
#include "vlt/ByteWriter.h"
#include "vlt/Engine.h"
#include "vlt/Sql.h"

namespace store {
namespace {

constexpr std::uint32_t kAclMagic = 0x314C4341; // "ACL1"

void PutText(std::string& out, std::string_view text) {
    text = text.substr(0, 0xFFFF);
    vlt::PutU16(out, static_cast<std::uint16_t>(text.size()));
    vlt::PutBytes(out, text);
}

// Reads the block into its sections; false for a block that is not a whole list.
struct AclView {
    std::uint32_t flags = 0;
    std::string_view admin;
    std::string_view entries, roles, history; // each section from its count on
};

std::string_view Section(ByteReader& r, std::size_t fixedPerEntry, unsigned textsPerEntry,
                         bool leadingU16) {
    const std::size_t start = r.Offset();
    const std::uint16_t count = r.u16le();
    for (unsigned i = 0; i < count && !r.Short(); ++i) {
        if (leadingU16)
            r.u16le();
        for (unsigned t = 0; t < textsPerEntry; ++t)
            r.text(r.u16le());
        r.skip(fixedPerEntry);
    }
    return r.Short() ? std::string_view() : r.At(start).text(r.Offset() - start);
}

bool View(const LockedMem& mem, AclView* v) {
    if (!mem)
        return false;
    ByteReader r(mem.bytes(), mem.size());
    if (r.u32le() != kAclMagic)
        return false;
    v->flags = r.u32le();
    v->admin = r.text(r.u16le());
    v->entries = Section(r, 2 + 10 + 2, 1, false);
    v->roles = Section(r, 0, 1, true);
    v->history = Section(r, 0, 1, false);
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
        PutText(out, q.text(1));
    }
    // Each section: count it, then append its rows; counts beyond 16 bits are cut there.
    auto section = [&](const char* sql, auto row) -> Status {
        vlt::Stmt q(file->conn(), sql);
        if (!q)
            return vlt::StatusOfSqlite(q.prepareCode());
        const std::size_t countAt = out.size();
        vlt::PutU16(out, 0);
        std::uint16_t count = 0;
        while (count < 0xFFFF && (rc = q.step()) == SQLITE_ROW) {
            row(q);
            ++count;
        }
        if (count < 0xFFFF && rc != SQLITE_DONE)
            return vlt::StatusOfSqlite(rc);
        out[countAt] = static_cast<char>(count);
        out[countAt + 1] = static_cast<char>(count >> 8);
        return kNoError;
    };
    Status s = section("SELECT name, level, roles, flags FROM acl_entries ORDER BY seq",
                       [&](vlt::Stmt& q) {
                           PutText(out, q.text(0));
                           vlt::PutU16(out, static_cast<std::uint16_t>(q.i64(1)));
                           std::string roles(q.blobView(2).substr(0, 10));
                           roles.resize(10, '\0'); // a short stored set has no further bits
                           out += roles;
                           vlt::PutU16(out, static_cast<std::uint16_t>(q.i64(3)));
                       });
    if (s == kNoError)
        s = section("SELECT idx, name FROM acl_roles WHERE idx BETWEEN 0 AND 79 ORDER BY idx",
                    [&](vlt::Stmt& q) {
                        vlt::PutU16(out, static_cast<std::uint16_t>(q.i64(0)));
                        PutText(out, q.text(1));
                    });
    if (s == kNoError)
        s = section("SELECT text FROM acl_history ORDER BY seq",
                    [&](vlt::Stmt& q) { PutText(out, q.text(0)); });
    if (s != kNoError)
        return s;
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
    ByteReader r(v.entries.data(), v.entries.size());
    const std::uint16_t count = r.u16le();
    for (unsigned i = 0; i < count; ++i) {
        const std::string name(r.text(r.u16le()));
        const std::uint16_t level = r.u16le();
        ACL_PRIVILEGES privileges;
        std::memcpy(privileges.bits, r.bytes(10), 10); // View checked the whole section
        const std::uint16_t flags = r.u16le();
        // Callbacks return 1 or 0 after an entry as they please; only a cancel stops the walk.
        if (callback(context, name.c_str(), level, &privileges, flags) == kCancelled)
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
    for (unsigned i = 0; i < count; ++i) {
        const std::uint16_t at = r.u16le();
        const std::string_view name = r.text(r.u16le());
        if (at == index && !name.empty())
            return vlt::CopyOut(name, buffer, size, nullptr) ? kNoError : kBufferTooSmall;
    }
    return kRoleUndefined;
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
    const std::uint16_t n = r.u16le();
    std::string texts;
    for (unsigned i = 0; i < n; ++i) {
        std::string_view t = r.text(r.u16le());
        t = t.substr(0, t.find('\0')); // each text ends at its terminator
        texts.append(t);
        texts.push_back('\0');
    }
    if (n == 0)
        return kNoError;
    const MemHandle h = MemAlloc(texts.size());
    if (!h)
        return kOutOfMemory;
    LockedMem out(h);
    std::memcpy(out.bytes(), texts.data(), texts.size());
    *history = h;
    *count = n;
    return kNoError;
}

} // namespace store
