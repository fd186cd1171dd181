// Finds where in a JSON text a value lies, by its path ("notes[3].items[1].name"), so that
// messages about a description can name the line. The text must be valid JSON.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_map>

namespace vlt::builder {

class JsonLocator {
public:
    explicit JsonLocator(std::string_view text);
    // The 1-based line of the value at `path`, or of its nearest enclosing value that has one;
    // 0 when not even the root is known.
    std::size_t LineOf(std::string path) const;

private:
    void Value(const std::string& path);
    void Skip();
    std::string String();

    std::string_view text_;
    std::size_t pos_ = 0;
    std::unordered_map<std::string, std::size_t> offsets_;
};

} // namespace vlt::builder
