#include "store/TNAclInfo.h"

#include <cstring>

#include "output/FieldWriter.h"
#include "store/AclTables.h"
#include "store/TNAcl.h"
#include "store/api/Acl.h"
#include "tree/NodeImageIndex.h"

TNAclInfo::TNAclInfo(store::MemHandle acl) : acl_(acl) {
    SetTypeId(nodetype::kAclInfo);
    SetStripImage(*this, kAccessStrip, 7);
    SetLabel("ACL Info");
}

void TNAclInfo::WriteBegin(CFieldWriter& writer) {
    writer.BeginField("acl-info");
}

void TNAclInfo::WriteFields(CFieldWriter& writer) {
    std::uint32_t flags = 0;
    store::Status status = store::AclListFlags(acl_, &flags);
    if (status == store::kNoError)
        writer.SymbolField("flags", flags, acltables::kListFlags);
    else
        writer.ErrorField("flags", status, "Couldn't get flags");

    char server[256] = {};
    status = store::AclAdminServer(acl_, server, sizeof server);
    server[sizeof server - 1] = '\0';
    if (status == store::kNoError)
        writer.TextField("admin-server", server);
    else
        writer.ErrorField("admin-server", status, "Couldn't get admin server");

    store::OwnedMem history;
    std::uint16_t count = 0;
    status = store::AclHistory(acl_, history.out(), &count);
    if (status != store::kNoError) {
        writer.ErrorField("history", status, "Couldn't get history");
        return;
    }
    if (count == 0)
        return;
    // Consecutive terminated texts: each is read only within the block, and a text that runs
    // to the block's end without its terminator ends the list.
    store::LockedMem bytes(history.get());
    const char* text = reinterpret_cast<const char*>(bytes.bytes());
    std::size_t left = bytes.size();
    writer.BeginField("history");
    writer.BreakLine();
    for (std::uint16_t i = 0; i < count && text; ++i) {
        const void* end = std::memchr(text, '\0', left);
        if (!end) {
            writer.ShortComment();
            break;
        }
        const std::size_t length = std::size_t(static_cast<const char*>(end) - text);
        writer.Text(text, std::ptrdiff_t(length));
        writer.NextValueLine();
        text += length + 1;
        left -= length + 1;
    }
    writer.EndField();
}

void TNAclInfo::WriteEnd(CFieldWriter& writer) {
    writer.EndField();
}
