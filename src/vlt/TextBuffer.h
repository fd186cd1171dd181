// Writing text results into callers' buffers: the one rule every text-returning call follows.
#pragma once

#include <cstddef>
#include <string_view>

#include "store/api/Status.h"

namespace vlt {

// Copies text into buffer (size bytes): always terminated when size > 0, never overrun. A text
// that does not fit is cut (never inside a UTF-8 sequence) and kBufferTooSmall is returned.
// *length (may be null) receives the number of bytes written without the terminator.
store::Status PutText(std::string_view text, char* buffer, std::size_t size, std::size_t* length);

// The length of the longest prefix of text, at most limit bytes, that does not end inside a
// UTF-8 sequence.
std::size_t Utf8Prefix(std::string_view text, std::size_t limit);

} // namespace vlt
