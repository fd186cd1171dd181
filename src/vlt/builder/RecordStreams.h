// Record streams written in a description as lists of records by name with their field values.
// The names and the encoding belong to the record tables of the programs that read the
// streams back, so the builder takes the encoder from the program that uses it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "common/ValueTree.h"

namespace vlt::builder {

// Encodes the list of records of a stream of `kind`: the bytes after the stream's kind word.
// On failure *where is the place below the list ("[2].text") and *what the problem.
using RecordStreamEncoder = bool (*)(std::uint16_t kind, const ValueTree& records,
                                     std::vector<std::uint8_t>* stream, std::string* where,
                                     std::string* what);

} // namespace vlt::builder
