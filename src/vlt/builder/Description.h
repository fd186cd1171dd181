// A database as the builder writes it: everything a .vlt file holds, as plain values.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "store/api/Acl.h"
#include "store/api/Notes.h"
#include "store/api/Time.h"

namespace vlt::builder {

struct ItemDesc {
    std::string name;
    std::uint16_t flags = 0;
    std::vector<std::uint8_t> value; // the type word (little-endian) then the data
};

struct NoteDesc {
    store::NoteId id = 0; // 1..0x7FFFFFFF, unique
    std::uint16_t noteClass = 0x0001;
    store::OriginatorId originator;
    store::TimeDate created, modified, accessed, added;
    std::uint16_t flags = 0;
    std::uint16_t privileges = 0;
    store::NoteId parent = 0; // a response's parent note; 0 for none
    bool deleted = false;     // a deletion stub: no items
    std::vector<ItemDesc> items;
};

struct ObjectDesc {
    std::uint32_t id = 0; // unique
    store::NoteId note = 0;
    std::uint16_t objectClass = 0x0001;
    std::uint16_t privileges = 0;
    std::vector<std::uint8_t> data;
};

struct AclEntryDesc {
    std::string name;
    std::uint16_t level = 0; // 0..6
    store::ACL_PRIVILEGES roles = {};
    std::uint16_t flags = 0;
};

struct AclRoleDesc {
    unsigned index = 0; // 0..79
    std::string name;   // at most 17 bytes
};

struct AclDesc {
    std::uint32_t flags = 0;
    std::string adminServer;
    std::vector<AclEntryDesc> entries;
    std::vector<AclRoleDesc> roles;
    std::vector<std::string> history;
};

struct DatabaseDesc {
    store::TimeDate id;
    std::uint16_t dbClass = 0xFF0F;
    store::TimeDate replicaId;
    std::uint16_t replicaFlags = 0;
    std::uint16_t cutoffInterval = 0;
    store::TimeDate cutoffDate;
    store::TimeDate dataModified, nonDataModified;
    std::optional<std::uint32_t> options;
    std::string info; // "$Info": title '\n' categories '\n' template '\n' inherited template
    std::optional<std::uint16_t> buildVersion;
    std::vector<NoteDesc> notes;
    std::vector<ObjectDesc> objects;
    std::optional<AclDesc> acl;
};

} // namespace vlt::builder
