// The object family: information and ranges of note objects.
#include "store/api/Objects.h"

#include <cstring>

#include "vlt/Engine.h"
#include "vlt/Sql.h"

namespace store {

Status ObjectInfo(DbHandle db, std::uint32_t objectId, std::uint16_t classMask, std::uint32_t* size,
                  std::uint16_t* objectClass, std::uint16_t* privileges) {
    std::shared_ptr<vlt::DbFile> file;
    if (Status s = vlt::FindDbFile(db, &file); s != kNoError)
        return s;
    std::lock_guard lock(file->mutex());
    vlt::Stmt q(file->conn(), "SELECT length(data), class, privileges FROM objects WHERE id=?");
    if (!q)
        return vlt::StatusOfSqlite(q.prepareCode());
    q.bind(1, static_cast<std::int64_t>(objectId));
    const int rc = q.step();
    if (rc == SQLITE_DONE)
        return kObjectNotFound;
    if (rc != SQLITE_ROW)
        return vlt::StatusOfSqlite(rc);
    const std::int64_t length = q.i64(0);
    const std::uint16_t cls = static_cast<std::uint16_t>(q.i64(1));
    if (length < 0 || length > 0xFFFFFFFFLL)
        return kDatabaseCorrupt;
    if (classMask != 0xFFFF && !(cls & classMask))
        return kObjectNotFound;
    if (size)
        *size = static_cast<std::uint32_t>(length);
    if (objectClass)
        *objectClass = cls;
    if (privileges)
        *privileges = static_cast<std::uint16_t>(q.i64(2));
    return kNoError;
}

Status ObjectRead(DbHandle db, std::uint32_t objectId, std::uint32_t offset, std::uint32_t length,
                  MemHandle* data) {
    if (!data)
        return kInvalidArgument;
    *data = 0;
    std::shared_ptr<vlt::DbFile> file;
    if (Status s = vlt::FindDbFile(db, &file); s != kNoError)
        return s;
    std::lock_guard lock(file->mutex());
    // substr on a blob reads just the range; its length tells whether the range was whole.
    vlt::Stmt q(file->conn(),
                "SELECT length(data), substr(data, ?2 + 1, ?3) FROM objects WHERE id=?1");
    if (!q)
        return vlt::StatusOfSqlite(q.prepareCode());
    q.bind(1, static_cast<std::int64_t>(objectId));
    q.bind(2, static_cast<std::int64_t>(offset));
    q.bind(3, static_cast<std::int64_t>(length));
    const int rc = q.step();
    if (rc == SQLITE_DONE)
        return kObjectNotFound;
    if (rc != SQLITE_ROW)
        return vlt::StatusOfSqlite(rc);
    if (std::uint64_t(offset) + length > static_cast<std::uint64_t>(q.i64(0)))
        return kBadRange;
    const std::string_view bytes = q.blobView(1);
    if (bytes.size() != length)
        return kDatabaseCorrupt;
    const MemHandle h = MemAlloc(length);
    if (!h)
        return kOutOfMemory;
    if (length > 0) {
        LockedMem mem(h);
        std::memcpy(mem.bytes(), bytes.data(), length);
    }
    *data = h;
    return kNoError;
}

} // namespace store
