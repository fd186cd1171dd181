// The general number format of the dump, made with std::to_chars into a caller's buffer: up to
// `digits` significant digits, trailing zeros dropped, the whole-number part never rounded away
// (up to 15 digits), scientific form from 1E+15 up and below 1E-04, no thousands separators.
// It gives the very text of the store's number conversion in that format (which formats through
// printf), without its allocations.
#pragma once

#include <cstddef>

// The buffer needs kGeneralNumberSize bytes; returns the length written (no terminator).
constexpr std::size_t kGeneralNumberSize = 48;
std::size_t FormatGeneralNumber(double value, int digits, char* out);
