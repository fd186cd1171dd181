// Hiding and showing whole node types. None of these rebuilds the tree: they delete only the
// rows concerned and re-run AddChildren on expanded nodes while the document's type-set
// references point at temporary sets, so that only the missing nodes are created. Each runs
// under a wait cursor and keeps the selection.
#pragma once

#include "tree/NodeTypes.h"
#include "treelist/CommandTarget.h"

class CNodeDocument;
class CNoteNode;
class CPlaceholderNode;
class CTreeListCore;
class CTreeListNode;

// Hide All on a node: its type disappears everywhere (replaced by placeholders when wanted).
void HideAllOfType(CNoteNode& node);
// Show All on a placeholder: its type comes back everywhere.
void ShowAllOfType(CPlaceholderNode& placeholder);
// Show All Data: every hidden type comes back.
void ShowAllData(CNodeDocument& doc, CTreeListCore& control);
// Placeholders for Hidden Data: on adds them under every expanded node; off removes them all.
void SetPlaceholdersShown(CNodeDocument& doc, CTreeListCore& control, bool wanted);

void UpdateShowAllData(const CNodeDocument& doc, CCmdUI& ui); // enabled iff something is hidden
void UpdatePlaceholdersShown(const CNodeDocument& doc, CCmdUI& ui); // checked iff wanted

// The first child of parent with that type, or null.
CTreeListNode* FirstChildOfType(CTreeListNode& parent, NodeTypeId type);
