// Stored texts as labels show them.
#pragma once

#include <cstddef>
#include <string>

// The stored text translated to UTF-8.
std::string TranslatedText(const char* stored, std::size_t length);

// The label of a text run: the text between quotes, cut to 46 characters and "..." when it
// has 48 or more. Characters are counted in the translated (UTF-8) text.
std::string TextExcerpt(const char* stored, std::size_t length);
