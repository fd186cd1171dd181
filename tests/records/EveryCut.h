// Every cut of a record: each prefix of it decodes within its bytes, says that it is short,
// and shows the bytes no field explains as remaining data.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "RecordTestSupport.h"
#include "ShownRecord.h"

// The one record of a stream of exactly `n` bytes of it (on the heap, so that a sanitizer
// catches any read past them), as its dump shows it.
inline ShownRecord DumpPrefix(const std::uint8_t* record, std::size_t n, std::uint16_t kind) {
    RecordBytes one = {std::uint8_t(kind), 0};
    one.insert(one.end(), record, record + n);
    auto heap = std::make_unique<std::uint8_t[]>(one.size());
    std::copy(one.begin(), one.end(), heap.get());
    WalkedStream w = Walk(heap.get(), one.size(), kind);
    const auto records = w.Records();
    EXPECT_EQ(records.size(), n == 0 ? 0u : 1u);
    return records.empty() ? ShownRecord("") : ShownRecord(Dump(*records[0]));
}

// Checks every cut of every record of `stream` (walked as `streamKind`) when walked as each of
// `kinds`. `name` says where a failure comes from.
inline void ExpectEveryCutSaysShort(const std::string& name, const RecordBytes& stream,
                                    std::uint16_t streamKind,
                                    std::initializer_list<std::uint16_t> kinds) {
    const WalkedStream walked = Walk(stream, streamKind);
    const auto records = walked.Records();
    for (std::size_t i = 0; i < records.size(); ++i) {
        const std::uint8_t* record = records[i]->Span().record;
        const std::size_t size = records[i]->Span().Size();
        const std::size_t header = records[i]->Span().headerSize;
        for (std::uint16_t kind : kinds) {
            const ShownRecord whole = DumpPrefix(record, size, kind);
            // Walked as another kind the record may be another, longer one (0xFFBB is 14
            // bytes of Pab Hide in rich text, a text box of at least 80 in a navigator).
            if (kind == streamKind) {
                ASSERT_FALSE(whole.saysShort) << whole.text;
            }
            ShownRecord before("");
            for (std::size_t n = 1; n < size; ++n) {
                const ShownRecord cut = DumpPrefix(record, n, kind);
                const std::string where = name + " record " + std::to_string(i) + " kind " +
                                          std::to_string(kind) + " cut to " + std::to_string(n) +
                                          ":\n" + cut.text;
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
}
