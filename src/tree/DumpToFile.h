// Dump to File: a node's whole subtree written as the nested elements of a dump writer, each
// node's WriteBegin and WriteFields on the way in and its WriteEnd on the way out.
#pragma once

#include <functional>
#include <string>

#include "tree/ChildStream.h"

class CDocNode;
class CFieldWriter;
class CTreeListNode;

// The text of parenthesised fields, JSON (one document), or JSON lines (one note a line);
// docs/json.md describes the JSON.
enum class DumpFormat { Text, Json, JsonLines };

struct DumpOptions {
    // Creates the children of collapsed nodes on the way and deletes them again on the way out.
    bool includeCollapsed = false;
    // Called once per node written (for a progress display); may be empty.
    std::function<void(unsigned long nodes)> progress;
    // Used by DumpSubtreeToFile (WriteSubtree writes into the writer it is given).
    DumpFormat format = DumpFormat::Text;
    // When a node that streams its children (a large set of notes) holds them all, and the
    // memory it sorts them in otherwise.
    ChildStreamLimits streamLimits;
};

struct DumpResult {
    bool written = false;   // the file holds the whole dump (or the dump up to a cancel)
    bool cancelled = false; // the dump ended at "*** Cancelled ***"
    unsigned long nodes = 0;
    // Names the file and the problem when it could not be written, or the problem that ended
    // the dump early (a temporary file that could not be made or written).
    std::string error;
};

// Writes between the writer's Begin and End. A cancel writes "*** Cancelled ***" and stops;
// the nodes created for the dump are deleted even then, so the tree looks as it did before.
DumpResult WriteSubtree(CTreeListNode& start, CFieldWriter& writer, const DumpOptions& options);

// The same into a new file in the format of the options, with the display options of the node's
// document, under a wait cursor.
DumpResult DumpSubtreeToFile(CDocNode& start, const std::string& fileName,
                             const DumpOptions& options);
