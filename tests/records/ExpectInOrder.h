// Checks of dumps by their parts: a part anywhere, and parts in the order the dump shows them.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

inline bool Has(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

// Each part must come after the one before.
inline void ExpectInOrder(const std::string& dump, const std::vector<std::string>& parts) {
    std::size_t at = 0;
    for (const std::string& part : parts) {
        const std::size_t found = dump.find(part, at);
        ASSERT_NE(found, std::string::npos) << "missing or out of order: " << part << "\n" << dump;
        at = found + part.size();
    }
}
