#include "store/DocSetStream.h"

#include <algorithm>
#include <cstring>
#include <string_view>

#include "store/TNDocument.h"
#include "tree/NoteNode.h"
#include "tree/PlaceholderNode.h"
#include "treelist/TreeListNode.h"

namespace {

// A record: u8 type, u32 label length, the label (what orders it), u8 kind, u16 status,
// u16 note class (0: not read), u8 has-match, the search result, u8 has-summary, u16 summary
// length, the summary. Little-endian.
constexpr std::uint8_t kPlaceholder = 0xFF; // beside TNDocSetBase::ChildKind
constexpr std::size_t kTypeBytes = 1;
constexpr std::size_t kLabelLengthBytes = 4;

void Put(std::vector<std::uint8_t>& out, std::uint64_t value, std::size_t bytes) {
    for (std::size_t i = 0; i < bytes; ++i)
        out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

// Reads within the record only; false past its end.
class RecordReader {
public:
    explicit RecordReader(CExternalSorter::Record r) : r_(r) {}
    bool Get(std::uint64_t* value, std::size_t bytes) {
        if (r_.size() - at_ < bytes)
            return false;
        *value = 0;
        for (std::size_t i = bytes; i > 0; --i)
            *value = *value << 8 | r_[at_ + i - 1];
        at_ += bytes;
        return true;
    }
    bool Bytes(const std::uint8_t** data, std::size_t n) {
        if (r_.size() - at_ < n)
            return false;
        *data = r_.data() + at_;
        at_ += n;
        return true;
    }

private:
    CExternalSorter::Record r_;
    std::size_t at_ = 0;
};

std::string_view LabelOf(CExternalSorter::Record r) {
    RecordReader in(r);
    std::uint64_t type = 0, length = 0;
    const std::uint8_t* label = nullptr;
    if (!in.Get(&type, kTypeBytes) || !in.Get(&length, kLabelLengthBytes) ||
        !in.Bytes(&label, std::size_t(length)))
        return {};
    return {reinterpret_cast<const char*>(label), std::size_t(length)};
}

// The order of a sorted set's children (CTypedNode::Compare: the type, then the label ignoring
// letter case); an unsorted set keeps the order of the search, which the sorter's stability
// gives.
CExternalSorter::Less OrderOf(bool sorted) {
    if (!sorted)
        return [](CExternalSorter::Record, CExternalSorter::Record) { return false; };
    return [](CExternalSorter::Record a, CExternalSorter::Record b) {
        if (a.empty() || b.empty())
            return a.size() < b.size();
        if (a[0] != b[0])
            return a[0] < b[0];
        return CompareNoCase(LabelOf(a), LabelOf(b)) < 0;
    };
}

void DeleteChild(CTreeListNode* child) {
    // Without the document's notice of a deleted current node: the node was never selected.
    if (!child->CTreeListNode::DeleteNode())
        delete child; // in no control: unlinked by its destructor
}

} // namespace

CDocSetStream::CDocSetStream(TNDocSetBase& set, const ChildStreamLimits& limits)
    : set_(set), holdAtMost_(limits.holdAtMost),
      sorter_(std::make_unique<CExternalSorter>(
          // Reads of an eighth of the budget: eight runs are merged at a time, whatever it is.
          OrderOf(set.IsSorted()),
          CExternalSorter::Limits{limits.sortBudget, limits.sortBudget / 8})) {
    store::Status status = store::kNoError;
    {
        CPlaceholderPass pass; // as an expansion: one placeholder per hidden type
        status = set_.RunSearch(Gather, this);
        TakePlaceholders();
    }
    if (!error_.empty())
        return;
    TNDocSetBase::ChildKind kind{};
    if (CNoteNode* end = set_.EndChild(status, &kind))
        Keep(end, std::uint8_t(kind), nullptr, nullptr, status);
    if (!error_.empty())
        return;
    if (holding_) {
        sorter_.reset();
        if (set_.IsSorted()) {
            std::stable_sort(
                held_.begin(), held_.end(),
                [](const std::unique_ptr<CTreeListNode>& a,
                   const std::unique_ptr<CTreeListNode>& b) { return a->Compare(*b) < 0; });
        }
    } else if (!sorter_->Finish()) {
        Fail(sorter_->Error());
    }
}

CDocSetStream::~CDocSetStream() {
    DropCurrent();
}

void CDocSetStream::Fail(const std::string& problem) {
    if (error_.empty()) {
        const std::string set(set_.GetLabel());
        error_ = "Couldn't sort the notes of " + set + ": " + problem;
    }
    held_.clear();
}

store::Status CDocSetStream::Gather(void* context, const store::SEARCH_MATCH* match,
                                    const store::ITEM_TABLE* summary) {
    auto* self = static_cast<CDocSetStream*>(context);
    TNDocSetBase::ChildKind kind{};
    store::Status stop = store::kNoError;
    CNoteNode* child = self->set_.MakeChild(*match, summary, &kind, &stop);
    self->TakePlaceholders();
    if (child) {
        // A note's class costs a read of the note: the node made again is given it.
        const std::uint16_t noteClass = kind == TNDocSetBase::ChildKind::Note
                                            ? static_cast<TNDocument*>(child)->GetNoteClass()
                                            : 0;
        self->Keep(child, std::uint8_t(kind), match, summary, stop, noteClass);
    }
    if (!self->error_.empty())
        return store::kCancelled; // ends the search; the error is what is reported
    return stop;
}

void CDocSetStream::TakePlaceholders() {
    while (CTreeListNode* c = set_.GetFirstChild()) {
        const CTypedNode* typed = c->AsTyped();
        const NodeTypeId type = typed ? typed->GetTypeId() : 0;
        DeleteChild(c);
        Keep(new CPlaceholderNode(type), kPlaceholder, nullptr, nullptr, store::kNoError);
    }
}

void CDocSetStream::Keep(CTreeListNode* child, std::uint8_t kind, const store::SEARCH_MATCH* match,
                         const store::ITEM_TABLE* summary, store::Status status,
                         std::uint16_t noteClass) {
    std::unique_ptr<CTreeListNode> node(child);
    if (!error_.empty())
        return;
    const CTypedNode* typed = node->AsTyped();
    const std::string_view label = node->GetLabel();
    record_.clear();
    Put(record_, typed ? typed->GetTypeId() : 0, kTypeBytes);
    Put(record_, label.size(), kLabelLengthBytes);
    record_.insert(record_.end(), label.begin(), label.end());
    Put(record_, kind, 1);
    Put(record_, status, 2);
    Put(record_, noteClass, 2);
    Put(record_, match ? 1 : 0, 1);
    if (match) {
        const auto* bytes = reinterpret_cast<const std::uint8_t*>(match);
        record_.insert(record_.end(), bytes, bytes + sizeof *match);
    }
    const std::size_t summaryLength = match && summary ? match->summaryLength : 0;
    Put(record_, summary ? 1 : 0, 1);
    Put(record_, summaryLength, 2);
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(summary);
    record_.insert(record_.end(), bytes, bytes + summaryLength);
    if (!sorter_->Add(record_)) {
        Fail(sorter_->Error());
        return;
    }
    if (!holding_)
        return; // the node goes; the record makes it again
    held_.push_back(std::move(node));
    if (held_.size() > holdAtMost_) {
        holding_ = false; // too many to hold: from now on only the records
        held_.clear();
    }
}

CTreeListNode* CDocSetStream::MakeAgain(CExternalSorter::Record record) {
    RecordReader in(record);
    std::uint64_t type = 0, labelLength = 0, kind = 0, status = 0, noteClass = 0, hasMatch = 0,
                  hasSummary = 0, summaryLength = 0;
    const std::uint8_t* label = nullptr;
    const std::uint8_t* matchBytes = nullptr;
    const std::uint8_t* summaryBytes = nullptr;
    if (!in.Get(&type, kTypeBytes) || !in.Get(&labelLength, kLabelLengthBytes) ||
        !in.Bytes(&label, std::size_t(labelLength)) || !in.Get(&kind, 1) || !in.Get(&status, 2) ||
        !in.Get(&noteClass, 2) || !in.Get(&hasMatch, 1))
        return nullptr;
    store::SEARCH_MATCH match{};
    if (hasMatch) {
        if (!in.Bytes(&matchBytes, sizeof match))
            return nullptr;
        std::memcpy(&match, matchBytes, sizeof match);
    }
    if (!in.Get(&hasSummary, 1) || !in.Get(&summaryLength, 2) ||
        !in.Bytes(&summaryBytes, std::size_t(summaryLength)))
        return nullptr;
    if (kind == kPlaceholder)
        return new CPlaceholderNode(static_cast<NodeTypeId>(type));
    summary_.assign((std::size_t(summaryLength) + 1) / 2 + 1, 0);
    if (summaryLength)
        std::memcpy(summary_.data(), summaryBytes, std::size_t(summaryLength));
    const auto* summary =
        hasSummary ? reinterpret_cast<const store::ITEM_TABLE*>(summary_.data()) : nullptr;
    return set_.MakeChildAgain(
        static_cast<TNDocSetBase::ChildKind>(kind), match, summary,
        static_cast<store::Status>(status), static_cast<std::uint16_t>(noteClass),
        std::string_view(reinterpret_cast<const char*>(label), std::size_t(labelLength)));
}

void CDocSetStream::DropCurrent() {
    if (current_) {
        DeleteChild(current_);
        current_ = nullptr;
    }
}

CTreeListNode* CDocSetStream::Next() {
    DropCurrent();
    if (!error_.empty())
        return nullptr;
    CTreeListNode* child = nullptr;
    if (holding_) {
        if (nextHeld_ >= held_.size())
            return nullptr;
        child = held_[nextHeld_++].release();
    } else {
        CExternalSorter::Record record;
        if (!sorter_->Next(&record)) {
            if (!sorter_->Error().empty())
                Fail(sorter_->Error());
            return nullptr;
        }
        child = MakeAgain(record);
        if (!child) {
            Fail("a gathered record is damaged");
            return nullptr;
        }
    }
    set_.AddChild(child);
    current_ = child;
    return child;
}
