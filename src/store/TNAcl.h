// The access control list of a database: expanding it reads the list and shows its general
// information, one node per entry and one per defined role.
#pragma once

#include <cstdint>
#include <string>

#include "store/api/Acl.h"
#include "store/api/Handles.h"
#include "tree/NoteNode.h"

namespace nodetype {
constexpr NodeTypeId kAclInfo = 15;
constexpr NodeTypeId kAclEntries = 16;
constexpr NodeTypeId kAclRoles = 17;
} // namespace nodetype

// True when bit n (0..79) of the role set is set: byte n / 8, bit n % 8 from the low end.
bool HasRole(const store::ACL_PRIVILEGES& roles, unsigned n);

class TNAcl : public CNoteNode {
public:
    // The database handle is the database node's; the list read from it is this node's.
    explicit TNAcl(store::DbHandle db);
    ~TNAcl() override;

    bool IsExpandable() const override { return true; }
    void AddChildren() override;
    // Deletes the children (which borrow the list), then frees the list.
    bool CollapseChildren() override;
    void WriteBegin(CFieldWriter& writer) override;
    void WriteEnd(CFieldWriter& writer) override;

    // The entry walk's callback: one entry node per entry, or a cancel.
    static store::Status CallbackACLEnumEntries(void* node, const char* name,
                                                std::uint16_t accessLevel,
                                                const store::ACL_PRIVILEGES* roles,
                                                std::uint16_t flags);

private:
    void FreeList();

    store::DbHandle db_;
    store::MemHandle acl_ = 0;
    store::ACL_PRIVILEGES held_{}; // every role some entry holds
};
