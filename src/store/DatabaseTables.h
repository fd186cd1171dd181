// Symbol tables of the database information: class, replica flags, priority, options.
#pragma once

#include "output/SymbolEntry.h"

namespace dbtables {
extern const SymbolEntry kDatabaseClass[];
extern const SymbolEntry kReplicaFlags[];
// Looked up with ((stored priority bits + 1) & 3): stored 3 is Low, 0 Medium, 1 High, and 2
// gives 3, which has no name.
extern const SymbolEntry kReplicaPriority[];
extern const SymbolEntry kDatabaseOptions[];
} // namespace dbtables
