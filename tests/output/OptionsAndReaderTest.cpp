// The display switches in the settings, and the bounded byte reader.
#include <gtest/gtest.h>

#include "WriterTestSupport.h"
#include "common/MemorySettings.h"
#include "output/ByteReader.h"

namespace {

const char* const kKeys[] = {"ShowEmptyStrings",   "ShowComments",  "ShowSpareBytes",
                             "ShowUninterpreted",  "ShowSymbols",   "ShowConvertFromKMBCS",
                             "ShowDisplayHighBit", "ShowDateOption"};

TEST(Options, LoadKeepsDefaultsForMissingKeys) {
    CMemorySettings settings;
    settings.SetText("[info pane]\nShowSymbols=0\nShowDateOption=2\n[Other]\nShowComments=0\n");
    CInfoPaneOptions loaded;
    loaded.Load(settings);
    CInfoPaneOptions expected;
    expected.ShowSymbols = 0;
    expected.ShowDateOption = 2;
    EXPECT_EQ(loaded, expected);
}

TEST(Options, SaveWritesEveryKeyInOrderAndStopsAtTheFirstFailure) {
    CInfoPaneOptions options;
    options.ShowSpareBytes = 1;
    CMemorySettings settings;
    ASSERT_TRUE(options.Save(settings));
    const std::vector<std::string> keys = settings.Keys("Info Pane");
    ASSERT_EQ(keys.size(), 8u);
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(keys[i], kKeys[i]);
    CInfoPaneOptions back;
    back.Load(settings);
    EXPECT_EQ(back, options);

    CMemorySettings failing;
    failing.FailWritesAfter(3);
    EXPECT_FALSE(options.Save(failing));
    EXPECT_EQ(failing.WriteCount(), 3u);
    EXPECT_EQ(failing.Keys("Info Pane").size(), 3u);
}

TEST(Options, WriterWithoutOptionsUsesDefaults) {
    CStringWriter w;
    EXPECT_EQ(w.Options(), CInfoPaneOptions{});
    EXPECT_EQ(w.Options().ShowSymbols, 1);
    EXPECT_EQ(w.Options().ShowComments, 1);
    CInfoPaneOptions mine;
    CStringWriter borrowing(&mine);
    EXPECT_EQ(&borrowing.Options(), &mine);
}

TEST(ByteReader, ReadsLittleEndianAndStopsShort) {
    const std::uint8_t bytes[] = {0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08, 0x09, 0x0A, 0x0B};
    ByteReader r(bytes, sizeof bytes);
    EXPECT_EQ(r.u8(), 0x01);
    EXPECT_EQ(r.u16le(), 0x0302);
    EXPECT_EQ(r.u32le(), 0x07060504u);
    EXPECT_FALSE(r.Short());
    EXPECT_EQ(r.Remaining(), 4u);
    // Too long: nothing consumed, zero returned, and every later read is zero too.
    EXPECT_EQ(r.TimeDate(), store::TimeDate{});
    EXPECT_TRUE(r.Short());
    EXPECT_EQ(r.Offset(), 7u);
    EXPECT_EQ(r.u8(), 0);
    EXPECT_EQ(r.Rest(), bytes + 7);
    EXPECT_EQ(r.Bytes(1), nullptr);
}

TEST(ByteReader, WideValues) {
    const std::uint8_t bytes[] = {0,    0,    0,    0,    0,    0,    0xF0, 0x3F,
                                  0x44, 0x33, 0x22, 0x11, 0x88, 0x77, 0x66, 0x55};
    ByteReader r(bytes, sizeof bytes);
    EXPECT_EQ(r.f64le(), 1.0);
    const store::TimeDate t = r.TimeDate();
    EXPECT_EQ(t.w[0], 0x11223344u);
    EXPECT_EQ(t.w[1], 0x55667788u);
    EXPECT_FALSE(r.Short());
    EXPECT_TRUE(r.Skip(0));
    ByteReader none(nullptr, 10);
    EXPECT_EQ(none.Size(), 0u);
    EXPECT_EQ(none.u64le(), 0u);
    EXPECT_TRUE(none.Short());
}

} // namespace
