// The byte ranges of the fields of every node of every sample database: each lies inside the
// bytes of its node, and the fields of every record, item value and object explain every byte
// of it but for the gaps listed below, each with its reason (what they do not name is remaining
// data, which counts as explained). A field explains its whole range when no field inside it
// has one; a field of ranged fields only the bytes before the first of them (a count, a word
// not shown), so a field that drops its range leaves its bytes unexplained.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <typeinfo>
#include <vector>

#include "app/DelvexDoc.h"
#include "app/HeadlessPlatform.h"
#include "common/MemorySettings.h"
#include "items/ItemNode.h"
#include "items/NoteObjectNode.h"
#include "output/FieldWriter.h"
#include "records/CdRecord.h"
#include "records/RecordStream.h"
#include "records/RecordStreamComposer.h"
#include "support/SampleNames.h"
#include "tree/DocNode.h"
#include "treelist/TreeListCore.h"
#include "treelist/TreeWalker.h"
#include "vlt/builder/JsonDescription.h"

namespace {

namespace fs = std::filesystem;

struct Range {
    std::string label;
    bool ranged = false;
    std::size_t offset = 0;
    std::size_t length = 0;
    int parent = -1;
    int children = 0;                  // fields directly inside
    int rangedChildren = 0;            // of which carry a range
    std::size_t firstChild = SIZE_MAX; // the least offset of a ranged field directly inside
};

// Keeps every field with its label, its range and its place in the nest.
class RangeWriter : public CFieldWriter {
public:
    std::vector<Range> fields;

