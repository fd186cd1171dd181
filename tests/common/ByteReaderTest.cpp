// The bounded byte reader: what a read past the end gives, and the bounds of sub-readers.
#include <gtest/gtest.h>

#include <cstdint>
#include <string_view>

#include "common/ByteReader.h"

namespace {

const std::uint8_t kBytes[] = {0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08,
                               0x09, 0x0A, 0x0B, 0x0C, 0x0D, 0x0E, 0x0F, 0x10};

TEST(ByteReader, ReadsLittleEndianByWidth) {
    ByteReader r(kBytes, sizeof kBytes);
    EXPECT_EQ(r.u8(), 0x01);
    EXPECT_EQ(r.u16le(), 0x0302);
    EXPECT_EQ(r.u32le(), 0x07060504u);
    EXPECT_EQ(r.u64le(), 0x0F0E0D0C0B0A0908ull);
    EXPECT_EQ(r.Offset(), 15u);
    EXPECT_EQ(r.Remaining(), 1u);
    EXPECT_EQ(r.Rest(), kBytes + 15);
    EXPECT_FALSE(r.Short());

    const std::uint8_t one[] = {0, 0, 0, 0, 0, 0, 0xF0, 0x3F, 'a', 'b', 'c'};
    ByteReader d(one, sizeof one);
    EXPECT_EQ(d.f64le(), 1.0);
    EXPECT_EQ(d.text(2), "ab");
    EXPECT_EQ(d.bytes(1), one + 10);
    EXPECT_TRUE(d.skip(0));
    EXPECT_EQ(d.Remaining(), 0u);
    EXPECT_FALSE(d.Short());
}

// A read that does not fit takes nothing: the position stays at it, so the bytes from there on
// are still the rest to show, and every later read gives zero even where bytes remain.
TEST(ByteReader, ShortReadKeepsPositionAndSpoilsLaterReads) {
    struct Case {
        const char* what;
        std::size_t width;
        void (*read)(ByteReader&);
    } cases[] = {
        {"u16le", 2, [](ByteReader& r) { EXPECT_EQ(r.u16le(), 0); }},
        {"u32le", 4, [](ByteReader& r) { EXPECT_EQ(r.u32le(), 0u); }},
        {"u64le", 8, [](ByteReader& r) { EXPECT_EQ(r.u64le(), 0u); }},
        {"f64le", 8, [](ByteReader& r) { EXPECT_EQ(r.f64le(), 0.0); }},
        {"bytes", 9, [](ByteReader& r) { EXPECT_EQ(r.bytes(9), nullptr); }},
        {"text", 9, [](ByteReader& r) { EXPECT_EQ(r.text(9), std::string_view()); }},
        {"skip", 9, [](ByteReader& r) { EXPECT_FALSE(r.skip(9)); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        // After a one-byte read, one byte less than the read needs.
        ByteReader r(kBytes, c.width);
        ASSERT_EQ(r.u8(), 0x01);
        c.read(r);
        EXPECT_TRUE(r.Short());
        EXPECT_EQ(r.Offset(), 1u);
        EXPECT_EQ(r.Remaining(), c.width - 1);
        EXPECT_EQ(r.Rest(), kBytes + 1);
        EXPECT_EQ(r.u8(), 0);
        EXPECT_EQ(r.bytes(0), nullptr);
        EXPECT_FALSE(r.Has(0));
        EXPECT_FALSE(r.skip(0));
        EXPECT_EQ(r.Offset(), 1u);
    }
}

TEST(ByteReader, HasCountsWhatIsLeft) {
    ByteReader r(kBytes, 5);
    r.u8();
    EXPECT_TRUE(r.Has(4));
    EXPECT_FALSE(r.Has(5));
    // A length from the data near the top of the range must not wrap the check.
    EXPECT_FALSE(r.Has(SIZE_MAX));
    EXPECT_EQ(r.bytes(SIZE_MAX), nullptr);
    EXPECT_TRUE(r.Short());
    EXPECT_EQ(r.Offset(), 1u);
}

TEST(ByteReader, NoDataReadsAsEmpty) {
    ByteReader none(nullptr, 10);
    EXPECT_EQ(none.Size(), 0u);
    EXPECT_EQ(none.Remaining(), 0u);
    EXPECT_EQ(none.Rest(), nullptr);
    EXPECT_EQ(none.u8(), 0);
    EXPECT_TRUE(none.Short());
    ByteReader empty;
    EXPECT_TRUE(empty.Has(0));
    EXPECT_EQ(empty.text(0), std::string_view());
    EXPECT_FALSE(empty.Short());
}

// Sub(n) is exactly the next n bytes: it cannot read on into its parent's later bytes, and the
// parent goes on after them.
TEST(ByteReader, SubCoversExactlyItsSpan) {
    ByteReader r(kBytes, sizeof kBytes);
    r.u8();
    ByteReader s = r.Sub(3);
    EXPECT_EQ(r.Offset(), 4u);
    EXPECT_FALSE(r.Short());
    EXPECT_EQ(s.Size(), 3u);
    EXPECT_EQ(s.Rest(), kBytes + 1);
    EXPECT_EQ(s.u16le(), 0x0302);
    EXPECT_EQ(s.u16le(), 0); // one byte of it left, the parent's next byte not reachable
    EXPECT_TRUE(s.Short());
    EXPECT_EQ(s.Remaining(), 1u);
    EXPECT_FALSE(r.Short()); // the sub-reader's shortness stays its own
    EXPECT_EQ(r.u8(), 0x05);

    ByteReader none = r.Sub(0);
    EXPECT_EQ(none.Size(), 0u);
    EXPECT_FALSE(none.Short());
    EXPECT_EQ(r.Offset(), 5u);
}

// When fewer than n bytes remain, the parent goes short where it was and the sub-reader covers
// what is left (to be shown as remaining data) but reads nothing.
TEST(ByteReader, SubPastTheEndIsShortOnBothSides) {
    ByteReader r(kBytes, 6);
    r.u16le();
    ByteReader s = r.Sub(5);
    EXPECT_TRUE(r.Short());
    EXPECT_EQ(r.Offset(), 2u);
    EXPECT_EQ(r.Remaining(), 4u);
    EXPECT_TRUE(s.Short());
    EXPECT_EQ(s.Size(), 4u);
    EXPECT_EQ(s.Rest(), kBytes + 2);
    EXPECT_EQ(s.u8(), 0);
    EXPECT_EQ(r.u8(), 0);
}

// At(offset) is measured from the start of the reader's own span, not from its position, and
// consumes nothing. The end of the span is a valid, empty place; past it is short.
TEST(ByteReader, AtMeasuresFromTheSpanStart) {
    ByteReader r(kBytes + 2, 6); // 03 .. 08
    r.u32le();
    ByteReader a = r.At(1);
    EXPECT_EQ(r.Offset(), 4u);
    EXPECT_EQ(a.Size(), 5u);
    EXPECT_EQ(a.u8(), 0x04);
    EXPECT_EQ(r.At(4).u16le(), 0x0807);
    EXPECT_EQ(r.At(5).u16le(), 0); // one byte left there
    ByteReader end = r.At(6);
    EXPECT_EQ(end.Remaining(), 0u);
    EXPECT_FALSE(end.Short());
    ByteReader past = r.At(7);
    EXPECT_TRUE(past.Short());
    EXPECT_EQ(past.Size(), 0u);
    EXPECT_EQ(past.u8(), 0);
    EXPECT_FALSE(r.Short());

    // At of a sub-reader stays inside the sub-reader.
    ByteReader whole(kBytes, sizeof kBytes);
    ByteReader s = whole.Sub(4);
    EXPECT_EQ(s.At(2).u16le(), 0x0403);
    EXPECT_EQ(s.At(3).u16le(), 0);
    EXPECT_TRUE(s.At(5).Short());
}

// Once a reader is short, whatever is cut from it is short too, so a decoder that tests Short()
// after a nested structure sees the failure of any read before it.
TEST(ByteReader, ShortnessPassesToSubReaders) {
    ByteReader r(kBytes, sizeof kBytes);
    r.bytes(sizeof kBytes + 1);
    ASSERT_TRUE(r.Short());
    ByteReader s = r.Sub(2);
    EXPECT_TRUE(s.Short());
    EXPECT_EQ(s.u8(), 0);
    EXPECT_EQ(r.Offset(), 0u);
    ByteReader a = r.At(0);
    EXPECT_TRUE(a.Short());
    EXPECT_EQ(a.u8(), 0);
    EXPECT_TRUE(r.Sub(0).Short());
}

} // namespace
