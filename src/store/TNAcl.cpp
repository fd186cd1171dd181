#include "store/TNAcl.h"

#include "output/FieldWriter.h"
#include "output/StatusMessage.h"
#include "store/ChildRelease.h"
#include "store/TNAclEntry.h"
#include "store/TNAclInfo.h"
#include "store/TNAclRole.h"
#include "tree/CancelProbe.h"
#include "tree/NodeImageIndex.h"
#include "tree/TNError.h"

namespace {
constexpr unsigned kPrivilegeCount = 5; // bits 0..4; roles follow
} // namespace

bool HasRole(const store::ACL_PRIVILEGES& roles, unsigned n) {
    return n < store::kAclRoleCount && (roles.bits[n / 8] & (1u << (n % 8))) != 0;
}

TNAcl::TNAcl(store::DbHandle db) : db_(db) {
    SetTypeId(nodetype::kAccessControl);
    SetImageIndex(*this, 12);
    SetLabel("Access Control List");
}

TNAcl::~TNAcl() {
    DestroyChildren(*this);
    FreeList();
}

void TNAcl::FreeList() {
    if (acl_) {
        store::MemFree(acl_);
        acl_ = 0;
    }
}

void TNAcl::AddChildren() {
    if (!acl_) {
        store::MemHandle acl = 0;
        const store::Status status = store::AclRead(db_, &acl);
        if (status != store::kNoError) {
            if (acl)
                store::MemFree(acl);
            if (status == store::kNotAvailable)
                AddChild(new TNError(status, "No ACL in the database"));
            else
                AddChild(new TNError(status, "Unable to read the ACL"));
            return;
        }
        acl_ = acl;
    }
    if (AcceptChild(nodetype::kAclInfo))
        AddChild(new TNAclInfo(acl_));
    held_ = {};
    store::AclForEachEntry(acl_, CallbackACLEnumEntries, this);
    if (!IsTypeShownOrHeld(nodetype::kAclRoles))
        return;
    for (unsigned n = 0; n < store::kAclRoleCount; ++n) {
        if (n < kPrivilegeCount && !HasRole(held_, n))
            continue;
        char name[18] = {};
        const store::Status status = store::AclRoleName(acl_, n, name, sizeof name);
        if (status == store::kRoleUndefined || (status == store::kNoError && name[0] == '\0'))
            continue;
        if (status != store::kNoError)
            FormatStatusMessage(name, sizeof name, status, "???");
        if (AcceptChild(nodetype::kAclRoles))
            AddChild(new TNAclRole(acl_, n, name));
    }
}

store::Status TNAcl::CallbackACLEnumEntries(void* node, const char* name, std::uint16_t accessLevel,
                                            const store::ACL_PRIVILEGES* roles,
                                            std::uint16_t flags) {
    auto* self = static_cast<TNAcl*>(node);
    if (UserCancelled()) {
        self->AddChild(new TNError(store::kCancelled, nullptr));
        return store::kCancelled;
    }
    const store::ACL_PRIVILEGES none{};
    const store::ACL_PRIVILEGES& held = roles ? *roles : none;
    if (self->AcceptChild(nodetype::kAclEntries))
        self->AddChild(new TNAclEntry(self->acl_, name ? name : "", accessLevel, held, flags));
    for (std::size_t i = 0; i < sizeof held.bits; ++i)
        self->held_.bits[i] |= held.bits[i];
    return 1;
}

bool TNAcl::CollapseChildren() {
    const bool done = CNoteNode::CollapseChildren();
    if (done)
        FreeList();
    return done;
}

void TNAcl::WriteBegin(CFieldWriter& writer) {
    writer.BeginField("acl");
}

void TNAcl::WriteEnd(CFieldWriter& writer) {
    writer.EndField();
}
