// Periods written as pairs of an amount and a unit word: "90 days", "1 mo 2 d", "3 hours".
//
// Each pair is a whole number, blanks, and a word of at most 9 letters that ends at a blank or
// at the end of the text; blanks may separate the pairs. The word names its unit by how it
// starts, tried in this order: "s" seconds, "mi" minutes, "h" hours, "d" days, "mo" months,
// "y" years, in either letter case; "m" alone names nothing. A word that names no unit, a unit
// given twice, a text without any pair, anything else in the text and an amount beyond the
// range of int are all refused with store::kInvalidTime.
#pragma once

#include <string_view>

#include "store/api/Status.h"

struct Period {
    int seconds = 0;
    int minutes = 0;
    int hours = 0;
    int days = 0;
    int months = 0;
    int years = 0;
};

store::Status ParsePeriod(std::string_view text, Period* period);
