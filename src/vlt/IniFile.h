// A small reader of settings files: "[Section]" lines, "key=value" lines, comment lines starting
// with ';' or '#'. Section and key names match without regard to letter case; values keep their
// case and lose the blanks around them. Sections keep the order of the file.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vlt {

class IniFile {
public:
    struct Entry {
        std::string key;
        std::string value;
    };
    struct Section {
        std::string name;
        std::vector<Entry> entries;
        // The value of key, or null.
        const std::string* Find(std::string_view key) const;
    };

    // Reads a file; a missing or unreadable file gives an empty result and false.
    bool Load(const std::string& path);
    void Parse(std::string_view text);

    const std::vector<Section>& sections() const { return sections_; }
    const Section* FindSection(std::string_view name) const;
    const std::string* Find(std::string_view section, std::string_view key) const;
    // Lines that were neither a section, a key nor a comment: "line N: text".
    const std::vector<std::string>& problems() const { return problems_; }

private:
    std::vector<Section> sections_;
    std::vector<std::string> problems_;
};

bool EqualsNoCase(std::string_view a, std::string_view b);

} // namespace vlt
