// The machine's zone at wall times, against the C library's conversions done in full every time,
// in zones with summer time on either half of the world, half-hour changes and none at all.
#include <gtest/gtest.h>

#include <cstdint>
#include <ctime>
#include <filesystem>
#include <optional>
#include <string>

#include "TzGuard.h"
#include "vlt/TimeText.h"

namespace {

struct Wall {
    int year, month, day, hour, minute;
};

std::int64_t OffsetAt(std::int64_t instant) {
    const std::time_t t = std::time_t(instant);
    std::tm local{};
    return localtime_r(&t, &local) ? std::int64_t(local.tm_gmtoff) : 0;
}

// The instants a day either side of the wall time and at it give every offset it can have; of
// those that show the wall time, the first in summer time wins.
std::optional<vlt::LocalZone> Expected(const Wall& w, std::int64_t wallSeconds) {
    std::optional<std::tm> found;
    for (const std::int64_t offset :
         {OffsetAt(wallSeconds - 86400), OffsetAt(wallSeconds), OffsetAt(wallSeconds + 86400)}) {
        const std::time_t t = std::time_t(wallSeconds - offset);
        std::tm local{};
        if (!localtime_r(&t, &local) || local.tm_year != w.year - 1900 ||
            local.tm_mon != w.month - 1 || local.tm_mday != w.day || local.tm_hour != w.hour ||
            local.tm_min != w.minute)
            continue;
        if (!found || (local.tm_isdst > 0 && found->tm_isdst <= 0))
            found = local;
    }
    if (!found)
        return std::nullopt;
    vlt::LocalZone z;
    z.dst = found->tm_isdst > 0;
    const long minutes = long(found->tm_gmtoff / 60) - (z.dst ? 60 : 0);
    z.zone = int(minutes >= 0 ? minutes / 15 * 15 : -((-minutes + 14) / 15 * 15));
    if (z.zone < -840 || z.zone > 840)
        return std::nullopt;
    return z;
}

// Compares the wall time that a GMT instant's fields name (the instant taken as a wall time).
void Check(std::int64_t wallSeconds, const std::string& zone, int* checked) {
    const std::time_t t = std::time_t(wallSeconds);
    std::tm f{};
    ASSERT_TRUE(gmtime_r(&t, &f));
    const Wall w{f.tm_year + 1900, f.tm_mon + 1, f.tm_mday, f.tm_hour, f.tm_min};
    const auto expected = Expected(w, wallSeconds - f.tm_sec);
    const auto got = vlt::MachineZoneAt(w.year, w.month, w.day, w.hour, w.minute);
    const std::string where = zone + " " + std::to_string(w.year) + "-" + std::to_string(w.month) +
                              "-" + std::to_string(w.day) + " " + std::to_string(w.hour) + ":" +
                              std::to_string(w.minute);
    ASSERT_EQ(bool(got), bool(expected)) << where;
    if (got) {
        ASSERT_EQ(got->zone, expected->zone) << where;
        ASSERT_EQ(got->dst, expected->dst) << where;
    }
    ++*checked;
}

std::int64_t YearStart(int year) {
    std::tm f{};
    f.tm_year = year - 1900;
    f.tm_mday = 1;
    return std::int64_t(timegm(&f));
}

TEST(MachineZone, MatchesTheLibraryAroundEveryChange) {
    const char* const zones[] = {"America/New_York", "Europe/London",    "Australia/Lord_Howe",
                                 "Asia/Kolkata",     "America/St_Johns", "UTC"};
    // Tables, the library's file-less rules, the years before the first change and those past
    // the file's last change, where the library follows the rule it ends with.
    const int years[] = {1,    1883, 1916, 1941, 1942, 1969, 1970,
                         1987, 2021, 2037, 2038, 2039, 2100, 9999};
    int zonesRun = 0;
    for (const char* zone : zones) {
        if (std::string(zone) != "UTC" &&
            !std::filesystem::exists(std::string("/usr/share/zoneinfo/") + zone))
            continue;
        ++zonesRun;
        TzGuard tz(zone);
        int checked = 0, changes = 0;
        for (const int year : years) {
            const std::int64_t from = YearStart(year), to = YearStart(year + 1);
            // Far from the changes: every few hours, at odd minutes.
            for (std::int64_t w = from; w < to; w += 7 * 3600 + 13 * 60)
                ASSERT_NO_FATAL_FAILURE(Check(w, zone, &checked));
            // Near them: every minute of the local times that the hours around a change show
            // or skip, the repeated and the missing ones included.
            for (std::int64_t at = from; at < to; at += 3600) {
                const std::int64_t before = OffsetAt(at), after = OffsetAt(at + 3600);
                if (before == after)
                    continue;
                ++changes;
                const std::int64_t low = at + std::min(before, after) - 2 * 3600;
                const std::int64_t high = at + 3600 + std::max(before, after) + 2 * 3600;
                for (std::int64_t w = low / 60 * 60; w <= high; w += 60)
                    ASSERT_NO_FATAL_FAILURE(Check(w, zone, &checked));
            }
            // The last minute of the year and the first of the next.
            ASSERT_NO_FATAL_FAILURE(Check(to - 60, zone, &checked));
            ASSERT_NO_FATAL_FAILURE(Check(to, zone, &checked));
        }
        if (std::string(zone) == "UTC") {
            EXPECT_EQ(changes, 0);
        } else {
            EXPECT_GT(changes, 0) << zone;
        }
        EXPECT_GT(checked, 10000) << zone;
    }
    EXPECT_GE(zonesRun, 1);
}

// Rules given in the variable itself: a half-hour zone west of GMT with summer time, and the
// zone known after another one was in force (nothing of the first may be kept).
TEST(MachineZone, FollowsTheZoneItIsGiven) {
    int checked = 0;
    for (const char* zone : {"NST3:30NDT,M3.2.0,M11.1.0", "CET-1CEST,M3.5.0,M10.5.0/3"}) {
        TzGuard tz(zone);
        for (const int year : {1960, 2024, 2500})
            for (std::int64_t w = YearStart(year); w < YearStart(year + 1); w += 20 * 60)
                ASSERT_NO_FATAL_FAILURE(Check(w, zone, &checked));
    }
    TzGuard tz("NST3:30NDT,M3.2.0,M11.1.0");
    const auto summer = vlt::MachineZoneAt(2024, 7, 1, 12, 0);
    ASSERT_TRUE(summer);
    EXPECT_EQ(summer->zone, -210);
    EXPECT_TRUE(summer->dst);
    // Fields out of their ranges are no wall time.
    EXPECT_FALSE(vlt::MachineZoneAt(2024, 2, 30, 12, 0));
    EXPECT_FALSE(vlt::MachineZoneAt(2024, 13, 1, 12, 0));
    EXPECT_FALSE(vlt::MachineZoneAt(2024, 1, 1, 24, 0));
    EXPECT_FALSE(vlt::MachineZoneAt(2024, 1, 1, 12, 60));
    EXPECT_FALSE(vlt::MachineZoneAt(2024, 1, 0, 12, 0));
}

} // namespace
