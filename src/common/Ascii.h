// Character tests that do not depend on the locale: the names, keys and numbers that settings
// files and stored data hold are ASCII, whatever language the user runs in.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

inline char LowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c;
}

// Whether two names are equal when ASCII letters are compared without regard to case.
bool EqualsNoCase(std::string_view a, std::string_view b);

// The value of a hexadecimal digit of either case, or -1 for any other character.
inline int HexDigitValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    c = LowerAscii(c);
    return (c >= 'a' && c <= 'f') ? c - 'a' + 10 : -1;
}

// The text with backslashes and quotes escaped, \n \r \t named and every other control byte
// (below 0x20, and 0x7F) as \xHH: printable whatever it holds, and read back by the settings
// file's quoted values.
std::string EscapeText(std::string_view text);

// Hex digits of either case, blanks allowed anywhere ("01 00 ab"). False for an odd count of
// digits or any other character.
bool ParseHex(std::string_view text, std::vector<std::uint8_t>* bytes);
