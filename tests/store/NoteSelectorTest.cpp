#include <gtest/gtest.h>

#include "store/NoteSelector.h"
#include "store/PeriodText.h"
#include "store/api/Conversions.h"
#include "support/MakeTime.h"

using store::kInvalidTime;
using store::kNoError;

namespace {

NoteSelector InTheLast(std::string text) {
    NoteSelector s;
    s.onlyModified = true;
    s.dateOption = NoteSelector::kInTheLast;
    s.dateText = std::move(text);
    return s;
}

} // namespace

TEST(PeriodText, PairsOfAmountAndUnitWord) {
    struct Case {
        const char* text;
        store::Status status;
        Period want;
    } cases[] = {
        {"90 days", kNoError, {.days = 90}},
        {"1 mo 2 d", kNoError, {.days = 2, .months = 1}},
        {" \t5 MInutes  3 Hrs 1 y 9 secondsss ",
         kNoError,
         {.seconds = 9, .minutes = 5, .hours = 3, .years = 1}},
        {"3d", kNoError, {.days = 3}},
        {"2147483647 s", kNoError, {.seconds = 2147483647}},
        {"2 weeks", kInvalidTime, {}},       // no such unit
        {"3 d 4 d", kInvalidTime, {}},       // days twice
        {"1 day 1 Dozen", kInvalidTime, {}}, // "Dozen" also names days
        {"5 m", kInvalidTime, {}},           // "m" alone names nothing
        {"1 secondssss", kInvalidTime, {}},  // ten letters
        {"", kInvalidTime, {}},
        {"   ", kInvalidTime, {}},
        {"7", kInvalidTime, {}}, // an amount without a word
        {"days", kInvalidTime, {}},
        {"3d4h", kInvalidTime, {}}, // the word must end at a blank
        {"1 hour, 2 days", kInvalidTime, {}},
        {"-3 days", kInvalidTime, {}},
        {"2147483648 s", kInvalidTime, {}},
        {"1 d garbage", kInvalidTime, {}},
    };
    for (const Case& c : cases) {
        Period p{.seconds = -1};
        ASSERT_EQ(ParsePeriod(c.text, &p), c.status) << c.text;
        if (c.status != kNoError)
            continue;
        EXPECT_EQ(p.seconds, c.want.seconds) << c.text;
        EXPECT_EQ(p.minutes, c.want.minutes) << c.text;
        EXPECT_EQ(p.hours, c.want.hours) << c.text;
        EXPECT_EQ(p.days, c.want.days) << c.text;
        EXPECT_EQ(p.months, c.want.months) << c.text;
        EXPECT_EQ(p.years, c.want.years) << c.text;
    }
}

TEST(NoteSelector, SinceTimeCountsBackFromNow) {
    const store::TimeDate now = MakeTime(2026, 3, 31, 12);
    store::TimeDate since;
    ASSERT_EQ(InTheLast("1 mo 2 d").SinceTime(now, &since), kNoError);
    EXPECT_EQ(since, MakeTime(2026, 2, 26, 12)); // March 31 less a month is February 28
    ASSERT_EQ(InTheLast("36 h").SinceTime(now, &since), kNoError);
    EXPECT_EQ(since, MakeTime(2026, 3, 30, 0));

    const store::TimeDate marker = MakeTime(2000, 1, 1, 0);
    since = marker;
    EXPECT_EQ(InTheLast("2 weeks").SinceTime(now, &since), kInvalidTime);
    EXPECT_EQ(InTheLast("9999 years").SinceTime(now, &since), kInvalidTime);
    EXPECT_EQ(since, marker); // a refused text leaves the time alone

    NoteSelector other = InTheLast("1 d");
    other.dateOption = 7;
    EXPECT_EQ(other.SinceTime(now, &since), kNoError);
    EXPECT_EQ(since, marker);

    NoteSelector all = InTheLast("rubbish");
    all.onlyModified = false;
    ASSERT_EQ(all.SinceTime(now, &since), kNoError);
    EXPECT_EQ(since, store::EarliestTime());
}

TEST(NoteSelector, SinceADateGoesThroughTheStoreConversion) {
    NoteSelector s = InTheLast("12/25/1995");
    s.dateOption = NoteSelector::kSince;
    store::TimeDate since = store::EarliestTime();
    ASSERT_EQ(s.SinceTime(&since), kNoError);
    store::TimeParts parts;
    ASSERT_EQ(store::SplitTime(since, &parts), kNoError);
    EXPECT_EQ(parts.year, 1995);
    s.dateText = "not a date";
    EXPECT_NE(s.SinceTime(&since), kNoError);
}

TEST(NoteSelector, DescriptionNamesKindsDateFormulaAndLimit) {
    struct Case {
        bool docs, design, stubs, modified;
        int option;
        const char *date, *formula;
        bool limitOn;
        const char* want;
    } cases[] = {
        {1, 0, 0, 0, 1, "90 days", "", 0, "All Documents"},
        {1, 1, 1, 0, 1, "", "", 0, "All Notes"},
        {0, 1, 1, 0, 1, "", "", 0, "All Design Elements"},
        {0, 0, 1, 0, 1, "", "", 1, "All Deletion Stubs (at most 15)"},
        {0, 0, 0, 0, 1, "", "", 0, "All "},
        {1, 0, 0, 1, 1, "30 days", "", 0, "Documents in the last 30 days"},
        {0, 1, 0, 1, 0, "1/2/2020", "", 0, "Design Elements since 1/2/2020"},
        {1, 0, 0, 0, 0, "ignored", "Form = \"Memo\"", 0, "Documents matching Form = \"Memo\""},
        {1, 1, 0, 1, 1, "7 d", "@True", 1, "Notes in the last 7 d matching @True (at most 15)"},
    };
    for (const Case& c : cases) {
        NoteSelector s;
        s.documents = c.docs, s.designElements = c.design, s.deletionStubs = c.stubs;
        s.onlyModified = c.modified, s.dateOption = c.option, s.dateText = c.date;
        s.formula = c.formula, s.limitOn = c.limitOn;
        EXPECT_EQ(s.Description(), c.want);
    }
}

TEST(NoteSelector, EqualityIgnoresWhatIsNotInForce) {
    const NoteSelector base;
    NoteSelector s = base;
    s.dateText = "1 y", s.dateOption = 0, s.limit = 3;
    EXPECT_EQ(s, base); // date and limit are off
    s.onlyModified = true;
    EXPECT_NE(s, base);
    NoteSelector t = s;
    t.dateText = "2 y";
    EXPECT_NE(s, t);
    s = base, s.limitOn = true, t = s, t.limit = 16;
    EXPECT_NE(s, t);
    s = base, s.formula = "form", t = base, t.formula = "Form";
    EXPECT_NE(s, t);
    s = base, s.deletionStubs = true;
    EXPECT_NE(s, base);
}

TEST(NoteSelector, ClassMaskFollowsTheKinds) {
    const struct {
        bool docs, design, stubs;
        std::uint16_t mask;
    } cases[] = {{1, 1, 0, 0x7FFF}, {0, 1, 0, 0x7FFE}, {0, 1, 1, 0x7FFE}, {1, 0, 0, 0x0001},
                 {1, 0, 1, 0x0001}, {0, 0, 1, 0x7FFF}, {0, 0, 0, 0}};
    for (const auto& c : cases) {
        NoteSelector s;
        s.documents = c.docs, s.designElements = c.design, s.deletionStubs = c.stubs;
        EXPECT_EQ(s.ClassMask(), c.mask) << c.docs << c.design << c.stubs;
        EXPECT_EQ(s.ShowNotes(), c.docs || c.design);
    }
}
