// Find: walks a subtree for the items and records that meet a set of criteria, creating the
// children it needs on the way and freeing them again, so the tree looks as before.
//
// What matches:
// - Without a record kind: items whose name matches `itemName` (a pattern of * and ?, letter
//   case ignored), whose type is `itemType`, and whose value holds `text` (the texts of a text
//   or text list value; in rich text, the texts of its text records). Every given criterion
//   must hold.
// - With a record kind: records of that kind inside the items that meet the name and type
//   criteria; with `text` also, only text records holding it.
// Texts are compared ignoring the letter case of ASCII letters.
//
// Lists that repeat what is elsewhere (recently peeked notes) and nodes without items beneath
// them (database and note information, access control lists) are not entered.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class CTreeListCore;
class CTreeListNode;

namespace nodesearch {

struct Criteria {
    std::string itemName;                         // pattern; empty: any name
    std::optional<std::uint16_t> itemType;        // an item value type
    std::string text;                             // empty: any value
    std::optional<std::uint16_t> recordSignature; // the record kind
    std::string recordKind;                       // or its name, as `record-type` shows it

    bool Empty() const {
        return itemName.empty() && !itemType && text.empty() && !recordSignature &&
               recordKind.empty();
    }
    bool WantsRecords() const { return recordSignature || !recordKind.empty(); }
};

// An item type by its name ("TextList", letter case ignored) or its number ("1281", "0x501").
bool ParseItemType(std::string_view text, std::uint16_t* type);
// A record kind given as a number (decimal or 0x hex) sets the signature, else the name.
void SetRecordKind(Criteria& criteria, std::string_view text);
// A pattern of * (any run) and ? (any one byte), ignoring ASCII letter case.
bool MatchesPattern(std::string_view pattern, std::string_view text);
// True when text holds part, ignoring ASCII letter case.
bool HoldsText(std::string_view text, std::string_view part);

// A node found: the labels from the top-level node down, and the node's position among its
// siblings at each level, so that it can be found again when its parents have been collapsed.
struct Match {
    std::vector<std::string> labels;
    std::vector<std::size_t> positions;

    // The labels joined by '/'; without the top-level node's label the path is what the dump
    // tool takes as its node path.
    std::string Path(bool withRoot = false) const;
};

struct Progress {
    unsigned long nodes = 0; // nodes looked at
    std::size_t matches = 0;
    double fraction = 0;    // an estimate of how much of the subtree has been walked, 0..1
    std::string_view where; // the label of the node being looked at
};

struct Result {
    std::vector<Match> matches;
    bool cancelled = false; // the walk stopped at a cancel request
    unsigned long nodes = 0;
};

class CNodeSearch {
public:
    explicit CNodeSearch(Criteria criteria);

    // Called for each node looked at (may be empty).
    std::function<void(const Progress&)> onProgress;
    // Called for each match as it is found (may be empty).
    std::function<void(const Match&)> onMatch;

    // Walks start and its subtree. The cancel check runs before each node; a cancel stops the
    // walk with the matches found so far.
    Result Run(CTreeListNode& start);

private:
    Criteria criteria_;
};

// The node of a match, expanding the nodes on its path through the control as needed; null
// when the tree no longer holds it. A position whose label differs falls back to the first
// sibling with the label.
CTreeListNode* LocateMatch(CTreeListCore& control, const Match& match);

} // namespace nodesearch
