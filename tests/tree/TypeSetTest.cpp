#include <gtest/gtest.h>

#include "tree/ExpansionSets.h"
#include "tree/NodeTypes.h"
#include "tree/TypeSet.h"

TEST(TypeSet, LettersRoundTripAndOddCharacters) {
    struct Case {
        const char* text;
        CTypeSet set;
        const char* written; // what the set writes back
    };
    const Case cases[] = {
        {"fv", CTypeSet{19, 21}, "fv"},
        {"vf", CTypeSet{19, 21}, "fv"}, // written in id order
        {"*", CTypeSet{0}, ""},         // '*' reads as type 0, which is never written
        {"?f", CTypeSet{0, 19}, "f"},   // unknown characters read as type 0
        {"WLMS", CTypeSet{1, 2, 3, 5}, "WLMS"},
        {"", CTypeSet{}, ""},
    };
    for (const auto& c : cases) {
        const CTypeSet read = CTypeSet::FromLetters(c.text);
        EXPECT_EQ(read, c.set) << c.text;
        EXPECT_EQ(read.ToLetters(), c.written) << c.text;
    }
    // Every named type survives a round trip; the seven '*' types do not appear in text.
    const std::string all = CTypeSet::All().ToLetters();
    EXPECT_EQ(all.size(), 43u - 7u);
    CTypeSet expected = CTypeSet::All();
    for (unsigned t : {0u, 4u, 6u, 11u, 36u, 37u, 42u}) {
        expected.Remove(t);
    }
    EXPECT_EQ(CTypeSet::FromLetters(all), expected);
}

TEST(TypeSet, SetOperationsStayWithinTheRegisteredTypes) {
    CTypeSet s = CTypeSet::All();
    EXPECT_TRUE(s.IsFull());
    EXPECT_TRUE(s.Contains(42));
    EXPECT_FALSE(s.Contains(43));
    EXPECT_EQ(s.Word(1), 0x7FFu);
    s.Remove(19);
    EXPECT_FALSE(s.IsFull());
    s.Invert();
    EXPECT_EQ(s, CTypeSet{19});
    s.Invert();
    s.Add(19);
    EXPECT_TRUE(s.IsFull());
    s.Add(200); // out of range: ignored rather than corrupting a word
    EXPECT_TRUE(s.IsFull());
    CTypeSet a{1, 40};
    const CTypeSet b{40};
    const CTypeSet c{2};
    EXPECT_TRUE(a.Intersects(&b));
    EXPECT_TRUE(a.Intersects(nullptr, &b));
    EXPECT_FALSE(a.Intersects(&c, nullptr));
    a.RemoveAll(b);
    EXPECT_EQ(a, CTypeSet{1});
    EXPECT_TRUE(CTypeSet().IsEmpty());
}

TEST(NodeTypes, NoteClassesAndFlagsGiveTheType) {
    EXPECT_EQ(NodeTypeOf(99).id, 0); // past the registry
    struct Case {
        std::uint16_t noteClass;
        const char* flags; // null: not known
        NodeTypeId type;
    };
    const Case cases[] = {
        {0x0004, "U", 20},    {0x0004, "", 19},      {0x0004, nullptr, 19}, {0x0008, "FG", 22},
        {0x0008, "F", 23},    {0x0008, nullptr, 21}, {0x8001, nullptr, 33}, // high bits masked off
        {0x0200, "X", 28},    {0x0200, "x", 27},     {0x0100, nullptr, 29}, {0x0800, nullptr, 30},
        {0x0003, nullptr, 0}, {0x1000, nullptr, 0},
    };
    for (const auto& c : cases) {
        const auto flags = c.flags ? std::optional<std::string_view>(c.flags) : std::nullopt;
        EXPECT_EQ(NoteTypeFromClass(c.noteClass, flags), c.type) << std::hex << c.noteClass;
    }
}

TEST(ExpansionSets, DefaultsAndReplacement) {
    expansion::ResetToDefaults();
    EXPECT_EQ(expansion::SetFor(9), (CTypeSet{9, 13, 14, 18, 32, 34, 36}));
    expansion::Replace(9, CTypeSet{9});
    EXPECT_EQ(expansion::SetFor(9), CTypeSet{9});
    expansion::ResetToDefaults();
    EXPECT_EQ(expansion::SetFor(9), expansion::DefaultFor(9));
    EXPECT_TRUE(expansion::SetFor(77).IsEmpty());
}
