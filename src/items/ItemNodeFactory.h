// Makes the node of one item of an open note, of the class its type calls for.
#pragma once

#include "items/ItemScanInfo.h"
#include "store/api/Handles.h"

class CNodeDocument;
class CNoteNode;

// The note must stay open while the node exists. Returns null when no node can be made.
CNoteNode* CreateItemNode(store::NoteHandle note, const ItemScanInfo& info,
                          CNodeDocument* document);
