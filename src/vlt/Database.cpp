// The database family: open and close by path, and the database's own information.
#include "store/api/Database.h"

#include <cerrno>
#include <filesystem>
#include <string>

#include "vlt/ByteWriter.h"
#include "vlt/Engine.h"
#include "vlt/Environment.h"
#include "vlt/RemoteServer.h"

namespace store {
namespace {

thread_local std::string lastDetail;

Status Fail(Status s, std::string detail) {
    lastDetail = std::move(detail);
    return s;
}

} // namespace

Status OpenDatabase(const char* path, DbHandle* db) {
    // The detail speaks of this call only: a success or an early refusal leaves none behind.
    lastDetail.clear();
    if (!db)
        return kInvalidArgument;
    *db = 0;
    if (!path)
        return Fail(kInvalidArgument, "no path given");
    auto open = std::make_shared<vlt::OpenDb>();
    open->storePath = path;
    std::string remoteDetail;
    if (const auto remote = vlt::OpenRemotePath(open->storePath, open.get(), &remoteDetail)) {
        if (*remote != kNoError)
            return Fail(*remote, remoteDetail);
    } else if (open->storePath.empty()) {
        open->fsPath = vlt::DataDirectory(); // the machine's own data directory
    } else {
        std::string why;
        if (Status s = vlt::ResolvePath(open->storePath, &open->fsPath, &why); s != kNoError)
            return Fail(s, open->storePath + ": " +
                               (why.empty() ? std::string("the path cannot be resolved") : why));
    }
    if (!open->remote && !open->file) {
        std::error_code ec;
        const auto st = std::filesystem::status(open->fsPath, ec);
        if (ec.value() == ELOOP)
            return Fail(kFileAccess, open->fsPath + ": a loop of symbolic links");
        if (ec && ec.value() != ENOENT && ec.value() != ENOTDIR)
            return Fail(kFileAccess, open->fsPath + ": " + ec.message());
        if (ec || !std::filesystem::exists(st))
            return Fail(kFileNotFound, open->fsPath + ": no such file or directory");
        if (std::filesystem::is_directory(st)) {
            open->isDirectory = true;
        } else if (!std::filesystem::is_regular_file(st)) {
            // Devices and pipes could block or never end; only plain files are databases.
            return Fail(kNotADatabase, open->fsPath + ": not a regular file");
        } else {
            std::string detail;
            if (Status s = vlt::DbFile::Open(open->fsPath, &open->file, &detail); s != kNoError)
                return Fail(s, detail);
        }
    }
    const DbHandle h = vlt::AddDb(std::move(open));
    if (h == 0)
        return Fail(kTooManyOpen, std::string(path) + ": too many databases opened");
    *db = h;
    return kNoError;
}

Status CloseDatabase(DbHandle db) {
    return vlt::RemoveDb(db) ? kNoError : kInvalidHandle;
}

Status LastErrorDetail(char* buffer, std::size_t size) {
    return vlt::CopyOut(lastDetail, buffer, size, nullptr) ? kNoError : kBufferTooSmall;
}

namespace {

// Runs `read` on the row of an open database file.
template <class F> Status WithRow(DbHandle db, F read) {
    std::shared_ptr<vlt::DbFile> file;
    if (Status s = vlt::FindDbFile(db, &file); s != kNoError)
        return s;
    return read(file->row());
}

} // namespace

Status DatabaseId(DbHandle db, TimeDate* id) {
    if (!id)
        return kInvalidArgument;
    return WithRow(db, [&](const vlt::DatabaseRow& r) {
        *id = r.id;
        return kNoError;
    });
}

Status DatabaseClass(DbHandle db, std::uint16_t* dbClass) {
    if (!dbClass)
        return kInvalidArgument;
    return WithRow(db, [&](const vlt::DatabaseRow& r) {
        *dbClass = r.dbClass;
        return kNoError;
    });
}

Status DatabaseReplicaInfo(DbHandle db, ReplicaInfo* info) {
    if (!info)
        return kInvalidArgument;
    return WithRow(db, [&](const vlt::DatabaseRow& r) {
        info->replicaId = r.replicaId;
        info->flags = r.replicaFlags;
        info->cutoffInterval = r.cutoffInterval;
        info->cutoffDate = r.cutoffDate;
        return kNoError;
    });
}

Status DatabaseModifiedTimes(DbHandle db, TimeDate* dataModified, TimeDate* nonDataModified) {
    return WithRow(db, [&](const vlt::DatabaseRow& r) {
        if (dataModified)
            *dataModified = r.dataModified;
        if (nonDataModified)
            *nonDataModified = r.nonDataModified;
        return kNoError;
    });
}

Status DatabaseOptions(DbHandle db, std::uint32_t* options) {
    if (!options)
        return kInvalidArgument;
    return WithRow(db, [&](const vlt::DatabaseRow& r) {
        if (!r.options)
            return kNotAvailable;
        *options = *r.options;
        return kNoError;
    });
}

Status DatabaseInfo(DbHandle db, char* buffer, std::size_t size, std::size_t* length) {
    return WithRow(db, [&](const vlt::DatabaseRow& r) {
        return vlt::CopyOut(r.info, buffer, size, length) ? kNoError : kBufferTooSmall;
    });
}

Status DatabaseBuildVersion(DbHandle db, std::uint16_t* version) {
    if (!version)
        return kInvalidArgument;
    return WithRow(db, [&](const vlt::DatabaseRow& r) {
        if (!r.buildVersion)
            return kNotAvailable;
        *version = *r.buildVersion;
        return kNoError;
    });
}

Status InfoField(const char* info, std::size_t length, unsigned index, char* buffer,
                 std::size_t size, std::size_t* fieldLength) {
    std::string_view rest = info ? std::string_view(info, length) : std::string_view();
    for (unsigned i = 0; i < index; ++i) {
        const std::size_t nl = rest.find('\n');
        rest = nl == std::string_view::npos ? std::string_view() : rest.substr(nl + 1);
    }
    rest = rest.substr(0, rest.find('\n'));
    // A text read from a bounded buffer may carry its terminator inside the length.
    rest = rest.substr(0, rest.find('\0'));
    return vlt::CopyOut(rest, buffer, size, fieldLength) ? kNoError : kBufferTooSmall;
}

} // namespace store
