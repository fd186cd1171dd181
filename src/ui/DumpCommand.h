// Writes a node and its subtree to a text file of parenthesised fields, as the info pane would
// show each node, optionally expanding what is collapsed (and collapsing it again).
#pragma once

#include <string>

class CDocNode;
class CInfoPaneOptions;

struct DumpResult {
    bool written = false; // the whole file reached the disk
    bool cancelled = false;
};

DumpResult DumpSubtree(CDocNode& node, const std::string& fileName, bool includeCollapsed,
                       CInfoPaneOptions* options);
