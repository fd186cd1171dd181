#include "output/OutputStrings.h"

namespace {

struct StringRow {
    unsigned id;
    const char* text;
};

constexpr StringRow kStrings[] = {
    {outstr::kValueColumnSample, "xxxxxxsequence-time"},
    {outstr::kCommentColumnSample, "<12/25/95 12:02:43 PM>xxx"},
    {outstr::kGapSample, "W"},
    {outstr::kIndentSample, "xxx"},
    {outstr::kUnitNone, "-- MEASURES --"},
    {outstr::kUnitTwips, "twips (%.4f inches)"},
    {outstr::kUnitPixels, "pixels"},
    {outstr::kUnitLines, "%.1f lines"},
    {outstr::kUnitBytes, "bytes"},
    {outstr::kUnitBits, "bits"},
    {outstr::kUnitEighthChars, "1/8 chars"},
    {outstr::kUnitSeconds, "seconds"},
    {outstr::kUnitMinutes, "minutes"},
    {outstr::kUnitHours, "hours"},
    {outstr::kUnitDays, "days"},
    {outstr::kUnitWeeks, "weeks"},
    {outstr::kUnitMonths, "months"},
    {outstr::kUnitYears, "years"},
    {outstr::kUnitMinutesSinceMidnight, "minutes since midnight"},
    {outstr::kUnitMilliseconds, "milliseconds"},
    {outstr::kDateOfCreation, "(date of creation)"},
    {outstr::kDateOfRevision, "(date of revision)"},
    {outstr::kDateOfDbCreation, "(date of db creation)"},
    {outstr::kDateOfModification, "(date of modification)"},
    {outstr::kGraphicFlagsIgnored, "ignored"},
    {outstr::kCellBorderSides, "Left Right Top Bottom"},
    {outstr::kFieldEditable, "Editable"},
    {outstr::kFieldComputed, "Computed"},
    {outstr::kFieldComputedForDisplay, "Computed for Display"},
    {outstr::kFieldComputedWhenComposed, "Computed when Composed"},
    {outstr::kKeywordUnknown, "I don't know how to interpret this data: send Rowan this database!"},
    {outstr::kActionsInChildren, "Actions are displayed in children"},
    {outstr::kLengthTooShort, "*** Length is too short (should be at least %d)"},
    {outstr::kPastStreamEnd, "*** Length is too short: the stream ends after %zu of its bytes"},
    {outstr::kGenericRecordLabel, "Record type %d"},
};

} // namespace

const char* OutputString(unsigned id) {
    for (const StringRow& row : kStrings)
        if (row.id == id)
            return row.text;
    return nullptr;
}
