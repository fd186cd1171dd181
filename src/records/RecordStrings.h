// The texts of record output that are not field labels.
#pragma once

namespace recstr {
constexpr const char* kLengthTooShort = "*** Length is too short (should be at least %d)";
// A record whose stored length runs past the bytes of its stream: the walk ends there.
constexpr const char* kPastStreamEnd =
    "*** Record runs past the end of the stream (%zu bytes there)";
constexpr const char* kGenericLabel = "Record type %d";
constexpr const char* kEditable = "Editable";
constexpr const char* kComputed = "Computed";
constexpr const char* kComputedForDisplay = "Computed for Display";
constexpr const char* kComputedWhenComposed = "Computed when Composed";
constexpr const char* kKeywordUnknown =
    "I don't know how to interpret this data: send Rowan this database!";
} // namespace recstr
