// Record streams from descriptions: a list of records by name, with their field values by the
// labels the dump shows, made into the bytes the record nodes read, by the same kind tables.
//
// A record is an object:
//   "record-type": NAME or NUMBER   the signature, by the name `record-type` shows
//   field labels: values            as RecordComposer takes them
//   "remaining-data": HEX           bytes after what the fields make
//   "length": NUMBER                a stored length other than the true one (damaged data)
// or {"hex": HEX}: the record's bytes as they stand, header included, for data no field can
// describe. Records whose signature has no kind take only "remaining-data". Each record, a
// "hex" one too, is padded to an even length, as the walk expects.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "common/ValueTree.h"

// The bytes after the stream's kind word. On failure *where is the place within the list
// ("[2].text") and *what the problem; nothing is written.
bool ComposeRecordStream(std::uint16_t streamKind, const ValueTree& records,
                         std::vector<std::uint8_t>* stream, std::string* where, std::string* what);
