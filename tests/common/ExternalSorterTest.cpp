// The sorter of byte records: runs spilled to the temporary file and merged back in order with
// equal records in the order they came, no input at all, and records longer than the budget.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <vector>

#include "common/ExternalSorter.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

// Records ordered by their first byte alone; the rest tells equal ones apart.
bool ByFirstByte(CExternalSorter::Record a, CExternalSorter::Record b) {
    return a[0] < b[0];
}

std::vector<Bytes> SortAll(const std::vector<Bytes>& input, CExternalSorter::Limits limits,
                           std::size_t* runs) {
    CExternalSorter sorter(ByFirstByte, limits);
    for (const Bytes& r : input)
        EXPECT_TRUE(sorter.Add(r)) << sorter.Error();
    EXPECT_TRUE(sorter.Finish()) << sorter.Error();
    std::vector<Bytes> out;
    CExternalSorter::Record r;
    while (sorter.Next(&r))
        out.emplace_back(r.begin(), r.end());
    EXPECT_EQ(sorter.Error(), "");
    *runs = sorter.RunsWritten();
    return out;
}

TEST(ExternalSorter, SpilledRunsMergeInOrderWithEqualRecordsAsTheyCame) {
    // 2,000 records of 16 keys, so every key has many equal records; each carries its place.
    std::mt19937 random(7);
    std::vector<Bytes> input;
    for (std::uint32_t i = 0; i < 2000; ++i) {
        Bytes r = {std::uint8_t(random() % 16), std::uint8_t(i), std::uint8_t(i >> 8)};
        r.resize(3 + random() % 40, std::uint8_t(i)); // records of different lengths
        input.push_back(r);
    }
    std::vector<Bytes> expected = input;
    std::stable_sort(expected.begin(), expected.end(),
                     [](const Bytes& a, const Bytes& b) { return a[0] < b[0]; });
    struct Case {
        CExternalSorter::Limits limits;
        bool spills;
    } cases[] = {
        {{std::size_t(1) << 20, 4096}, false}, // all in memory
        {{4096, 1024}, true},                  // a few runs, merged at once
        {{300, 16}, true},                     // hundreds of runs, merged in several rounds
    };
    for (const Case& c : cases) {
        std::size_t runs = 0;
        const std::vector<Bytes> out = SortAll(input, c.limits, &runs);
        EXPECT_EQ(out, expected) << c.limits.budget;
        EXPECT_EQ(runs > 0, c.spills) << c.limits.budget;
        if (c.limits.budget == 300) {
            EXPECT_GT(runs, 200u); // the rounds of merging wrote runs of their own
        }
    }
}

TEST(ExternalSorter, NoInputGivesNoRecords) {
    for (std::size_t budget : {std::size_t(0), std::size_t(1) << 20}) {
        CExternalSorter sorter(ByFirstByte, {budget, 64});
        EXPECT_TRUE(sorter.Finish());
        CExternalSorter::Record r;
        EXPECT_FALSE(sorter.Next(&r));
        EXPECT_EQ(sorter.Error(), "");
        EXPECT_EQ(sorter.RunsWritten(), 0u);
    }
}

TEST(ExternalSorter, RecordsLongerThanTheBudgetAndTheReadBlock) {
    // Each record alone is over the budget, and most are longer than a read of a run.
    std::vector<Bytes> input;
    for (int i = 0; i < 12; ++i) {
        Bytes r(std::size_t(50 + 97 * i), std::uint8_t('a' + i));
        r[0] = std::uint8_t((i * 5) % 4);
        input.push_back(r);
    }
    input.push_back(Bytes{2}); // a short one between them
    std::vector<Bytes> expected = input;
    std::stable_sort(expected.begin(), expected.end(),
                     [](const Bytes& a, const Bytes& b) { return a[0] < b[0]; });
    std::size_t runs = 0;
    EXPECT_EQ(SortAll(input, {32, 128}, &runs), expected);
    EXPECT_GE(runs, input.size()); // one run a record, then the merges
}

} // namespace
