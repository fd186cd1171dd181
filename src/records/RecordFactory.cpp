#include "records/RecordFactory.h"

#include <algorithm>
#include <vector>

#include "records/RecordKinds.h"

namespace {

// Every kind, sorted by scope and signature for the lookup.
struct KindIndex {
    std::vector<const RecordKind*> all;
    std::vector<const RecordKind*> sorted;

    KindIndex() {
        for (auto table :
             {ParagraphRecordKinds(), TextRecordKinds(), DocumentRecordKinds(), FieldRecordKinds(),
              GraphicRecordKinds(), TableRecordKinds(), ObjectRecordKinds(), QueryRecordKinds(),
              ActionRecordKinds(), NavigatorRecordKinds(), DatasetRecordKinds()})
            for (const RecordKind& k : table)
                all.push_back(&k);
        sorted = all;
        std::sort(sorted.begin(), sorted.end(), Less);
    }
    static bool Less(const RecordKind* a, const RecordKind* b) {
        return std::pair(a->scope, a->signature) < std::pair(b->scope, b->signature);
    }
};

const KindIndex& Index() {
    static const KindIndex index;
    return index;
}

} // namespace

std::span<const RecordKind* const> AllRecordKinds() {
    return Index().all;
}

const RecordKind* FindRecordKind(RecordScope scope, std::uint16_t signature) {
    const auto& sorted = Index().sorted;
    const RecordKind key{scope, signature, nullptr, 0, 0};
    const auto it = std::lower_bound(sorted.begin(), sorted.end(), &key, KindIndex::Less);
    if (it == sorted.end() || (*it)->scope != scope || (*it)->signature != signature)
        return nullptr;
    return *it;
}

const RecordFamily& FamilyOfScope(RecordScope scope) {
    switch (scope) {
    case RecordScope::RichTextBase:
    case RecordScope::RichText:
        return recordfamily::kRichText;
    case RecordScope::Navigator:
        return recordfamily::kLayout;
    case RecordScope::Query:
        return recordfamily::kQuery;
    case RecordScope::Action:
        return recordfamily::kAction;
    case RecordScope::Dataset:
        return recordfamily::kDataset;
    }
    return recordfamily::kPlain;
}

TNCdRecord* CKindRecordFactory::Create(const RecordSpan& record, CNodeDocument* document) const {
    TNCdRecord* node = nullptr;
    for (RecordScope scope : scopes_)
        if (const RecordKind* kind = FindRecordKind(scope, record.signature)) {
            node = new TNCdRecord(record, document, FamilyOfScope(scope), kind);
            break;
        }
    if (!node)
        node = new TNCdRecord(record, document, generic_);
    node->MakeLabel();
    return node;
}
