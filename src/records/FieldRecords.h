// Field records: field definitions (both forms), their extensions and keyword lists.
#pragma once

#include <cstdint>

// The string id of the comment that says when a field's value is computed, from its flags.
unsigned FieldComputeComment(std::uint16_t flags);
