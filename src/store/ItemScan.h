// The walk over the items of an open note, in stored order.
#pragma once

#include "items/ItemScanInfo.h"
#include "store/api/Handles.h"
#include "store/api/Status.h"

// Called once per item; a nonzero status ends the walk with that status. The info (and the
// name it points to) lives only during the call.
using ItemScanCallback = store::Status (*)(const ItemScanInfo& info, void* context);

// Returns 0 when every item was handed over, the callback's status when it stopped the walk,
// or the failing status of the store.
store::Status ScanItems(store::NoteHandle note, ItemScanCallback callback, void* context);
