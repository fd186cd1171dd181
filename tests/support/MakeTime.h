#pragma once
// A stored time from its calendar parts, failing the test when the parts are not a time.

#include <gtest/gtest.h>

#include "store/api/Conversions.h"

inline store::TimeDate MakeTime(int y, int mo, int d, int h = 0, int mi = 0, int s = 0, int cs = 0,
                                int zone = 0, bool dst = false) {
    store::TimeParts p;
    p.year = y, p.month = mo, p.day = d, p.hour = h, p.minute = mi, p.second = s;
    p.hundredth = cs, p.zone = zone, p.dst = dst;
    store::TimeDate t;
    EXPECT_EQ(store::AssembleTime(p, &t), store::kNoError);
    return t;
}
