// The children of a set of notes handed to a dump one at a time. One search gathers, for each
// child, its place in the order (type and label) and what makes it again (the search result
// and its summary); a set of at most holdAtMost children simply keeps the nodes it made, a
// larger one lets each node go and sorts the records in a fixed memory budget, with sorted runs
// in a temporary file. Either way the children come out in the order of the set's own
// expansion, equal ones in the order of the search.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "common/ExternalSorter.h"
#include "store/TNDocSetBase.h"
#include "tree/ChildStream.h"

class CDocSetStream final : public CChildStream {
public:
    // Runs the search; a failure to sort is reported by Error (and Next gives nothing).
    CDocSetStream(TNDocSetBase& set, const ChildStreamLimits& limits);
    ~CDocSetStream() override;
    CDocSetStream(const CDocSetStream&) = delete;
    CDocSetStream& operator=(const CDocSetStream&) = delete;

    CTreeListNode* Next() override;
    const std::string& Error() const override { return error_; }

private:
    static store::Status Gather(void* context, const store::SEARCH_MATCH* match,
                                const store::ITEM_TABLE* summary);
    // One child in the order of the search, with what makes it again.
    void Keep(CTreeListNode* child, std::uint8_t kind, const store::SEARCH_MATCH* match,
              const store::ITEM_TABLE* summary, store::Status status, std::uint16_t noteClass = 0);
    // The placeholders the set's type filter attached: kept like the other children.
    void TakePlaceholders();
    CTreeListNode* MakeAgain(CExternalSorter::Record record);
    void Fail(const std::string& problem);
    void DropCurrent();

    TNDocSetBase& set_;
    std::size_t holdAtMost_;
    bool holding_ = true;
    std::vector<std::unique_ptr<CTreeListNode>> held_;
    std::size_t nextHeld_ = 0;
    std::unique_ptr<CExternalSorter> sorter_;
    std::vector<std::uint8_t> record_;
    std::vector<std::uint16_t> summary_; // aligned for the store's summary reader
    std::string error_;
    CTreeListNode* current_ = nullptr;
};
