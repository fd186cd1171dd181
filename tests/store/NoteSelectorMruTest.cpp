#include <gtest/gtest.h>

#include "common/MemorySettings.h"
#include "store/NoteSelectorMru.h"

namespace {

constexpr const char* kSection = "Document Selector MRU";

NoteSelector Numbered(int n) {
    NoteSelector s;
    s.formula = "@Number = " + std::to_string(n);
    return s;
}

std::vector<std::string> Formulas(const NoteSelectorMru& m) {
    std::vector<std::string> out;
    for (std::size_t i = 0; i < m.Count(); ++i)
        out.push_back(m.At(i).formula);
    return out;
}

NoteSelectorMru Loaded(const CSettings& s) {
    NoteSelectorMru m;
    m.Load(s);
    return m;
}

} // namespace

TEST(NoteSelectorMru, RoundTripsThroughTheSettings) {
    CMemorySettings settings;
    NoteSelectorMru mru;
    NoteSelector odd;
    odd.formula = " spaced ; \"quoted\"\nformula ";
    odd.onlyModified = true, odd.dateOption = 0, odd.dateText = "12/25/1995";
    odd.documents = false, odd.designElements = true, odd.deletionStubs = true;
    odd.limitOn = true, odd.limit = 999999;
    ASSERT_TRUE(mru.Add(Numbered(1), settings));
    ASSERT_TRUE(mru.Add(odd, settings));
    ASSERT_TRUE(mru.Add(Numbered(3), settings));
    EXPECT_EQ(settings.GetString(kSection, "Index"), "cba");
    EXPECT_EQ(settings.GetString(kSection, "b_DateOpt"), "1;0");
    EXPECT_EQ(settings.GetString(kSection, "b_Flags"), "0;1;1");
    EXPECT_EQ(settings.GetString(kSection, "b_Limit"), "1;999999");

    const NoteSelectorMru back = Loaded(settings);
    ASSERT_EQ(back.Count(), 3u);
    EXPECT_EQ(Formulas(back), Formulas(mru));
    const NoteSelector& got = back.At(1);
    EXPECT_EQ(got, odd);
    EXPECT_EQ(got.formula, odd.formula);
    EXPECT_EQ(got.dateText, odd.dateText);
}

TEST(NoteSelectorMru, KeepsTenAndMovesRepeatsToTheFront) {
    CMemorySettings settings;
    NoteSelectorMru mru;
    for (int n = 1; n <= 10; ++n)
        ASSERT_TRUE(mru.Add(Numbered(n), settings));
    EXPECT_EQ(settings.GetString(kSection, "Index"), "jihgfedcba");

    // Equal to the fourth entry (the hidden date text does not count): no new slot, old content.
    NoteSelector again = Numbered(7);
    again.dateText = "different";
    ASSERT_TRUE(mru.Add(again, settings));
    EXPECT_EQ(mru.Count(), 10u);
    EXPECT_EQ(mru.At(0).dateText, "90 days");
    EXPECT_EQ(settings.GetString(kSection, "Index"), "gjihfedcba");

    // The eleventh distinct one takes the slot of the least recent (slot a, entry 1).
    ASSERT_TRUE(mru.Add(Numbered(11), settings));
    EXPECT_EQ(mru.Count(), 10u);
    EXPECT_EQ(settings.GetString(kSection, "Index"), "agjihfedcb");
    EXPECT_EQ(settings.GetString(kSection, "a_Formula"), "@Number = 11");
    EXPECT_EQ(Formulas(Loaded(settings)), Formulas(mru));
}

TEST(NoteSelectorMru, BrokenEntriesEndTheListQuietly) {
    struct Case {
        const char* text;
        std::vector<std::string> want;
    } cases[] = {
        {"Index=ba\na_Formula=A\nb_Formula=B\n", {"B", "A"}},
        {"Index=a\n", {""}}, // every key absent: the defaults
        {"Index=aAb\na_Formula=A\nb_Formula=B\n", {"A"}},
        {"Index=aab\na_Formula=A\n", {"A"}}, // a slot named twice
        {"Index=bd\nb_Formula=B\n", {"B"}},  // d is no slot of a two-entry list
        {"Index=ab\na_Formula=A\nb_Formula=B\nb_Flags=1;0\n", {"A"}},
        {"Index=ba\na_Formula=A\na_Limit=1\nb_Formula=B\n", {}}, // slot a broken: b goes too
        {"Index=a\na_DateOpt=1;x\n", {}},
        {"Index=a\na_Limit=1;99999999999\n", {}},
        {"Index=jihgfedcbak\n", std::vector<std::string>(10)}, // only ten letters count
        {"Index=kjihgfedcba\n", {}},
    };
    for (const Case& c : cases) {
        CMemorySettings settings;
        settings.SetText(std::string("[Document Selector MRU]\n") + c.text);
        EXPECT_EQ(Formulas(Loaded(settings)), c.want) << c.text;
    }
    CMemorySettings settings;
    settings.SetText("[Document Selector MRU]\nIndex=a\n");
    const NoteSelectorMru loaded = Loaded(settings);
    const NoteSelector& d = loaded.At(0);
    EXPECT_EQ(d.dateText, "30 days");
    EXPECT_TRUE(d.documents && !d.designElements && !d.deletionStubs && !d.limitOn);
    EXPECT_EQ(d.limit, 15);
}

TEST(NoteSelectorMru, NewEntriesNeverShareASlotWithLoadedOnes) {
    CMemorySettings settings;
    settings.SetText("[Document Selector MRU]\nIndex=bd\nb_Formula=B\n");
    NoteSelectorMru mru = Loaded(settings);
    ASSERT_TRUE(mru.Add(Numbered(1), settings));
    ASSERT_TRUE(mru.Add(Numbered(2), settings));
    EXPECT_EQ(Formulas(mru), (std::vector<std::string>{"@Number = 2", "@Number = 1", "B"}));
    EXPECT_EQ(settings.GetString(kSection, "Index"), "cab");
    EXPECT_EQ(Formulas(Loaded(settings)), Formulas(mru));
}

TEST(NoteSelectorMru, TheFirstFailingWriteEndsTheSave) {
    CMemorySettings settings;
    NoteSelectorMru mru;
    settings.FailWritesAfter(1); // the index only
    EXPECT_FALSE(mru.Add(Numbered(1), settings));
    EXPECT_FALSE(settings.LastError().empty());
    EXPECT_EQ(settings.WriteCount(), 1u);
    EXPECT_EQ(settings.Keys(kSection), std::vector<std::string>{"Index"});
    EXPECT_EQ(mru.Count(), 1u); // the list in memory still has it
}
