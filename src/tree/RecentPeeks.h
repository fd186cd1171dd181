// The roots of the recently peeked databases and servers. They list nothing yet: each is a
// node of its type and label, so that documents, hidden types and placeholders treat them as
// they will treat the full lists.
#pragma once

class CNoteNode;

namespace recentpeeks {
CNoteNode* NewRecentDatabasesNode();
CNoteNode* NewRecentServersNode();
} // namespace recentpeeks