    bool Has(std::string_view label) const {
        return std::any_of(fields.begin(), fields.end(),
                           [&](const Range& f) { return f.label == label; });
    }

protected:
    void WriteText(std::string_view text) override {
        if (labelNext_)
            fields.back().label = std::string(text);
        labelNext_ = false;
    }
    void NewLine() override {}
    void OnBeginField() override {
        Range f;
        f.parent = open_.empty() ? -1 : open_.back();
        if (f.parent >= 0)
            ++fields[std::size_t(f.parent)].children;
        open_.push_back(int(fields.size()));
        fields.push_back(f);
        labelNext_ = true;
    }
    void OnFieldRange(std::size_t offset, std::size_t length) override {
        Range& f = fields.back();
        f.ranged = true;
        f.offset = offset;
        f.length = length;
        if (f.parent >= 0) {
            Range& parent = fields[std::size_t(f.parent)];
            ++parent.rangedChildren;
            parent.firstChild = std::min(parent.firstChild, offset);
        }
    }
    void OnEndField() override {
        if (!open_.empty())
            open_.pop_back();
    }

private:
    bool labelNext_ = false;
    std::vector<int> open_;
};

// Bytes that no field names, on purpose. `anchor`: the offset counts from the start of each
// field of that label (else from the node's first byte); `unless`: the gap is there only when
// no field of that label is.
constexpr std::size_t kToEnd = SIZE_MAX;
struct Gap {
    const char* anchor;
    std::ptrdiff_t offset;
    std::size_t length;
    std::array<const char*, 2> unless; // labels, or null
    const char* reason;
};
struct RecordGaps {
    RecordScope scope;
    std::uint16_t signature;
    Gap gap;
};
struct ItemGaps {
    std::uint16_t type;
    Gap gap;
};

constexpr std::uint16_t kAnySignature = 0; // no kind has it
constexpr RecordScope kBase = RecordScope::RichTextBase;
constexpr RecordScope kRich = RecordScope::RichText;
constexpr RecordGaps kRecordGaps[] = {
    {kBase, 0x86, {nullptr, 13, 1, {}, "a pad byte"}},
    {RecordScope::Dataset, 0xFF57, {nullptr, 6, 2, {}, "an unused word"}},
    {RecordScope::Dataset, 0xFF57, {nullptr, 214, 4, {}, "an unused word"}},
    {kBase, 0xFF82, {nullptr, 20, 42, {"tabs"}, "no tabs: their count and room"}},
    {kBase, 0xFF82, {nullptr, 64, 4, {"tabs"}, "no tabs: their types"}},
    {kBase, 0xFF8A, {nullptr, 22, 4, {}, "the lengths of the first two formulas"}},
    {kBase, 0xFF8A, {nullptr, 28, 8, {}, "the lengths of the later parts"}},
    {kBase, 0xFF84, {nullptr, 22, 4, {}, "the lengths of the first two formulas"}},
    {kBase, 0xFF84, {nullptr, 28, 6, {}, "the lengths of the later parts"}},
    {kBase, 0xFF8A, {"value-formula", -2, 2, {}, "a value count of 0: a formula"}},
    {kRich, 0xFFC1, {nullptr, 4, 8, {}, "the lengths of the texts"}},
    {kRich, 0xFFBE, {nullptr, 4, 2, {}, "a word not shown"}},
    {kRich, 0xFFBE, {nullptr, 14, 4, {}, "the lengths of the title and the formula"}},
    {kRich, 0xFFBE, {"hide-when", -1, 1, {}, "the pad byte before the formula"}},
    {kRich, 0xFFBF, {nullptr, 32, 2, {}, "the length of the field name"}},
    {kBase, 0xFFA9, {nullptr, 10, 2, {}, "the length of the text or formula"}},
    {kRich, 0xFFAD, {nullptr, 10, 2, {}, "the length of the text or formula"}},
    {kBase, 0xFFA9, {"sig-data", -2, 2, {}, "the signature's length"}},
    {kRich, 0xFFAD, {"sig-data", -2, 2, {}, "the signature's length"}},
    {kBase,
     0xFFA9,
     {nullptr, 10, kToEnd, {"text", "formula"}, "the actions, shown as the children"}},
    {kRich,
     0xFFAD,
     {nullptr, 10, kToEnd, {"text", "formula"}, "the actions, shown as the children"}},
    {RecordScope::Query, 0xFF8A, {nullptr, 10, 2, {}, "the length of the data"}},
    {RecordScope::Query, 0xFF87, {"assist-field", 4, 4, {}, "the text lengths"}},
    {RecordScope::Action, 0xFF89, {"assist-field", 4, 4, {}, "the text lengths"}},
    {RecordScope::Query, 0xFF87, {nullptr, 8, 4, {}, "the field count, the name's length"}},
    {RecordScope::Action, 0xFF89, {nullptr, 8, 4, {}, "the field count, the name's length"}},
    {RecordScope::Navigator, kAnySignature, {"draw-object", 30, 2, {}, "wrap: big objects only"}},
};
constexpr ItemGaps kItemGaps[] = {
    {2, {"collation-descriptor", 3, 4, {}, "where the key's name is"}},
    {3, {"file", 0, 2, {}, "the length of the file name"}},
    {5, {"column", 4, 8, {}, "the lengths of the column's texts"}},
};

void AddGap(const Gap& gap, const RangeWriter& writer, std::vector<bool>& covered) {
    for (const char* label : gap.unless)
        if (label && writer.Has(label))
            return;
    const auto mark = [&](std::ptrdiff_t from) {
        for (std::size_t i = std::size_t(std::max<std::ptrdiff_t>(from, 0));
             i < covered.size() && (gap.length == kToEnd || i < std::size_t(from) + gap.length);
             ++i)
            covered[i] = true;
    };
    if (!gap.anchor) {
        mark(gap.offset);
        return;
    }
    for (const Range& f : writer.fields)
        if (f.ranged && f.label == gap.anchor)
            mark(std::ptrdiff_t(f.offset) + gap.offset);
}

// The counts of a kind's variable parts: a count is no field of its own, the part it counts
// explains it.
void AddCounts(std::span<const FixedField> rows, std::size_t base, std::vector<bool>& covered) {
    for (const FixedField& row : rows) {
        if (row.kind == FieldKind::Group)
            AddCounts(row.rows, base + row.offset, covered);
        else if (row.IsCursor() && row.width > 0)
            for (std::size_t i = base + row.offset;
                 i < base + row.offset + row.width && i < covered.size(); ++i)
                covered[i] = true;
    }
}

// The bytes the fields explain.
std::vector<bool> Explained(const RangeWriter& writer, std::size_t size) {
    std::vector<bool> covered(size, false);
    for (const Range& f : writer.fields) {
        if (!f.ranged)
            continue;
        std::size_t end = f.offset + f.length;
        if (f.rangedChildren > 0)
            end = f.rangedChildren == f.children ? std::min(end, f.firstChild) : f.offset;
        for (std::size_t i = f.offset; i < end && i < size; ++i)
            covered[i] = true;
    }
    return covered;
}

// The first byte that nothing explains; size when all are.
std::size_t FirstUnexplained(const std::vector<bool>& covered) {
    return std::size_t(std::find(covered.begin(), covered.end(), false) - covered.begin());
}

// Writes the node's fields (spare bytes shown, so that they are explained) and checks that
// every range lies inside its bytes.
void Ranges(CDocNode& node, std::span<const std::uint8_t> bytes, const std::string& where,
            RangeWriter& writer) {
    writer.Options().ShowSpareBytes = 1;
    writer.Begin();
    node.WriteFields(writer);
    writer.End();
    for (const Range& r : writer.fields) {
        if (!r.ranged)
            continue;
        EXPECT_LE(r.offset, bytes.size()) << where << " " << r.label;
        EXPECT_LE(r.length, bytes.size() - std::min(r.offset, bytes.size()))
            << where << " " << r.label << " at " << r.offset;
    }
}

// A record's fields, its counts and its listed gaps explain every byte of it.
void ExpectRecordExplained(TNCdRecord& record, const std::string& where) {
    std::span<const std::uint8_t> bytes;
    ASSERT_TRUE(record.NodeBytes(bytes)) << where;
    RangeWriter writer;
    Ranges(record, bytes, where, writer);
    std::vector<bool> covered = Explained(writer, bytes.size());
    if (const RecordKind* kind = record.Kind()) {
        AddCounts(kind->fields, 0, covered);
        for (const RecordGaps& g : kRecordGaps)
            if (g.scope == kind->scope &&
                (g.signature == kind->signature || g.signature == kAnySignature))
                AddGap(g.gap, writer, covered);
    }
    EXPECT_EQ(FirstUnexplained(covered), bytes.size())
        << where << " (" << bytes.size() << " bytes, signature 0x" << std::hex << record.Signature()
        << std::dec << ")";
    ASSERT_FALSE(writer.fields.empty()) << where;
    EXPECT_EQ(writer.fields.front().label, "record-type") << where;
}

TEST(ByteRanges, FieldsOfEverySampleNodeLieInsideItsBytesAndExplainThem) {
    const std::vector<std::string> names = SampleNames();
    ASSERT_GE(names.size(), 8u);
    std::size_t records = 0, bodies = 0, items = 0, objects = 0;
    for (const std::string& name : names) {
        CMemorySettings settings;
        CDelvexDoc doc(&settings);
        ASSERT_TRUE(doc.OpenDocument(std::string(DELVEX_SAMPLE_DATA_DIR) + "/" + name)) << name;
        CHeadlessPlatform platform;
        CTreeListCore control(platform);
        CDocNode* root = doc.TakeRootsInto(control);
        ASSERT_TRUE(root) << name;
        CTreeWalker walker(*root, CTreeWalker::kExpandCollapsed);
        while (CTreeListNode* node = walker.Next()) {
            auto* docNode = dynamic_cast<CDocNode*>(node);
            std::span<const std::uint8_t> bytes;
            if (!docNode || !docNode->NodeBytes(bytes))
                continue;
            const std::string where = name + ": " + std::string(node->GetLabel());
            auto* record = dynamic_cast<TNCdRecord*>(node);
            if (record) {
                ++records;
                bodies += record->Kind() && record->Kind()->body;
                ExpectRecordExplained(*record, where);
                continue;
            }
            RangeWriter writer;
            Ranges(*docNode, bytes, where, writer);
            std::vector<bool> covered = Explained(writer, bytes.size());
            if (auto* item = dynamic_cast<TNItem*>(node)) {
                if (IsRecordStreamType(item->ItemType()))
                    continue; // the records explain it, as children
                ++items;
                for (const ItemGaps& g : kItemGaps)
                    if (g.type == item->ItemType())
                        AddGap(g.gap, writer, covered);
                EXPECT_EQ(FirstUnexplained(covered), bytes.size())
                    << where << " (" << bytes.size() << " bytes, type " << item->ItemType() << ", "
                    << typeid(*item).name() << ")";
                continue;
            }
            if (dynamic_cast<TNNoteObject*>(node)) {
                ++objects;
                EXPECT_EQ(FirstUnexplained(covered), bytes.size()) << where;
                continue;
            }
        }
    }
    EXPECT_GT(records, 100u);
    EXPECT_GT(bodies, 20u);
    EXPECT_GT(items, 50u);
    EXPECT_GT(objects, 0u);
}

// Kinds with body writers that no sample holds, made from descriptions by the builder's
// composers: their fields explain them as the samples' do.
TEST(ByteRanges, BodiesNoSampleHoldsExplainTheirRecords) {
    const char* const kStreams[][2] = {
        {"1", R"([{"record-type": 65473, "ole-obj-class": "00112233445566778899aabbccddeeff",
                  "file-obj": "a.doc", "description": "bb", "field": "c", "text-index-obj": "d"},
                 {"record-type": 65470, "title": "abc", "hide-when": "1"},
                 {"record-type": 65471, "ole-obj-class": "00112233445566778899aabbccddeeff",
                  "field-name": "f"},
                 {"record-type": 65476, "storage-type": 1, "object-name": "obj"},
                 {"record-type": 65476, "storage-type": 3, "url": "http://x"},
                 {"record-type": 65452, "color": 2, "caption": "cap"},
                 {"record-type": 65452, "caption": {"formula": "1"}},
                 {"record-type": 197, "rgb-triples": "010203040506"},
                 {"record-type": 65449, "formula": "1", "sig-data": "0a0b"},
                 {"record-type": 65449, "actions": [{"record-type": 65412, "formula": "1"}]}])"},
        {"15", R"([{"record-type": 65418, "topic-query": "q", "data": "0102"},
                   {"record-type": 65415, "form-name": "F",
                    "assist-field": [{"field-name": "n", "value": "v"}]}])"},
        {"16", R"([{"record-type": 65417, "form-name": "F",
                    "assist-field": [{"field-name": "n", "value": "vv"}]}])"},
        {"19", R"([{"record-type": 65468, "drobj-name": "p", "points": [[1, 2], [3, 4]]}])"},
    };
    std::size_t records = 0;
    for (const auto& [type, list] : kStreams) {
        const std::string text =
            std::string(R"({"id": "1996-05-14T08:30:00.00Z", "notes": [{"items": [{"name": "B", )"
                        R"("type": )") +
            type + R"(, "records": )" + list + "}]}]}";
        vlt::builder::DatabaseDesc desc;
        std::string error;
        ASSERT_TRUE(
            vlt::builder::ParseDescription(text, "test.json", &desc, &error, &ComposeRecordStream))
            << error;
        const std::vector<std::uint8_t>& value = desc.notes.at(0).items.at(0).value;
        CNoteNode parent;
        const auto factory = MakeRecordFactory(std::uint16_t(std::stoi(type)));
        AddRecordNodes(parent, *factory, value.data(), value.size());
        for (CTreeListNode* n = parent.GetFirstChild(); n; n = n->GetNextSibling()) {
            auto* record = static_cast<TNCdRecord*>(n);
            ++records;
            ExpectRecordExplained(*record, "type " + std::string(type) + ": " +
                                               std::string(record->GetLabel()));
        }
    }
    EXPECT_EQ(records, 14u);
}

} // namespace
