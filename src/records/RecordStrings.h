// The texts of record output that are not field labels.
#pragma once

namespace recstr {
constexpr const char* kLengthTooShort = "*** Length is too short (should be at least %d)";
// A record whose stored length runs past the bytes of its stream: the walk ends there. It
// begins like every other note of missing bytes, so that one search finds them all.
constexpr const char* kPastStreamEnd =
    "*** Length is too short: the stream ends after %zu of its bytes";
constexpr const char* kGenericLabel = "Record type %d";
constexpr const char* kEditable = "Editable";
constexpr const char* kComputed = "Computed";
constexpr const char* kComputedForDisplay = "Computed for Display";
constexpr const char* kComputedWhenComposed = "Computed when Composed";
constexpr const char* kKeywordUnknown =
    "I don't know how to interpret this data: send Rowan this database!";
} // namespace recstr
