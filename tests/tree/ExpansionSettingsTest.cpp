#include <gtest/gtest.h>

#include "common/MemorySettings.h"
#include "tree/ExpansionSets.h"
#include "tree/ExpansionSettings.h"

namespace {

struct ExpansionSettingsTest : ::testing::Test {
    void TearDown() override { expansion::ResetToDefaults(); }
};

TEST_F(ExpansionSettingsTest, PresentKeysReplaceDefaultsAndEmptyOnesKeepThem) {
    CMemorySettings s;
    s.WriteString("ExpandLots", "Expand_g", "gA"); // type 18: itself and 14
    s.WriteString("ExpandLots", "Expand_E", "");   // type 16: keeps its default
    expansion::LoadSettings(s);
    EXPECT_EQ(expansion::SetFor(18), (CTypeSet{18, 14}));
    EXPECT_EQ(expansion::SetFor(16), expansion::DefaultFor(16));
    EXPECT_EQ(expansion::SetFor(9), expansion::DefaultFor(9));
}

TEST_F(ExpansionSettingsTest, TheStarKeySetsAllSevenStarTypes) {
    CMemorySettings s;
    s.WriteString("expandlots", "EXPAND_*", "S");
    expansion::LoadSettings(s);
    for (unsigned t : {0u, 4u, 6u, 11u, 36u, 37u, 42u}) {
        EXPECT_EQ(expansion::SetFor(t), CTypeSet{5}) << t;
    }
    EXPECT_EQ(expansion::SetFor(5), expansion::DefaultFor(5));
}

TEST_F(ExpansionSettingsTest, LoadingAgainStartsFromTheDefaults) {
    CMemorySettings s;
    s.WriteString("ExpandLots", "Expand_g", "g");
    expansion::LoadSettings(s);
    expansion::LoadSettings(CMemorySettings());
    EXPECT_EQ(expansion::SetFor(18), expansion::DefaultFor(18));
}

} // namespace
