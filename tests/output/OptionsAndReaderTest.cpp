// The display switches in the settings, and reading a time stamp.
#include <gtest/gtest.h>

#include "WriterTestSupport.h"
#include "common/MemorySettings.h"
#include "store/api/Time.h"

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

// A stamp is read whole or not at all: a zero stamp and the reader still at it when short.
TEST(ByteReader, ReadTimeDateTakesAllEightBytesOrNone) {
    const std::uint8_t bytes[] = {0x44, 0x33, 0x22, 0x11, 0x88, 0x77, 0x66, 0x55, 1, 2, 3, 4};
    ByteReader r(bytes, sizeof bytes);
    const store::TimeDate t = store::ReadTimeDate(r);
    EXPECT_EQ(t.w[0], 0x11223344u);
    EXPECT_EQ(t.w[1], 0x55667788u);
    EXPECT_FALSE(r.Short());
    EXPECT_EQ(store::ReadTimeDate(r), store::TimeDate{});
    EXPECT_TRUE(r.Short());
    EXPECT_EQ(r.Offset(), 8u);
    EXPECT_EQ(r.Rest(), bytes + 8);
}

} // namespace
