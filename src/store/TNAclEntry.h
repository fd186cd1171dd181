// One entry of an access control list: a person, server or group with its access level, flags
// and roles.
#pragma once

#include <cstdint>
#include <string>

#include "store/api/Acl.h"
#include "store/api/Handles.h"
#include "tree/NoteNode.h"

class TNAclEntry : public CNoteNode {
public:
    TNAclEntry(store::MemHandle acl, const char* name, std::uint16_t accessLevel,
               const store::ACL_PRIVILEGES& roles, std::uint16_t flags);

    void WriteBegin(CFieldWriter& writer) override;
    void WriteFields(CFieldWriter& writer) override;
    void WriteEnd(CFieldWriter& writer) override;

private:
    store::MemHandle acl_;
    std::string name_;
    std::uint16_t level_;
    store::ACL_PRIVILEGES roles_;
    std::uint16_t flags_;
};
