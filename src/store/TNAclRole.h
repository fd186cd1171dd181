// One defined role (or privilege) of an access control list, with the entries that hold it.
#pragma once

#include <cstdint>
#include <string>

#include "store/api/Acl.h"
#include "store/api/Handles.h"
#include "tree/NoteNode.h"

class TNAclRole : public CNoteNode {
public:
    TNAclRole(store::MemHandle acl, unsigned number, const char* name);

    void WriteBegin(CFieldWriter& writer) override;
    void WriteFields(CFieldWriter& writer) override;
    void WriteEnd(CFieldWriter& writer) override;

    // Writes the entry as a member when it holds this role.
    static store::Status CallbackACLEnumEntries(void* context, const char* name,
                                                std::uint16_t accessLevel,
                                                const store::ACL_PRIVILEGES* roles,
                                                std::uint16_t flags);

private:
    store::MemHandle acl_;
    unsigned number_;
    std::string name_;
};
