// Damaged streams: the sample streams with random bytes changed, cut and stretched, walked as
// every kind of stream. Nothing may read outside the bytes given (run under the sanitizers).
#include <gtest/gtest.h>

#include <random>

#include "RecordSamples.h"
#include "RecordTestSupport.h"

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
        for (TNCdRecord* r : w.Records()) {
            ASSERT_LE(r->Span().Size(), bytes.size());
            ASSERT_FALSE(Dump(*r).empty());
        }
    }
}

} // namespace
