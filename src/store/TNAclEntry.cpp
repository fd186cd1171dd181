#include "store/TNAclEntry.h"

#include <cstring>

#include "output/FieldWriter.h"
#include "store/AclTables.h"
#include "store/TNAcl.h"
#include "store/api/Conversions.h"
#include "store/api/Paths.h"
#include "tree/NodeImageIndex.h"

namespace {
constexpr const char* kDefaultEntry = "-Default-";
} // namespace

TNAclEntry::TNAclEntry(store::MemHandle acl, const char* name, std::uint16_t accessLevel,
                       const store::ACL_PRIVILEGES& roles, std::uint16_t flags)
    : acl_(acl), name_(name), level_(accessLevel), roles_(roles), flags_(flags) {
    SetTypeId(nodetype::kAclEntries);
    SetStripImage(*this, kAccessStrip, accessLevel <= 6 ? accessLevel : 0);
    if (name_ == kDefaultEntry) {
        SetLabel(kDefaultEntry);
        return;
    }
    char display[256];
    std::size_t length = 0;
    if (store::NameToDisplay(name_.data(), name_.size(), display, sizeof display, &length) !=
        store::kNoError) {
        std::strncpy(display, name_.c_str(), sizeof display - 1);
        display[sizeof display - 1] = '\0';
        length = std::strlen(display);
    }
    if (length >= sizeof display)
        length = sizeof display - 1;
    char label[512];
    const std::size_t n =
        store::TranslateText(store::Translate::FromStore, display, length, label, sizeof label);
    SetLabelText(label, int(n < sizeof label ? n : sizeof label - 1));
}

void TNAclEntry::WriteBegin(CFieldWriter& writer) {
    writer.BeginField("entry");
}

void TNAclEntry::WriteFields(CFieldWriter& writer) {
    writer.TextField("name", name_.c_str(), std::ptrdiff_t(name_.size()));
    writer.SymbolField("access-level", level_, acltables::kAccessLevel);
    writer.SymbolField("flags", flags_, acltables::kEntryFlags);
    bool opened = false;
    for (unsigned n = 0; n < store::kAclRoleCount; ++n) {
        if (!HasRole(roles_, n))
            continue;
        if (!opened) {
            writer.BeginField("privileges");
            writer.BreakLine();
            opened = true;
        } else {
            writer.NextValueLine();
        }
        char name[20] = {};
        const store::Status status = store::AclRoleName(acl_, n, name, sizeof name);
        if (status == store::kNoError)
            writer.Text(name);
        else
            writer.Error(status, "Unable to get privilege name #%d", int(n));
    }
    if (opened)
        writer.EndField();
}

void TNAclEntry::WriteEnd(CFieldWriter& writer) {
    writer.EndField();
}
