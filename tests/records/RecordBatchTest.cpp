// Long record streams come in batches: the first kRecordBatch records as nodes, the rest as batch
// nodes that make their own records when expanded, so a dump holds a bounded number of nodes.
#include <gtest/gtest.h>

#include <memory>
#include <ostream>
#include <streambuf>
#include <string>
#include <vector>

#include "app/HeadlessPlatform.h"
#include "output/DumpWriter.h"
#include "records/CdRecord.h"
#include "records/RecordStream.h"
#include "tree/DumpToFile.h"
#include "treelist/TreeListCore.h"

namespace {

constexpr std::uint8_t kSignatures[] = {0x81, 0x82, 0x83, 0x85, 0x86, 0x87, 0x88};
constexpr std::size_t kCycle = sizeof kSignatures;

// A rich-text stream of `n` two-byte records (signature and length only), whose signatures
// repeat with a period that no batch size divides, so a lost or repeated batch shows.
std::vector<std::uint8_t> TwoByteRecords(std::size_t n) {
    std::vector<std::uint8_t> s = {0x01, 0x00};
    s.reserve(2 + 2 * n);
    for (std::size_t i = 0; i < n; ++i) {
        s.push_back(kSignatures[i % kCycle]);
        s.push_back(0x02);
    }
    return s;
}

class StreamNode : public CNoteNode {
public:
    explicit StreamNode(const std::vector<std::uint8_t>& bytes) : bytes_(bytes) {
        SetLabel("Body");
    }
    bool IsExpandable() const override { return true; }
    void AddChildren() override { AddRecordNodes(*this, *factory_, bytes_.data(), bytes_.size()); }
    void WriteBegin(CFieldWriter& writer) override { writer.BeginField("item"); }
    void WriteEnd(CFieldWriter& writer) override { writer.EndField(); }

private:
    std::unique_ptr<CdRecordFactory> factory_ = MakeRecordFactory(kStreamKindComposite);
    const std::vector<std::uint8_t>& bytes_;
};

// Reads a dump as it is written, line by line: the record types in order and the batch
// elements, without holding the text.
class DumpLines : public std::streambuf {
public:
    std::vector<std::string> firstTypes; // of the first kCycle records
    std::size_t records = 0;
    std::size_t outOfCycle = 0;       // records whose type is not that of the record kCycle before
    std::vector<std::string> batches; // "first-last" of each record-batch element
    std::vector<std::size_t> batchAt; // records written before each batch element

protected:
    int overflow(int c) override {
        if (c == '\n')
            Line();
        else if (c != EOF)
            line_.push_back(char(c));
        return c;
    }

private:
    static std::string After(const std::string& line, const std::string& key) {
        const std::size_t at = line.find(key);
        if (at == std::string::npos)
            return {};
        const std::size_t from = at + key.size();
        return line.substr(from, line.find(')', from) - from);
    }
    void Line() {
        if (std::string type = After(line_, "(record-type "); !type.empty()) {
            if (records < kCycle)
                firstTypes.push_back(type);
            else if (type != firstTypes[records % kCycle])
                ++outOfCycle;
            ++records;
        }
        if (line_.find("(record-batch") != std::string::npos)
            batchAt.push_back(records);
        if (std::string first = After(line_, "(first-record "); !first.empty())
            batches.push_back(first);
        if (std::string last = After(line_, "(last-record "); !last.empty() && !batches.empty())
            batches.back() += "-" + last;
        line_.clear();
    }
    std::string line_;
};

TEST(RecordBatch, MillionRecordsDumpInOrderWithBoundedNodes) {
    constexpr std::size_t kRecords = 1000000;
    const auto bytes = TwoByteRecords(kRecords);
    CHeadlessPlatform platform;
    CTreeListCore control(platform);
    auto* item = new StreamNode(bytes);
    control.AddRoot(item);

    DumpLines lines;
    std::ostream text(&lines);
    const std::size_t before = CTreeListNode::LiveCount();
    CTreeListNode::ResetPeak();
    std::size_t peak = 0;
    DumpOptions options;
    options.includeCollapsed = true;
    options.progress = [&](unsigned long) {
        peak = std::max(peak, CTreeListNode::LiveCount() - before);
    };
    {
        CDumpWriter writer(text);
        writer.Begin();
        const DumpResult result = WriteSubtree(*item, writer, options);
        writer.End();
        EXPECT_FALSE(result.cancelled);
    }

    // The item's first batch, one batch node per further batch, and one batch's records.
    const std::size_t batchNodes = (kRecords - kRecordBatch + kRecordBatch - 1) / kRecordBatch;
    EXPECT_EQ(batchNodes, 244u);
    EXPECT_LE(CTreeListNode::PeakCount() - before, 2 * kRecordBatch + batchNodes + 2);
    EXPECT_GT(peak, kRecordBatch); // the hook sees the nodes while they exist
    EXPECT_EQ(CTreeListNode::LiveCount(), before) << "the dump collapses what it expanded";

    ASSERT_EQ(lines.firstTypes.size(), kCycle);
    for (std::size_t i = 1; i < kCycle; ++i)
        EXPECT_NE(lines.firstTypes[i], lines.firstTypes[i - 1]);
    EXPECT_EQ(lines.records, kRecords);
    EXPECT_EQ(lines.outOfCycle, 0u);
    ASSERT_EQ(lines.batches.size(), batchNodes);
    ASSERT_EQ(lines.batchAt.size(), batchNodes);
    for (std::size_t i = 0; i < batchNodes; ++i) {
        const std::size_t first = kRecordBatch * (i + 1);
        const std::size_t last = std::min(first + kRecordBatch, kRecords);
        EXPECT_EQ(lines.batches[i], std::to_string(first + 1) + "-" + std::to_string(last));
        EXPECT_EQ(lines.batchAt[i], first) << "batch " << i << " opens after the records before it";
    }
}

TEST(RecordBatch, BatchNodesNameTheirRunAndExpandToIt) {
    const std::size_t n = 2 * kRecordBatch + 10;
    const auto bytes = TwoByteRecords(n);
    CHeadlessPlatform platform;
    CTreeListCore control(platform);
    auto* item = new StreamNode(bytes);
    control.AddRoot(item);
    item->CreateChildren();
    ASSERT_EQ(item->ChildCount(), kRecordBatch + 2);

    auto* first = dynamic_cast<TNRecordBatch*>(item->GetLastChild()->GetPrevSibling());
    auto* last = dynamic_cast<TNRecordBatch*>(item->GetLastChild());
    ASSERT_TRUE(first && last);
    EXPECT_EQ(first->GetLabel(), "More Records: 4097 to 8192 of 8202");
    EXPECT_EQ(last->GetLabel(), "More Records: 8193 to 8202 of 8202");
    EXPECT_EQ(first->Offset(), 2 + 2 * kRecordBatch);
    EXPECT_EQ(last->Offset(), 2 + 4 * kRecordBatch);
    EXPECT_EQ(first->GetTypeId(), nodetype::kCdRecords);
    EXPECT_TRUE(last->IsExpandable());

    last->CreateChildren();
    ASSERT_EQ(last->ChildCount(), 10u);
    std::size_t i = 2 * kRecordBatch;
    for (CTreeListNode* c = last->GetFirstChild(); c; c = c->GetNextSibling(), ++i) {
        auto* record = dynamic_cast<TNCdRecord*>(c);
        ASSERT_TRUE(record);
        EXPECT_EQ(record->Signature(), kSignatures[i % kCycle]);
        EXPECT_EQ(record->Span().record, bytes.data() + 2 + 2 * i);
    }
}

TEST(RecordBatch, StreamsUpToOneBatchHaveNoBatchNode) {
    for (const std::size_t n : {std::size_t(0), std::size_t(1), kRecordBatch}) {
        const auto bytes = TwoByteRecords(n);
        StreamNode item(bytes);
        item.CreateChildren();
        EXPECT_EQ(item.ChildCount(), n);
        for (CTreeListNode* c = item.GetFirstChild(); c; c = c->GetNextSibling())
            EXPECT_EQ(dynamic_cast<TNRecordBatch*>(c), nullptr);
    }
    // One record more makes a batch of one; a record cut at the stream's end is in it.
    auto bytes = TwoByteRecords(kRecordBatch + 1);
    bytes.back() = 0x09; // claims 9 bytes where 2 remain
    StreamNode item(bytes);
    item.CreateChildren();
    ASSERT_EQ(item.ChildCount(), kRecordBatch + 1);
    auto* batch = dynamic_cast<TNRecordBatch*>(item.GetLastChild());
    ASSERT_TRUE(batch);
    EXPECT_EQ(batch->GetLabel(), "More Records: 4097 to 4097 of 4097");
    batch->CreateChildren();
    ASSERT_EQ(batch->ChildCount(), 1u);
    EXPECT_TRUE(static_cast<TNCdRecord*>(batch->GetFirstChild())->Span().cutShort);
}

} // namespace
