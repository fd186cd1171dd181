#include <gtest/gtest.h>

#include "store/api/Conversions.h"
#include "support/MakeTime.h"
#include "vlt/TimeCodec.h"

using namespace store;

TEST(TimeCodec, CalendarRoundTripsEveryDayOfSeveralCenturies) {
    for (std::int64_t day = 0; day < 800 * 366; day += 7) {
        int y, m, d;
        vlt::CivilFromDays(day, &y, &m, &d);
        ASSERT_EQ(vlt::DaysFromCivil(y, m, d), day);
    }
    EXPECT_EQ(vlt::DaysFromCivil(1, 1, 1), 0);
    EXPECT_EQ(vlt::DaysInMonth(2000, 2), 29);
    EXPECT_EQ(vlt::DaysInMonth(1900, 2), 28);
}

TEST(TimeCodec, SplitAssembleAcrossZonesKeepsTheInstant) {
    const TimeDate t = MakeTime(1995, 12, 25, 12, 2, 43, 17, 60, false); // 11:02:43.17 GMT
    TimeParts gmt; // zone 0, no daylight saving: re-express in GMT
    ASSERT_EQ(SplitTime(t, &gmt), kNoError);
    EXPECT_EQ(gmt.hour, 11);
    EXPECT_EQ(gmt.minute, 2);
    EXPECT_EQ(gmt.hundredth, 17);
    EXPECT_EQ(gmt.weekday, 2); // a Monday
    TimeDate back;
    ASSERT_EQ(AssembleTime(gmt, &back), kNoError);
    EXPECT_EQ(vlt::DecodeTime(back)->instant, vlt::DecodeTime(t)->instant);
    EXPECT_EQ(vlt::DecodeTime(back)->zone, 0);

    TimeParts west;
    west.zone = -300;
    west.dst = true; // UTC-4 in effect
    ASSERT_EQ(SplitTime(t, &west), kNoError);
    EXPECT_EQ(west.hour, 7);
    EXPECT_EQ(west.day, 25);
}

TEST(TimeCodec, StampsOrderByInstantAndNeverEncodeToZero) {
    const TimeDate a = MakeTime(2001, 3, 4, 10, 0, 0, 0, 120, false); // 08:00 GMT
    const TimeDate b = MakeTime(2001, 3, 4, 9, 0, 0, 1, 60, false);   // 08:00:00.01 GMT
    EXPECT_LT(a.Value(), b.Value());
    EXPECT_FALSE(EarliestTime().IsZero());
    EXPECT_LT(EarliestTime().Value(), MakeTime(1, 1, 1, 0, 0, 0, 1, 0, false).Value());
    EXPECT_FALSE(vlt::DecodeTime(TimeDate{}));
}

TEST(TimeCodec, RejectsImpossibleParts) {
    TimeParts p;
    p.year = 2023, p.month = 2, p.day = 29;
    TimeDate t;
    EXPECT_EQ(AssembleTime(p, &t), kInvalidTime);
    p.day = 28;
    p.zone = 7; // not a quarter hour
    EXPECT_EQ(AssembleTime(p, &t), kInvalidTime);
    EXPECT_EQ(SplitTime(TimeDate{{0x1234, 0}}, &p), kInvalidArgument); // bad zone asked
}

TEST(TimeCodec, AdjustMovesByCalendarAndClampsTheDay) {
    TimeDate t = MakeTime(2024, 1, 31, 23, 30, 0, 0, 0, false);
    ASSERT_EQ(AdjustTime(&t, 0, 0, 0, 0, 1, 0), kNoError);
    TimeParts p;
    ASSERT_EQ(SplitTime(t, &p), kNoError);
    EXPECT_EQ(p.month, 2);
    EXPECT_EQ(p.day, 29);
    ASSERT_EQ(AdjustTime(&t, 0, 45, 0, -2, 0, -1), kNoError);
    ASSERT_EQ(SplitTime(t, &p), kNoError);
    EXPECT_EQ(p.year, 2023);
    EXPECT_EQ(p.month, 2);
    EXPECT_EQ(p.day, 27); // clamped to the 28th, two days back, then past midnight
    EXPECT_EQ(p.hour, 0);
    EXPECT_EQ(p.minute, 15);
    TimeDate zero;
    EXPECT_EQ(AdjustTime(&zero, 1, 0, 0, 0, 0, 0), kInvalidTime);
}
