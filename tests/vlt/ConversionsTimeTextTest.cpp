#include <gtest/gtest.h>

#include <string>

#include "TzGuard.h"
#include "store/api/Conversions.h"
#include "support/MakeTime.h"
#include "vlt/TimeText.h"

using namespace store;

namespace {

std::string Text(const TimeDate& t, TimeFormat f = {}, const IntlFormat* intl = nullptr) {
    char buffer[80];
    std::size_t length = 99;
    EXPECT_EQ(TimeToText(intl, &f, t, buffer, sizeof buffer, &length), kNoError);
    EXPECT_EQ(length, std::string(buffer).size());
    return buffer;
}

Status Read(const std::string& text, TimeDate* t, const TimeFormat* f = nullptr,
            const IntlFormat* intl = nullptr) {
    return TextToTime(intl, f, text.data(), text.size(), t);
}

TimeFormat Fmt(int date, int time, int zone, int structure) {
    return TimeFormat{std::uint8_t(date), std::uint8_t(time), std::uint8_t(zone),
                      std::uint8_t(structure)};
}

} // namespace

// The styles one by one are covered by the all-formats test below; these are the extremes.
TEST(TimeText, DaylightSavingAndTheEndsOfTheRange) {
    TzGuard tz(kCentralEurope);
    struct Case {
        TimeDate t;
        const char* text;
    } cases[] = {
        {MakeTime(1995, 7, 4, 23, 59, 59, 99, -300, true),
         "07/04/1995 11:59:59.99 PM GMT-05:00 DST"},
        {MakeTime(1995, 7, 4, 23, 59, 59, 99, 60, true), "07/04/1995 11:59:59.99 PM"},
        {MakeTime(1995, 7, 4, 23, 59, 59, 99, 60, false), "07/04/1995 11:59:59.99 PM GMT+01:00"},
        {MakeTime(1, 1, 1, 0, 0, 0, 0, 0, false), "01/01/0001 12:00:00.00 AM GMT+00:00"},
        {MakeTime(9999, 12, 31, 23, 59, 59, 99, -840, false),
         "12/31/9999 11:59:59.99 PM GMT-14:00"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Text(c.t, Fmt(0, 0, 1, 2)), c.text);
}

TEST(TimeText, ConditionalFormsAgainstToday) {
    TzGuard tz(kCentralEurope);
    TimeDate now;
    CurrentTime(&now);
    TimeParts p;
    SplitTime(now, &p); // zone 0: GMT parts
    const TimeDate noon = MakeTime(p.year, p.month, p.day, 12, 0, 0, 0, 0, false);
    EXPECT_EQ(Text(noon, Fmt(0, 1, 0, 3)), "12:00 PM"); // today: the time alone
    EXPECT_EQ(Text(noon, Fmt(1, 0, 0, 0)).size(), 5u);  // this year: "MM/DD"
    const TimeDate lastYear = MakeTime(p.year - 1, 6, 1, 12, 0, 0, 0, 0, false);
    EXPECT_EQ(Text(lastYear, Fmt(1, 0, 0, 0)).size(), 10u);
}

TEST(TimeText, InternationalSettings) {
    TzGuard tz(kCentralEurope);
    IntlFormat intl;
    intl.order = IntlFormat::DateOrder::DMY;
    intl.dateSeparator = '.';
    intl.decimalSeparator = ',';
    intl.clock24 = true;
    const TimeDate t = MakeTime(1995, 12, 5, 13, 2, 3, 4, 60, false);
    EXPECT_EQ(Text(t, Fmt(0, 0, 0, 2), &intl), "05.12.1995 13:02:03,04");
    TimeDate back;
    ASSERT_EQ(Read("05.12.1995 13:02:03,04", &back, nullptr, &intl), kNoError);
    EXPECT_EQ(back, t);
    intl.order = IntlFormat::DateOrder::YMD;
    intl.dateSeparator = '-';
    EXPECT_EQ(Text(t, Fmt(0, 1, 0, 2), &intl), "1995-12-05 13:02");
    EXPECT_EQ(Text(t, Fmt(3, 1, 0, 0), &intl), "1995-12");
}

// Every stamp must come back exactly from its full text, whichever zone it carries and whether
// or not the machine would have used daylight saving then.
TEST(TimeText, RoundTripIsExact) {
    for (const char* zone : {kCentralEurope, kEasternAmerica, "UTC0"}) {
        TzGuard tz(zone);
        const TimeDate stamps[] = {
            MakeTime(1995, 12, 25, 12, 2, 43, 17, 60, false),
            MakeTime(1995, 7, 1, 12, 0, 0, 1, 60, true),
            MakeTime(1995, 7, 1, 12, 0, 0, 1, 60, false),   // summer, yet no daylight saving
            MakeTime(2021, 10, 31, 2, 30, 0, 0, 60, true),  // the hour that happens twice...
            MakeTime(2021, 10, 31, 2, 30, 0, 0, 60, false), // ...both times
            MakeTime(2021, 11, 7, 1, 30, 0, 50, -300, true),
            MakeTime(2021, 11, 7, 1, 30, 0, 50, -300, false),
            MakeTime(2000, 2, 29, 23, 59, 59, 99, 330, false),
            MakeTime(1, 1, 1, 0, 0, 0, 0, 0, false),
            MakeTime(9999, 12, 31, 23, 59, 59, 99, 0, false),
            MakeTime(1850, 6, 15, 8, 0, 0, 0, 60, false),
        };
        for (const TimeDate& t : stamps)
            for (int zoneStyle : {1, 2}) {
                const std::string text = Text(t, Fmt(0, 0, zoneStyle, 2));
                TimeDate back;
                ASSERT_EQ(Read(text, &back), kNoError) << text;
                EXPECT_EQ(back, t) << zone << ": " << text;
            }
    }
}

TEST(TimeText, ReadsVariants) {
    TzGuard tz(kCentralEurope);
    const TimeDate christmas = MakeTime(1995, 12, 25, 12, 2, 43, 17, 60, false);
    const TimeDate midnight = MakeTime(1995, 12, 25, 0, 0, 0, 0, 60, false);
    struct Case {
        const char* text;
        TimeDate expected;
    } cases[] = {
        {"12/25/1995 12:02:43.17 PM", christmas},
        {"  12/25/95 12:02:43.17pm ", christmas},
        {"12-25-1995 12:02:43.17 PM GMT+01:00", christmas},
        {"1995/12/25 12:02:43.17", christmas},
        {"1995-12-25T12:02:43.17+01:00", christmas},
        {"1995-12-25T11:02:43.170Z", MakeTime(1995, 12, 25, 11, 2, 43, 17, 0, false)},
        {"1995-12-25 12:02:43.17", christmas},
        {"12/25/1995", midnight},
        {"1995-12-25", midnight},
        {"12/25/1995 11:02:43.17 AM UTC", MakeTime(1995, 12, 25, 11, 2, 43, 17, 0, false)},
        {"12/25/1995 12:02:43.17 PM GMT+00:00 DST", MakeTime(1995, 12, 25, 12, 2, 43, 17, 0, true)},
        {"07/01/1995 12:00 PM", MakeTime(1995, 7, 1, 12, 0, 0, 0, 60, true)}, // summer: DST
        {"12/25/1995 12:00 AM", midnight},
        {"12/25/1995 12:02:43.1 PM", MakeTime(1995, 12, 25, 12, 2, 43, 10, 60, false)},
    };
    for (const Case& c : cases) {
        TimeDate t;
        ASSERT_EQ(Read(c.text, &t), kNoError) << c.text;
        EXPECT_EQ(t, c.expected) << c.text;
    }
    TimeFormat monthYear = Fmt(3, 0, 0, 0);
    TimeDate t;
    ASSERT_EQ(Read("12/1995", &t, &monthYear), kNoError);
    EXPECT_EQ(t, MakeTime(1995, 12, 1, 0, 0, 0, 0, 60, false));
}

TEST(TimeText, RejectsBadTextWith257) {
    TzGuard tz(kCentralEurope);
    const char* bad[] = {
        "",
        "   ",
        "hello",
        "13/01/1995",
        "02/30/1995",
        "02/29/1900",
        "12/25/1995 24:00",
        "12/25/1995 13:00 PM",
        "12/25/1995 00:30 AM",
        "12/25/1995 12:60",
        "12/25/1995 12:00:60",
        "12/25/1995 12:00:00.175",
        "12/25/10000",
        "00/10/1995",
        "12/25/1995 GMT+01:07",
        "12/25/1995 GMT+15:00",
        "12/25/1995 12:00 PM DST",
        "1995-13-01",
        "1995-12-25T12",
        "12/25/1995 12:00 PM GMT+01:00 DST DST",
        "3/27/2022 2:30 AM", // skipped by the clocks
        "12/25/1995 12:00 PM 12/25/1995",
        "12//1995",
        "1/2/3/4",
    };
    for (const char* text : bad) {
        TimeDate t = MakeTime(2000, 1, 1, 0, 0, 0, 0, 0, false);
        const TimeDate before = t;
        EXPECT_EQ(Read(text, &t), kInvalidTime) << '"' << text << '"';
        EXPECT_EQ(t, before) << text; // untouched on failure
    }
    // Not terminated: only the length given is read.
    TimeDate t;
    EXPECT_EQ(TextToTime(nullptr, nullptr, "12/25/1995X", 10, &t), kNoError);
}

TEST(TimeText, ZeroDamagedAndSmallBuffers) {
    TzGuard tz(kCentralEurope);
    char buffer[80] = "x";
    std::size_t length = 7;
    EXPECT_EQ(TimeToText(nullptr, nullptr, TimeDate{}, buffer, sizeof buffer, &length), kNoError);
    EXPECT_EQ(length, 0u);
    EXPECT_STREQ(buffer, "");
    const TimeDate damaged{{0x1234, 0x5678}}; // no validity bit
    EXPECT_EQ(TimeToText(nullptr, nullptr, damaged, buffer, sizeof buffer, &length), kInvalidTime);
    const TimeFormat wrong = Fmt(4, 0, 0, 2);
    const TimeDate t = MakeTime(1995, 12, 25, 12, 2, 43, 17, 60, false);
    EXPECT_EQ(TimeToText(nullptr, &wrong, t, buffer, sizeof buffer, &length), kInvalidArgument);
    char small[11];
    EXPECT_EQ(TimeToText(nullptr, nullptr, t, small, sizeof small, &length), kBufferTooSmall);
    EXPECT_STREQ(small, "12/25/1995");
    EXPECT_EQ(length, 10u);
}

TEST(TimeText, GmtReexpressionShowsTheSameInstant) {
    TzGuard tz(kEasternAmerica);
    const TimeDate local = MakeTime(1995, 7, 4, 8, 0, 0, 0, -300, true); // 12:00 GMT
    TimeParts gmt;
    ASSERT_EQ(SplitTime(local, &gmt), kNoError);
    TimeDate inGmt;
    ASSERT_EQ(AssembleTime(gmt, &inGmt), kNoError);
    EXPECT_EQ(Text(inGmt, Fmt(0, 0, 2, 2)), "07/04/1995 12:00:00.00 PM GMT+00:00");
    EXPECT_EQ(Text(local, Fmt(0, 0, 1, 2)), "07/04/1995 08:00:00.00 AM");
    TimeDate back;
    ASSERT_EQ(Read("07/04/1995 12:00:00.00 PM GMT+00:00", &back), kNoError);
    EXPECT_EQ(back.Value() >> 16, local.Value() >> 16); // the same instant
}

// All 96 formats: the text is assembled from the parts the format asks for, and reading it back
// with the same format gives those parts again.
TEST(TimeText, EveryFormatWritesAndReadsBackItsParts) {
    TzGuard tz(kCentralEurope);
    const TimeDate tokyo = MakeTime(1995, 12, 25, 21, 7, 8, 9, 540, false);
    const TimeDate here = MakeTime(1995, 12, 25, 21, 7, 8, 9, 60, false);
    const char* dates[] = {"12/25/1995", "12/25/1995", "12/25", "12/1995"};
    const char* clocks[] = {"09:07:08.09 PM", "09:07 PM"};
    for (int date = 0; date < 4; ++date)
        for (int time = 0; time < 2; ++time)
            for (int zone = 0; zone < 3; ++zone)
                for (int structure = 0; structure < 4; ++structure)
                    for (const bool foreign : {true, false}) {
                        const TimeDate& t = foreign ? tokyo : here;
                        const TimeFormat f = Fmt(date, time, zone, structure);
                        std::string expected;
                        if (structure != 1)
                            expected = dates[date];
                        if (structure != 0)
                            expected += (expected.empty() ? "" : " ") + std::string(clocks[time]);
                        if (zone == 2 || (zone == 1 && foreign))
                            expected += foreign ? " GMT+09:00" : " GMT+01:00";
                        const std::string text = Text(t, f);
                        ASSERT_EQ(text, expected) << date << time << zone << structure;

                        TimeDate back;
                        ASSERT_EQ(Read(text, &back, &f), kNoError) << text;
                        TimeParts a, b;
                        a.zone = b.zone = foreign ? 540 : 60;
                        SplitTime(t, &a);
                        if (zone == 0 && foreign)
                            b.zone = 60; // no zone shown: read as local time here
                        SplitTime(back, &b);
                        if (structure != 1) {
                            EXPECT_EQ(b.month, a.month) << text;
                            if (date != 3) {
                                EXPECT_EQ(b.day, a.day) << text;
                            }
                            if (date == 0 || date == 3) {
                                EXPECT_EQ(b.year, a.year) << text;
                            }
                        }
                        if (structure != 0) {
                            EXPECT_EQ(b.hour, a.hour) << text;
                            EXPECT_EQ(b.minute, a.minute) << text;
                            if (time == 0) {
                                EXPECT_EQ(b.hundredth, a.hundredth) << text;
                            }
                        }
                    }
}

// The machine's zone at a wall time, in central European rules: the zone is +60 minutes with
// or without summer time; the hour the clocks skip does not exist; the hour they repeat is
// taken at its first, in summer time.
TEST(MachineZone, KnowsSummerTimeAndItsEnds) {
    TzGuard tz(kCentralEurope);
    const auto winter = vlt::MachineZoneAt(2021, 1, 15, 12, 0);
    ASSERT_TRUE(winter);
    EXPECT_EQ(winter->zone, 60);
    EXPECT_FALSE(winter->dst);
    const auto summer = vlt::MachineZoneAt(2021, 7, 15, 12, 0);
    ASSERT_TRUE(summer);
    EXPECT_EQ(summer->zone, 60);
    EXPECT_TRUE(summer->dst);
    EXPECT_FALSE(vlt::MachineZoneAt(2021, 3, 28, 2, 30));
    ASSERT_TRUE(vlt::MachineZoneAt(2021, 3, 28, 3, 0));
    EXPECT_TRUE(vlt::MachineZoneAt(2021, 3, 28, 3, 0)->dst);
    const auto repeated = vlt::MachineZoneAt(2021, 10, 31, 2, 30);
    ASSERT_TRUE(repeated);
    EXPECT_TRUE(repeated->dst);
    EXPECT_FALSE(vlt::MachineZoneAt(2021, 10, 31, 3, 0)->dst);
    EXPECT_FALSE(vlt::MachineZoneAt(2021, 2, 30, 12, 0)); // no such day
    TzGuard india("IST-5:30");
    const auto far = vlt::MachineZoneAt(2021, 7, 15, 12, 0);
    ASSERT_TRUE(far);
    EXPECT_EQ(far->zone, 330);
    EXPECT_FALSE(far->dst);
}
