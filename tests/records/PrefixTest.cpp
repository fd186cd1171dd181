// Every prefix of every sample record decodes within its bytes, says that it is short, and
// shows the bytes no field explains as remaining data.
#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <sstream>

#include "EveryCut.h"
#include "RecordSamples.h"
#include "RecordTestSupport.h"
#include "ShownRecord.h"

namespace {

void DumpAll(const RecordBytes& stream, std::uint16_t kind) {
    WalkedStream w = Walk(stream, kind);
    for (TNCdRecord* r : w.Records()) {
        const std::string text = Dump(*r);
        // A record cut by the end of the stream says so; a whole one says nothing of the kind.
        ASSERT_EQ(r->Span().cutShort, ShownRecord(text).saysShort) << text;
    }
}

TEST(RecordPrefixes, EveryPrefixOfEveryRecordInEveryKind) {
    for (const SampleStream& s : SampleStreams()) {
        const RecordBytes& stream = s.records.Stream();
        // Query and action records give the same bytes other meanings, whose lengths may
        // claim more than a rich-text record holds: their own samples are cut in their tests.
        ExpectEveryCutSaysShort(s.item, stream, 1, {1, 19, 18});
        // Every prefix of the whole stream.
        for (std::size_t n = 0; n <= stream.size(); ++n)
            DumpAll(RecordBytes(stream.begin(), stream.begin() + long(n)), 1);
    }
}

TEST(RecordPrefixes, SamplesHoldEveryParagraphAndTextRecord) {
    std::set<std::uint16_t> seen;
    for (const SampleStream& s : SampleStreams()) {
        WalkedStream w = Walk(s.records.Stream());
        for (TNCdRecord* r : w.Records()) {
            seen.insert(r->Signature());
            EXPECT_FALSE(Dump(*r).find("remaining-data") != std::string::npos &&
                         r->Signature() != 0xFF8F)
                << Dump(*r);
        }
    }
    for (std::uint16_t sig : {0x81, 0xFF82, 0x83, 0xBC, 0xFFBB, 0xFF85, 0xFFC3, 0xFF8E, 0xA6,
                              0xFF8B, 0xFF84, 0xFF8A, 0xFFB0, 0xFF8F, 0x86, 0xFF92, 0xFF91})
        EXPECT_TRUE(seen.count(sig)) << std::hex << sig;
}

} // namespace
