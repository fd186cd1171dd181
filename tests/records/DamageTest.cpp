// Damaged streams: the sample streams with random bytes changed and cut, walked as every kind
// of stream. Nothing may read outside the bytes given (run under the sanitizers), a record cut
// by the end of the stream says that it is short, and the remaining data of every record is
// its own last bytes.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "RecordSamples.h"
#include "RecordTestSupport.h"
#include "ShownRecord.h"

namespace {

TEST(RecordDamage, RandomlyDamagedSamplesDecodeSafely) {
    std::mt19937 random(20261206);
    const auto samples = SampleStreams();
    for (int round = 0; round < 3000; ++round) {
        RecordBytes bytes = samples[std::size_t(round) % samples.size()].records.Stream();
        const int changes = 1 + int(random() % 8);
        for (int i = 0; i < changes; ++i)
            bytes[2 + random() % (bytes.size() - 2)] = std::uint8_t(random());
        bytes.resize(2 + random() % (bytes.size() - 1));
        const std::uint16_t kinds[] = {1, 15, 16, 18, 19};
        const std::uint16_t kind = kinds[random() % 5];
        auto heap = std::make_unique<std::uint8_t[]>(bytes.size());
        std::copy(bytes.begin(), bytes.end(), heap.get());
        WalkedStream w = Walk(heap.get(), bytes.size(), kind);
        const auto records = w.Records();
        for (std::size_t i = 0; i < records.size(); ++i) {
            const RecordSpan& span = records[i]->Span();
            const ShownRecord shown(Dump(*records[i]));
            const std::string where = "round " + std::to_string(round) + " record " +
                                      std::to_string(i) + ":\n" + shown.text;
            ASSERT_LE(span.record + span.Size(), heap.get() + bytes.size()) << where;
            // Only the last record can be cut, and it says so.
            ASSERT_EQ(span.cutShort, i + 1 == records.size() && span.cutShort) << where;
            if (span.cutShort) {
                ASSERT_TRUE(shown.saysShort) << where;
            }
            ASSERT_LE(shown.remaining.size(), span.Size()) << where;
            ASSERT_TRUE(std::equal(shown.remaining.begin(), shown.remaining.end(),
                                   span.record + span.Size() - shown.remaining.size()))
                << where;
        }
    }
}

} // namespace
