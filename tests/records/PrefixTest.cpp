// Every prefix of every sample record decodes within its bytes, says that it is short, and
// shows the bytes no field explains as remaining data.
#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <sstream>

#include "RecordSamples.h"
#include "RecordTestSupport.h"
#include "ShownRecord.h"

namespace {

std::string Hex(const RecordBytes& bytes, std::size_t from) {
    static const char digits[] = "0123456789ABCDEF";
    std::string out;
    for (std::size_t i = from; i < bytes.size(); ++i) {
        out += digits[bytes[i] >> 4];
        out += digits[bytes[i] & 15];
    }
    return out;
}

void DumpAll(const RecordBytes& stream, std::uint16_t kind) {
    WalkedStream w = Walk(stream, kind);
    for (TNCdRecord* r : w.Records()) {
        const std::string text = Dump(*r);
        // A record cut by the end of the stream says so; a whole one says nothing of the kind.
        ASSERT_EQ(r->Span().cutShort, ShownRecord(text).saysShort) << text;
    }
}

// The one record of a stream of exactly `n` bytes of it (on the heap, so that a sanitizer
// catches any read past them), as its dump shows it.
ShownRecord DumpPrefix(const std::uint8_t* record, std::size_t n, std::uint16_t kind) {
    RecordBytes one = {std::uint8_t(kind), 0};
    one.insert(one.end(), record, record + n);
    auto heap = std::make_unique<std::uint8_t[]>(one.size());
    std::copy(one.begin(), one.end(), heap.get());
    WalkedStream w = Walk(heap.get(), one.size(), kind);
    const auto records = w.Records();
    EXPECT_EQ(records.size(), n == 0 ? 0u : 1u);
    return records.empty() ? ShownRecord("") : ShownRecord(Dump(*records[0]));
}

TEST(RecordPrefixes, EveryPrefixOfEveryRecordInEveryKind) {
    for (const SampleStream& s : SampleStreams()) {
        const RecordBytes& stream = s.records.Stream();
        const WalkedStream walked = Walk(stream);
        const auto records = walked.Records();
        for (std::size_t i = 0; i < records.size(); ++i) {
            const std::uint8_t* record = records[i]->Span().record;
            const std::size_t size = records[i]->Length();
            const std::size_t header = records[i]->Span().headerSize;
            for (std::uint16_t kind : {1, 19, 15, 16, 18}) {
                const ShownRecord whole = DumpPrefix(record, size, kind);
                ASSERT_FALSE(whole.saysShort) << whole.text;
                ShownRecord before("");
                for (std::size_t n = 1; n < size; ++n) {
                    const ShownRecord cut = DumpPrefix(record, n, kind);
                    const std::string where = s.item + " record " + std::to_string(i) + " kind " +
                                              std::to_string(kind) + " cut to " +
                                              std::to_string(n) + ":\n" + cut.text;
                    ASSERT_TRUE(cut.saysShort) << where;
                    // Remaining data is the tail of what is there.
                    ASSERT_LE(cut.remaining.size(), n) << where;
                    ASSERT_TRUE(std::equal(cut.remaining.begin(), cut.remaining.end(),
                                           record + (n - cut.remaining.size())))
                        << where;
                    // A field that the whole record shows otherwise was cut, and says so
                    // (once the header is there: a cut header makes another record).
                    for (std::size_t f = 0; f < cut.fields.size() && n >= header; ++f) {
                        ASSERT_TRUE(whole.HasField(cut.fields[f]) || cut.SaysShortAt(f))
                            << where << "\nfield: " << cut.fields[f];
                    }
                    // A byte that changes no field is not lost: it is one more byte of
                    // remaining data, unless it completes the room of a text, which then
                    // explains the bytes after the text too. Cut values take every byte
                    // (and one cut a byte before may be completed by this one).
                    if (n > 1 && cut.fields == before.fields && cut.valuesSayShort == 0 &&
                        before.valuesSayShort == 0) {
                        const bool roomDone = cut.remaining.empty() && !before.remaining.empty();
                        ASSERT_TRUE(roomDone || cut.remaining.size() == before.remaining.size() + 1)
                            << where << "\nremaining data before: " << before.remaining.size();
                    }
                    before = cut;
                }
            }
        }
        // Every prefix of the whole stream.
        for (std::size_t n = 0; n <= stream.size(); ++n)
            DumpAll(RecordBytes(stream.begin(), stream.begin() + long(n)), 1);
    }
}

TEST(RecordPrefixes, SampleDatabaseHoldsTheSampleStreams) {
    std::ifstream in(std::string(DELVEX_SAMPLES_SOURCE_DIR) + "/data/richtext.vlt.json");
    ASSERT_TRUE(in) << "richtext.vlt.json";
    std::stringstream text;
    text << in.rdbuf();
    const std::string json = text.str();
    for (const SampleStream& s : SampleStreams()) {
        const std::string key = "\"name\": \"" + s.item + "\", \"type\": 1, \"raw\": \"";
        const std::size_t at = json.find(key);
        ASSERT_NE(at, std::string::npos) << s.item;
        const std::size_t from = at + key.size();
        EXPECT_EQ(json.substr(from, json.find('"', from) - from), Hex(s.records.Stream(), 2))
            << s.item;
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
