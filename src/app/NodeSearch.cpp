#include "app/NodeSearch.h"

#include <charconv>

#include "items/ItemNode.h"
#include "output/SymbolEntry.h"
#include "output/SymbolTables.h"
#include "records/CdRecord.h"
#include "records/TextExcerpt.h"
#include "tree/Cancel.h"
#include "tree/TypedNode.h"
#include "treelist/TreeListCore.h"
#include "treelist/TreeWalker.h"

namespace nodesearch {
namespace {

constexpr std::uint16_t kTextRecord = 0xFF85;

char Fold(char c) {
    return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
}

bool EqualNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (Fold(a[i]) != Fold(b[i]))
            return false;
    return true;
}

bool ParseNumber(std::string_view text, std::uint32_t* value) {
    int base = 10;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        text.remove_prefix(2);
        base = 16;
    }
    if (text.empty())
        return false;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), *value, base);
    return ec == std::errc() && end == text.data() + text.size();
}

// The name the record's family gives its signature (what `record-type` shows), or empty.
std::string_view SignatureName(const TNCdRecord& record) {
    std::string_view name;
    ForEachSymbol(record.Family().signatures, [&](const SymbolEntry& row) {
        if (row.mask == kSymbolEnumerated && row.value == record.Signature()) {
            name = row.name;
            return false;
        }
        return true;
    });
    return name;
}

bool IsTextRecord(const TNCdRecord& record) {
    return record.Signature() == kTextRecord && record.Kind() &&
           record.Kind()->scope == RecordScope::RichTextBase;
}

bool RecordHoldsText(const TNCdRecord& record, std::string_view part) {
    if (!IsTextRecord(record) || record.Size() <= 8)
        return false;
    const std::size_t n = record.Size() - 8;
    return HoldsText(TranslatedText(record.At(8).text(n).data(), n), part);
}

// Types of nodes whose subtrees hold no item that is not also elsewhere.
bool NotEntered(NodeTypeId type) {
    switch (type) {
    case 1:  // recently peeked databases
    case 3:  // recently peeked servers
    case 12: // recently peeked notes
    case 13: // database information
    case 14: // access control lists and their parts
    case 15:
    case 16:
    case 17:
    case 38: // note information
    case 41: // objects
    case 42: // errors
        return true;
    default:
        return false;
    }
}

// Value types whose records include text records.
bool IsRichTextType(std::uint16_t type) {
    return type == 1 || type == 19;
}

// One node on the path of the walk.
struct Step {
    CTreeListNode* node;
    bool wasCollapsed;      // any children it has were made by the walk
    std::size_t position;   // among its siblings
    std::size_t seen = 0;   // children entered so far
    bool textFound = false; // an item whose text records hold the text
};

} // namespace

bool ParseItemType(std::string_view text, std::uint16_t* type) {
    std::uint32_t number = 0;
    if (ParseNumber(text, &number)) {
        if (number > 0xFFFF)
            return false;
        *type = std::uint16_t(number);
        return true;
    }
    bool found = false;
    ForEachSymbol(symtab::kItemTypes, [&](const SymbolEntry& row) {
        if (EqualNoCase(row.name, text)) {
            *type = std::uint16_t(row.value);
            found = true;
            return false;
        }
        return true;
    });
    return found;
}

void SetRecordKind(Criteria& criteria, std::string_view text) {
    std::uint32_t number = 0;
    if (ParseNumber(text, &number) && number <= 0xFFFF) {
        criteria.recordSignature = std::uint16_t(number);
        criteria.recordKind.clear();
    } else {
        criteria.recordSignature.reset();
        criteria.recordKind = std::string(text);
    }
}

