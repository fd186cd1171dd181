#include <gtest/gtest.h>

#include "RecordTestSupport.h"
#include "records/RecordWalker.h"
#include "support/RecordEncoder.h"
#include "tree/CancelProbe.h"
#include "tree/TNError.h"

namespace {

struct Seen {
    std::size_t offset;
    std::uint16_t signature;
    std::uint32_t length;
    bool cutShort;
    friend bool operator==(const Seen&, const Seen&) = default;
};

struct Collector {
    const std::uint8_t* base;
    std::vector<Seen> seen;
    store::Status stopWith = 0;
};

store::Status Collect(const RecordSpan& r, void* context) {
    auto& c = *static_cast<Collector*>(context);
    c.seen.push_back({std::size_t(r.record - c.base), r.signature, r.length, r.cutShort});
    return c.stopWith;
}

std::vector<Seen> WalkBytes(const RecordBytes& bytes) {
    Collector c{bytes.data(), {}};
    EXPECT_EQ(EnumerateRecords(bytes.data(), bytes.size(), Collect, &c), 0);
    return c.seen;
}

TEST(RecordWalker, HeaderFormsAndAlignment) {
    struct Case {
        const char* what;
        RecordBytes bytes;
        std::vector<Seen> expected;
    };
    const Case cases[] = {
        {"empty stream", {}, {}},
        {"kind word alone", {1, 0}, {}},
        {"one stray byte", {1}, {}},
        {"byte form: low byte is the signature, high byte the length",
         {1, 0, 0x81, 0x02, 0x83, 0x04, 7, 0},
         {{2, 0x81, 2, false}, {4, 0x83, 4, false}}},
        {"0x0081 is the long form",
         {1, 0, 0x81, 0x00, 6, 0, 0, 0, 0x81, 0x02},
         {{2, 0x0081, 6, false}, {8, 0x81, 2, false}}},
        {"word form",
         {1, 0, 0x85, 0xFF, 6, 0, 'a', 'b', 0x81, 0x02},
         {{2, 0xFF85, 6, false}, {8, 0x81, 2, false}}},
        {"odd lengths round up to even offsets",
         {1, 0, 0x85, 0xFF, 5, 0, 'a', 0, 0x85, 0xFF, 7, 0, 'a', 'b', 'c', 0, 0x81, 0x02},
         {{2, 0xFF85, 5, false}, {8, 0xFF85, 7, false}, {16, 0x81, 2, false}}},
        {"zero lengths step over the header",
         {1, 0, 0x85, 0xFF, 0, 0, 0x10, 0, 0, 0, 0, 0, 0x81, 0x00, 0, 0, 0, 0},
         {{2, 0xFF85, 0, false}, {6, 0x10, 0, false}, {12, 0x81, 0, false}}},
        {"a length shorter than the header steps over the header",
         {1, 0, 0x85, 0xFF, 2, 0, 0x81, 0x02},
         {{2, 0xFF85, 2, false}, {6, 0x81, 2, false}}},
        {"a record longer than the stream ends the walk",
         {1, 0, 0x81, 0x02, 0x85, 0xFF, 40, 0, 'x', 'y', 0x81, 0x02},
         {{2, 0x81, 2, false}, {4, 0xFF85, 40, true}}},
        {"a header cut by the end",
         {1, 0, 0x81, 0x02, 0x85, 0xFF, 9},
         {{2, 0x81, 2, false}, {4, 0xFF85, 0, true}}},
        {"a long length near 4 GB",
         {1, 0, 0x10, 0, 0xFF, 0xFF, 0xFF, 0xFF, 0x81, 0x02},
         {{2, 0x10, 0xFFFFFFFF, true}}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(WalkBytes(c.bytes), c.expected) << c.what;
}

TEST(RecordWalker, CallbackStatusStopsTheWalk) {
    const RecordBytes bytes = {1, 0, 0x81, 0x02, 0x81, 0x02};
    Collector c{bytes.data(), {}, 413};
    EXPECT_EQ(EnumerateRecords(bytes.data(), bytes.size(), Collect, &c), 413);
    EXPECT_EQ(c.seen.size(), 1u);
}

} // namespace

namespace {

TEST(RecordWalker, ACancelStopsAHugeStreamAtTheRecordWhereItCame) {
    // 100000 paragraphs: far more than anyone waits for.
    RecordBytes stream = {1, 0};
    for (int i = 0; i < 100000; ++i)
        stream.insert(stream.end(), {0x81, 0x02});
    int asked = 0;
    CScopedCancelProbe probe([](void* n) { return ++*static_cast<int*>(n) > 250; }, &asked);
    WalkedStream w = Walk(stream);
    EXPECT_EQ(w.status, store::kCancelled);
    EXPECT_EQ(asked, 251) << "asked once a record, and not again after the cancel";
    ASSERT_EQ(w.parent->ChildCount(), 251u);
    std::size_t records = 0;
    const CTreeListNode* last = nullptr;
    for (const CTreeListNode* n = w.parent->GetFirstChild(); n; n = n->GetNextSibling()) {
        records += dynamic_cast<const TNCdRecord*>(n) != nullptr;
        last = n;
    }
    EXPECT_EQ(records, 250u);
    const auto* error = dynamic_cast<const TNError*>(last);
    ASSERT_NE(error, nullptr) << "the walk ends with the cancel's error node";
    EXPECT_EQ(error->GetStatus(), store::kCancelled);
    EXPECT_EQ(error->GetLabel(), "Operation cancelled");
}

} // namespace
