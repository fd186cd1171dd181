// Saving the bytes of nodes to files: one node to a file of the user's choice, or every node
// of a subtree that has bytes into a folder, under names made from the node labels.
#pragma once

#include <set>
#include <string>
#include <string_view>

class CTreeListNode;

namespace extract {

// The longest file name made, in bytes.
constexpr std::size_t kMaxNameLength = 100;

// A label as a file name: no '/', '\\', ':' or control bytes (each becomes '_'), no leading or
// trailing blanks and dots (so never "." or ".."), at most kMaxNameLength bytes (cut at a
// character boundary), never empty.
std::string SafeFileName(std::string_view label);

// A safe name of the label that is not yet in `taken` (letter case ignored), which gets it:
// "name", "name (2)", "name (3)"...
std::string UniqueFileName(std::string_view label, std::set<std::string>& taken);

// Writes the node's bytes to the file; false with a message in error when the node has no
// bytes or the file cannot be written.
bool SaveNodeBytes(const CTreeListNode& node, const std::string& fileName, std::string* error);

struct Result {
    unsigned long files = 0;
    bool cancelled = false;
    std::string error; // the first file that could not be written
};

// Every node of the subtree with bytes into the folder (made when missing), creating the
// children of collapsed nodes on the way and freeing them again. Stops at a cancel or at the
// first file that cannot be written.
Result ExtractSubtree(CTreeListNode& start, const std::string& folder);

} // namespace extract
