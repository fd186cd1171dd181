// Checks of a text by its parts: each part that must be there, and each that must not.
#pragma once

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>

inline void ExpectParts(const std::string& text, std::initializer_list<std::string> present,
                        std::initializer_list<std::string> absent = {}) {
    for (const std::string& part : present)
        EXPECT_NE(text.find(part), std::string::npos) << "missing: " << part << "\n" << text;
    for (const std::string& part : absent)
        EXPECT_EQ(text.find(part), std::string::npos) << "not wanted: " << part << "\n" << text;
}
