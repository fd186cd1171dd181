// The text of a store status, as error nodes, error fields and the "Error" message box show it.
#pragma once

#include <cstdarg>
#include <cstddef>

#include "store/api/Status.h"

// Builds "[(][formatted text][: ][Server error: ]message[)]" into buffer, which receives at
// most size bytes including the terminator (always terminated when size > 0). The message part
// is the store's text of the message number, or "#pp:ee" (package, error in hex) when the store
// has none. A status of 0 gives just the formatted text; a null format gives just the message.
// A text too long for the buffer is cut before its closing parenthesis, which is kept.
// Returns the length written, without the terminator.
std::size_t FormatStatusMessage(char* buffer, std::size_t size, store::Status status,
                                const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 4, 5)))
#endif
    ;
std::size_t FormatStatusMessageV(char* buffer, std::size_t size, store::Status status,
                                 const char* format, std::va_list args);