bool MatchesPattern(std::string_view pattern, std::string_view text) {
    // Iterative matching with one backtrack point: linear in practice, never exponential.
    std::size_t p = 0, t = 0, star = std::string_view::npos, mark = 0;
    while (t < text.size()) {
        if (p < pattern.size() && (pattern[p] == '?' || Fold(pattern[p]) == Fold(text[t]))) {
            ++p;
            ++t;
        } else if (p < pattern.size() && pattern[p] == '*') {
            star = p++;
            mark = t;
        } else if (star != std::string_view::npos) {
            p = star + 1;
            t = ++mark;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*')
        ++p;
    return p == pattern.size();
}

bool HoldsText(std::string_view text, std::string_view part) {
    if (part.empty())
        return true;
    if (part.size() > text.size())
        return false;
    for (std::size_t i = 0; i + part.size() <= text.size(); ++i) {
        std::size_t k = 0;
        while (k < part.size() && Fold(text[i + k]) == Fold(part[k]))
            ++k;
        if (k == part.size())
            return true;
    }
    return false;
}

std::string Match::Path(bool withRoot) const {
    std::string path;
    for (std::size_t i = withRoot ? 0 : 1; i < labels.size(); ++i) {
        if (!path.empty())
            path += '/';
        path += labels[i];
    }
    return path;
}

CNodeSearch::CNodeSearch(Criteria criteria) : criteria_(std::move(criteria)) {}

Result CNodeSearch::Run(CTreeListNode& start) {
    Result result;
    const Criteria& c = criteria_;
    if (c.Empty())
        return result;

    // The path above the start, found once: labels and positions from the top-level node.
    Match above;
    for (CTreeListNode* n = start.GetParent(); n && n->GetParent(); n = n->GetParent()) {
        std::size_t position = 0;
        for (CTreeListNode* s = n->GetPrevSibling(); s; s = s->GetPrevSibling())
            ++position;
        above.labels.insert(above.labels.begin(), std::string(n->GetLabel()));
        above.positions.insert(above.positions.begin(), position);
    }
    std::size_t startPosition = 0;
    for (CTreeListNode* s = start.GetPrevSibling(); s; s = s->GetPrevSibling())
        ++startPosition;

    std::vector<Step> path;
    auto emit = [&](void) {
        Match m = above;
        for (const Step& s : path) {
            m.labels.emplace_back(s.node->GetLabel());
            m.positions.push_back(s.position);
        }
        if (onMatch)
            onMatch(m);
        result.matches.push_back(std::move(m));
    };
    auto itemAllowed = [&](const TNItem& item) {
        return (c.itemName.empty() || MatchesPattern(c.itemName, item.ItemName())) &&
               (!c.itemType || *c.itemType == item.ItemType());
    };

    CTreeWalker walker(start, CTreeWalker::kReportBoth | CTreeWalker::kExpandCollapsed);
    bool in = false;
    while (CTreeListNode* node = walker.Next(&in)) {
        if (cancel::Check()) {
            result.cancelled = true;
            // The outermost node the walk expanded holds all the others it expanded.
            for (const Step& s : path) {
                if (s.wasCollapsed && s.node->HasChildren()) {
                    s.node->CollapseChildren();
                    break;
                }
            }
            break;
        }
        if (!in) {
            if (!path.empty()) {
                if (path.back().textFound)
                    emit();
                path.pop_back();
            }
            continue;
        }
        std::size_t position = startPosition;
        if (!path.empty())
            position = path.back().seen++;
        path.push_back({node, !node->HasChildren(), position});
        ++result.nodes;
        if (onProgress) {
            // Each level's share of the walk, from the first three levels below the start.
            double fraction = 0, share = 1;
            for (std::size_t i = 1; i < path.size() && i <= 3; ++i) {
                const std::size_t count = path[i - 1].node->ChildCount();
                if (count == 0)
                    break;
                share /= double(count);
                fraction += share * double(path[i].position);
            }
            onProgress({result.nodes, result.matches.size(), fraction, node->GetLabel()});
        }

        const CTypedNode* typed = node->AsTyped();
        if (typed && NotEntered(typed->GetTypeId())) {
            walker.SkipChildren();
            continue;
        }
        if (const auto* item = dynamic_cast<const TNItem*>(node)) {
            const bool allowed = itemAllowed(*item);
            bool enter = false;
            if (c.WantsRecords()) {
                enter = allowed && IsRecordStreamType(item->ItemType());
            } else if (!allowed) {
            } else if (c.text.empty()) {
                emit();
            } else if (IsRichTextType(item->ItemType())) {
                enter = true; // decided on the way out, from its text records
            } else if (HoldsText(item->ValueText('\n'), c.text)) {
                emit();
            }
            if (!enter)
                walker.SkipChildren();
            continue;
        }
        if (const auto* record = dynamic_cast<const TNCdRecord*>(node)) {
            if (!c.WantsRecords()) {
                if (RecordHoldsText(*record, c.text)) {
                    for (auto s = path.rbegin(); s != path.rend(); ++s) {
                        if (dynamic_cast<const TNItem*>(s->node)) {
                            s->textFound = true;
                            break;
                        }
                    }
                }
                walker.SkipChildren();
                continue;
            }
            const bool kind = c.recordSignature ? *c.recordSignature == record->Signature()
                                                : EqualNoCase(SignatureName(*record), c.recordKind);
            if (kind && (c.text.empty() || RecordHoldsText(*record, c.text)))
                emit();
        }
    }
    return result;
}

CTreeListNode* LocateMatch(CTreeListCore& control, const Match& match) {
    CTreeListNode* node = &control.Root();
    for (std::size_t level = 0; level < match.labels.size(); ++level) {
        if (level > 0 && !node->HasChildren() && node->IsExpandable())
            control.Expand(node);
        const std::string& label = match.labels[level];
        const std::size_t want = level < match.positions.size() ? match.positions[level] : 0;
        CTreeListNode* found = nullptr;
        CTreeListNode* sameLabel = nullptr;
        std::size_t i = 0;
        for (CTreeListNode* ch = node->GetFirstChild(); ch; ch = ch->GetNextSibling(), ++i) {
            if (ch->GetLabel() != label)
                continue;
            if (i == want) {
                found = ch;
                break;
            }
            if (!sameLabel)
                sameLabel = ch;
        }
        node = found ? found : sameLabel;
        if (!node)
            return nullptr;
    }
    return node == &control.Root() ? nullptr : node;
}

} // namespace nodesearch
