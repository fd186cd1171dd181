#include "common/Ascii.h"

#include <algorithm>
#include <cstdio>

bool EqualsNoCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return LowerAscii(x) == LowerAscii(y);
           });
}

std::string EscapeText(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        switch (c) {
        case '\\':
        case '"':
            out += '\\';
            out += c;
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        default:
            if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) {
                char hex[8];
                std::snprintf(hex, sizeof hex, "\\x%02X", unsigned(static_cast<unsigned char>(c)));
                out += hex;
            } else {
                out += c;
            }
        }
    }
    return out;
}

bool ParseHex(std::string_view text, std::vector<std::uint8_t>* bytes) {
    bytes->clear();
    int high = -1;
    for (char c : text) {
        if (c == ' ' || c == '\n' || c == '\t')
            continue;
        const int d = HexDigitValue(c);
        if (d < 0)
            return false;
        if (high < 0) {
            high = d;
        } else {
            bytes->push_back(static_cast<std::uint8_t>(high * 16 + d));
            high = -1;
        }
    }
    return high < 0;
}
