#include "common/Settings.h"

#include <cerrno>
#include <cstdlib>
#include <string>

std::string CSettings::GetString(std::string_view section, std::string_view key,
                                 std::string_view fallback) const {
    std::optional<std::string> v = Read(section, key);
    return v ? std::move(*v) : std::string(fallback);
}

std::optional<long> CSettings::ParseInt(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t'))
        ++i;
    std::string digits;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        digits += text[i++];
    int base = 10;
    if (i + 1 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
        base = 16;
        i += 2;
    }
    const std::size_t start = digits.size();
    for (; i < text.size(); ++i) {
        const char c = text[i];
        const bool ok = (c >= '0' && c <= '9') ||
                        (base == 16 && ((c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F')));
        if (!ok)
            break;
        digits += c;
    }
    if (digits.size() == start)
        return std::nullopt;
    errno = 0;
    const long v = std::strtol(digits.c_str(), nullptr, base);
    if (errno == ERANGE)
        return std::nullopt;
    return v;
}

long CSettings::GetInt(std::string_view section, std::string_view key, long fallback) const {
    const std::optional<std::string> v = Read(section, key);
    if (!v)
        return fallback;
    return ParseInt(*v).value_or(fallback);
}

bool CSettings::WriteInt(std::string_view section, std::string_view key, long value) {
    return WriteString(section, key, std::to_string(value));
}
