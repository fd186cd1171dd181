// Times, identifiers and the values built of stored bytes, whole and cut short.
#include <gtest/gtest.h>

#include <array>

#include "WriterTestSupport.h"
#include "store/api/Formula.h"
#include "support/ItemValueEncoder.h"

namespace {

const store::TimeDate kFile{{0x5E7D8044u, 0x05B9CBF0u}};
const store::TimeDate kNote{{0x900DC02Cu, 0x05BD9C6Au}};

std::string Time(const store::TimeDate& t) {
    return "<" + StoreTimeText(t) + ">";
}

TEST(TimeId, ZeroAndNot) {
    EXPECT_EQ(DumpOf([](CFieldWriter& w) { w.TimeIdField("id", store::TimeDate{}, true); }),
              "\n(id 0)\n");
    EXPECT_EQ(DumpOf([](CFieldWriter& w) { w.TimeIdField("id", kFile, false); }),
              "\n(id 05B9CBF0:5E7D8044)\n");
    EXPECT_EQ(DumpOf([](CFieldWriter& w) { w.TimeIdField("id", kFile, true); }),
              "\n(id 05B9CBF0:5E7D8044)    ; " + Time(kFile) + "\n");
    // Inside a comment only the raw form is written.
    EXPECT_EQ(StringOf([](CFieldWriter& w) {
                  w.BeginComment();
                  w.TimeId(kFile, true);
                  w.EndComment();
              }),
              "05B9CBF0:5E7D8044");
}

TEST(Time, DateOptions) {
    CInfoPaneOptions options;
    options.ShowDateOption = 1;
    EXPECT_EQ(DumpOf([](CFieldWriter& w) { w.TimeField("t", kFile); }, &options),
              "\n(t <" + StoreTimeText(kFile, true) + ">)    ; " + RawTime(kFile) + "\n");

    // GMT: the same instant re-expressed in zone 0, then the local form as a comment.
    options.ShowDateOption = 2;
    store::TimeParts parts;
    store::TimeDate gmt = kFile;
    const bool converted = store::SplitTime(kFile, &parts) == store::kNoError &&
                           store::AssembleTime(parts, &gmt) == store::kNoError;
    const std::string out = DumpOf([](CFieldWriter& w) { w.TimeField("t", kFile); }, &options);
    if (converted)
        EXPECT_EQ(out, "\n(t <" + StoreTimeText(gmt, true) + ">)    ; <" +
                           StoreTimeText(kFile, true) + "> " + RawTime(kFile) + "\n");
    else
        EXPECT_EQ(out.find("Couldn't convert time to text"), 5u) << out;
}

// Identifiers and time ranges built of stored bytes: file and note stamps, a sequence number,
// a note id, and a link whose view is zero.
TEST(Identifiers, FromStoredBytes) {
    using itemenc::Sink;
    const itemenc::Bytes zeros(40, 0);
    const itemenc::Bytes stamps = Sink().time(kFile).time(kNote).get();
    const struct {
        Describe write;
        std::string expected;
    } cases[] = {
        {[&](CFieldWriter& w) { w.TimeRangeField("r", stamps.data(), 16); },
         "\n(r " + Time(kFile) + " - " + Time(kNote) + ")    ; " + RawTime(kFile) + " " +
             RawTime(kNote) + "\n"},
        {[&](CFieldWriter& w) {
             w.UnidField("u", zeros.data(), 16);
             w.SequencedUnidField("s", zeros.data(), 28);
             w.DbNoteIdField("d", zeros.data(), 20);
             w.NoteLinkField("l", zeros.data(), 40);
         },
         "\n(u 0)\n(s 0)\n(d 0)\n(l 0)\n"},
        {[&](CFieldWriter& w) { w.UnidField("unid", stamps.data(), 16); },
         "\n(unid \n    (file 05B9CBF0:5E7D8044)\n    (note 05BD9C6A:900DC02C))    ; " +
             Time(kNote) + "\n"},
        {[&](CFieldWriter& w) {
             const auto b = Sink().bytes(stamps).u32(7).time(kFile).get();
             w.SequencedUnidField("oid", b.data(), 28);
         },
         "\n(oid \n    (file 05B9CBF0:5E7D8044)\n    (note " + Time(kNote) + ")    ; " +
             RawTime(kNote) + " (date of creation)\n    (sequence " + StoreNumberText(7) +
             ")\n    (sequence-time " + Time(kFile) + "))    ; " + RawTime(kFile) +
             " (date of revision)\n"},
        {[&](CFieldWriter& w) {
             const auto b = Sink().bytes(stamps).u32(0x2106).get();
             w.DbNoteIdField("db", b.data(), 20);
         },
         "\n(db \n    (file 05B9CBF0:5E7D8044)    ; " + Time(kFile) +
             " (date of db creation)\n    (note " + Time(kNote) + ")    ; " + RawTime(kNote) +
             " (date of modification)\n    (note-id 0x2106))\n"},
        {[&](CFieldWriter& w) {
             const auto b = Sink().time(kFile).fill(16).time(kFile).time(kNote).get();
             w.NoteLinkField("link", b.data(), 40);
         },
         "\n(link \n    (db-replica-id 05B9CBF0:5E7D8044)    ; " + Time(kFile) +
             "\n    (view-unid 0)\n    (note-unid \n        (file 05B9CBF0:5E7D8044)\n"
             "        (note 05BD9C6A:900DC02C)))    ; " +
             Time(kNote) + "\n"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(DumpOf(c.write), c.expected);
}

// Every formatter of stored bytes given every prefix of a full value: it reads nothing past
// the prefix (the copies are exactly as long, for the address sanitizer) and says it is short.
TEST(Truncation, EveryPrefixEndsInTheShortComment) {
    std::array<std::uint8_t, 40> full{};
    for (std::size_t i = 0; i < full.size(); ++i)
        full[i] = std::uint8_t(0x81 + i);
    struct Formatter {
        const char* name;
        std::size_t size;
        void (CFieldWriter::*field)(std::string_view, const void*, std::size_t);
    };
    const Formatter formatters[] = {
        {"time range", 16, &CFieldWriter::TimeRangeField},
        {"unid", 16, &CFieldWriter::UnidField},
        {"sequenced unid", 28, &CFieldWriter::SequencedUnidField},
        {"db note id", 20, &CFieldWriter::DbNoteIdField},
        {"note link", 40, &CFieldWriter::NoteLinkField},
        {"number format", 4, &CFieldWriter::NumberFormatField},
        {"time format", 4, &CFieldWriter::TimeFormatField},
    };
    for (const Formatter& f : formatters) {
        for (std::size_t n = 0; n <= f.size; ++n) {
            const ExactBytes bytes(full.data(), n);
            const std::string out =
                DumpOf([&](CFieldWriter& w) { (w.*f.field)("value", bytes.data(), bytes.size()); });
            const bool short_ = out.find("*** Length is too short") != std::string::npos;
            EXPECT_EQ(short_, n < f.size) << f.name << " of " << n << " bytes:" << out;
            EXPECT_EQ(out.substr(0, 7), "\n(value") << f.name << " of " << n;
        }
    }
}

TEST(Truncation, ZeroPrefixesAreNotMistakenForZeroIdentifiers) {
    const std::uint8_t zeros[40] = {};
    const ExactBytes bytes(zeros, 10);
    EXPECT_EQ(DumpOf([&](CFieldWriter& w) { w.UnidField("u", bytes.data(), bytes.size()); }),
              "\n(u \n    (file 0))    ; *** Length is too short\n");
}

TEST(TextList, SizeAndShortLists) {
    // Two entries, "ab" and "", then a byte that is not part of the list.
    const std::uint8_t list[] = {2, 0, 2, 0, 0, 0, 'a', 'b', 0xEE};
    std::size_t size = 0;
    const std::string out =
        DumpOf([&](CFieldWriter& w) { size = w.TextListField("list", list, sizeof list); });
    EXPECT_EQ(size, 8u);
    EXPECT_EQ(out.find("*** Length is too short"), std::string::npos) << out;

    for (std::size_t n = 0; n < 8; ++n) {
        const ExactBytes bytes(list, n);
        std::size_t covered = 0;
        const std::string cut =
            DumpOf([&](CFieldWriter& w) { covered = w.TextListField("list", bytes.data(), n); });
        EXPECT_LE(covered, n) << n;
        EXPECT_NE(cut.find("*** Length is too short"), std::string::npos) << n << cut;
    }
    // A count far beyond the bytes present covers only what is there.
    const std::uint8_t huge[] = {0xFF, 0xFF, 1, 0};
    const ExactBytes bytes(huge, sizeof huge);
    std::size_t covered = 0;
    DumpOf([&](CFieldWriter& w) { covered = w.TextList(bytes.data(), bytes.size()); });
    EXPECT_EQ(covered, sizeof huge);
}

TEST(TextList, EntriesComeFromTheStore) {
    const std::uint8_t list[] = {2, 0, 2, 0, 1, 0, 'a', 'b', 'c'};
    std::string expected = "\n(list \n    ";
    for (std::uint16_t i = 0; i < 2; ++i) {
        const char* text = nullptr;
        std::uint16_t length = 0;
        const store::Status status = store::TextListEntry(list, sizeof list, i, &text, &length);
        if (status == store::kNoError) {
            expected += "\"" + std::string(text, length) + "\"";
        } else {
            char format[40];
            std::snprintf(format, sizeof format, "Couldn't read text list entry %u", unsigned(i));
            expected += "\"" + StatusText(status, format) + "\"";
        }
        expected += "\n    ";
    }
    expected += ")\n";
    EXPECT_EQ(DumpOf([&](CFieldWriter& w) { w.TextListField("list", list, sizeof list); }),
              expected);
}

TEST(Formula, EmptyAndStoreResult) {
    EXPECT_EQ(StringOf([](CFieldWriter& w) { w.Formula(nullptr, 0); }), "{}");
    const std::uint8_t bytes[] = {1, 2, 3, 4};
    store::MemHandle text = 0;
    std::size_t length = 0;
    const store::Status status = store::FormulaDecompile(bytes, sizeof bytes, &text, &length);
    std::string expected;
    if (status == store::kNoError) {
        store::LockedMem locked(text);
        expected = "{" + std::string(reinterpret_cast<const char*>(locked.bytes()), length) + "}";
    } else {
        // Written as an ordinary text, so a long message wraps like any other.
        const std::string message = StatusText(status, "Couldn't decompile formula");
        expected = StringOf([&](CFieldWriter& w) { w.Text(message.c_str(), -1, '"', '"'); });
    }
    if (text)
        store::MemFree(text);
    EXPECT_EQ(StringOf([&](CFieldWriter& w) { w.Formula(bytes, sizeof bytes); }), expected);
}

} // namespace
