#include "tree/RecentPeeks.h"

#include "tree/NoteNode.h"

namespace recentpeeks {
namespace {
class CRecentListNode : public CNoteNode {
public:
    CRecentListNode(NodeTypeId type, const char* label, std::uint16_t icon) {
        SetTypeId(type);
        SetLabel(label);
        SetImage(NodeImage{imagecache::Derive(0, 113, 130), icon});
    }
};
} // namespace

CNoteNode* NewRecentDatabasesNode() {
    return new CRecentListNode(nodetype::kRecentDatabases, "Recently Peeked Databases", 20);
}

CNoteNode* NewRecentServersNode() {
    return new CRecentListNode(nodetype::kRecentServers, "Recently Peeked Servers", 22);
}
} // namespace recentpeeks
