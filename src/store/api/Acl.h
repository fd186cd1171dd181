// The access control list of a database, read once into a memory block that the reader frees
// with MemFree; the other calls read that block.
#pragma once

#include <cstddef>
#include <cstdint>

#include "store/api/Handles.h"
#include "store/api/Memory.h"
#include "store/api/Status.h"

namespace store {

// 80 bits: bit n is byte n/8, bit n%8. Bits 0..4 are privileges, 5..79 roles.
struct ACL_PRIVILEGES {
    std::uint8_t bits[10];
};
static_assert(sizeof(ACL_PRIVILEGES) == 10);

constexpr unsigned kAclRoleCount = 80;

// kNotAvailable (578) when the database has no list.
Status AclRead(DbHandle db, MemHandle* acl);

// Called once per entry in stored order with a terminated name. A return of kCancelled stops
// the walk (and is returned); any other return value goes on.
using AclEntryCallback = Status (*)(void* context, const char* name, std::uint16_t accessLevel,
                                    const ACL_PRIVILEGES* privileges, std::uint16_t flags);
Status AclForEachEntry(MemHandle acl, AclEntryCallback callback, void* context);

// kRoleUndefined (1060) for an index without a name; kInvalidArgument above 79.
Status AclRoleName(MemHandle acl, unsigned index, char* buffer, std::size_t size);
Status AclListFlags(MemHandle acl, std::uint32_t* flags);
Status AclAdminServer(MemHandle acl, char* buffer, std::size_t size);
// A new block of *count consecutive terminated texts (0 when there are none).
Status AclHistory(MemHandle acl, MemHandle* history, std::uint16_t* count);

} // namespace store
