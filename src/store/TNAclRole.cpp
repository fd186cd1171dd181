#include "store/TNAclRole.h"

#include "output/FieldWriter.h"
#include "store/TNAcl.h"
#include "tree/NodeImageIndex.h"

namespace {

// What the member walk of one role carries between entries.
struct MemberWalk {
    CFieldWriter& writer;
    unsigned number;
    bool opened = false;
};

} // namespace

TNAclRole::TNAclRole(store::MemHandle acl, unsigned number, const char* name)
    : acl_(acl), number_(number) {
    SetTypeId(nodetype::kAclRoles);
    SetStripImage(*this, kAccessStrip, 8);
    // At most 17 characters, as the list stores them.
    name_ = std::string(name ? name : "").substr(0, 17);
    SetLabel(name_);
}

void TNAclRole::WriteBegin(CFieldWriter& writer) {
    writer.BeginField("role");
}

void TNAclRole::WriteFields(CFieldWriter& writer) {
    writer.TextField("name", name_.c_str(), std::ptrdiff_t(name_.size()));
    writer.NumberField("number", number_);
    MemberWalk walk{writer, number_};
    store::AclForEachEntry(acl_, CallbackACLEnumEntries, &walk);
    if (walk.opened)
        writer.EndField();
}

store::Status TNAclRole::CallbackACLEnumEntries(void* context, const char* name,
                                                std::uint16_t /*accessLevel*/,
                                                const store::ACL_PRIVILEGES* roles,
                                                std::uint16_t /*flags*/) {
    auto* walk = static_cast<MemberWalk*>(context);
    if (!roles || !HasRole(*roles, walk->number))
        return store::kNoError;
    if (!walk->opened) {
        walk->writer.BeginField("members");
        walk->writer.BreakLine();
        walk->opened = true;
    } else {
        walk->writer.NextValueLine();
    }
    walk->writer.Text(name ? name : "");
    return store::kNoError;
}

void TNAclRole::WriteEnd(CFieldWriter& writer) {
    writer.EndField();
}
