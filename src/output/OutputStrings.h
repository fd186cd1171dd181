// The program's own strings used by field output: measure units, date captions, the comments and
// labels of records, and the sample texts from which the info pane measures its columns. Some
// are printf formats. Output texts that are not field labels live here and nowhere else.
#pragma once

namespace outstr {
// Samples measured for the info pane columns.
constexpr unsigned kValueColumnSample = 48;   // "xxxxxxsequence-time"
constexpr unsigned kCommentColumnSample = 49; // "<12/25/95 12:02:43 PM>xxx"
constexpr unsigned kGapSample = 50;           // "W"
constexpr unsigned kIndentSample = 51;        // "xxx"

// Measure units: the comment written after a measured number.
constexpr unsigned kUnitNone = 200; // writes nothing
constexpr unsigned kUnitTwips = 201;
constexpr unsigned kUnitPixels = 202;
constexpr unsigned kUnitLines = 203;
constexpr unsigned kUnitBytes = 204;
constexpr unsigned kUnitBits = 205;
constexpr unsigned kUnitEighthChars = 206;
constexpr unsigned kUnitSeconds = 207;
constexpr unsigned kUnitMinutes = 208;
constexpr unsigned kUnitHours = 209;
constexpr unsigned kUnitDays = 210;
constexpr unsigned kUnitWeeks = 211;
constexpr unsigned kUnitMonths = 212;
constexpr unsigned kUnitYears = 213;
constexpr unsigned kUnitMinutesSinceMidnight = 214;
constexpr unsigned kUnitMilliseconds = 215;

// Captions of the times inside identifiers.
constexpr unsigned kDateOfCreation = 512;
constexpr unsigned kDateOfRevision = 514;
constexpr unsigned kDateOfDbCreation = 515;
constexpr unsigned kDateOfModification = 516;

// Comments and labels of records.
constexpr unsigned kGraphicFlagsIgnored = 517; // the flags of a graphic before version 2
constexpr unsigned kCellBorderSides = 518;
constexpr unsigned kFieldEditable = 519;
constexpr unsigned kFieldComputed = 520;
constexpr unsigned kFieldComputedForDisplay = 521;
constexpr unsigned kFieldComputedWhenComposed = 522;
constexpr unsigned kKeywordUnknown = 523;
constexpr unsigned kActionsInChildren = 524;
constexpr unsigned kLengthTooShort = 1024; // %d: the least length
// A record whose stored length runs past the bytes of its stream: the walk ends there.
constexpr unsigned kPastStreamEnd = 1025;      // %zu: the bytes there
constexpr unsigned kGenericRecordLabel = 1026; // %d: the record type
} // namespace outstr

// The string with that id, or null when there is none.
const char* OutputString(unsigned id);
