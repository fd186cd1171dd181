// Building the summary buffer handed to search callbacks (layout in store/api/Search.h).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vlt {

class SummaryBuilder {
public:
    // False (and nothing added) when the item would not fit the 16-bit lengths of the buffer;
    // later, smaller items may still be added.
    bool add(std::string_view name, std::string_view value);
    bool addText(std::string_view name, std::string_view text);
    std::vector<std::uint8_t> bytes() const;
    void clear() {
        entries_.clear();
        total_ = 4;
    }

private:
    struct Entry {
        std::string name;
        std::string value; // type word first
    };
    std::vector<Entry> entries_;
    std::size_t total_ = 4;
};

} // namespace vlt
