#include "vlt/IniFile.h"

#include <fstream>
#include <sstream>

namespace vlt {
namespace {

std::string_view Trim(std::string_view s) {
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!s.empty() && blank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && blank(s.back()))
        s.remove_suffix(1);
    return s;
}

char Lower(char c) {
    return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
}

} // namespace

bool EqualsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (Lower(a[i]) != Lower(b[i]))
            return false;
    return true;
}

const std::string* IniFile::Section::Find(std::string_view key) const {
    for (const Entry& e : entries)
        if (EqualsNoCase(e.key, key))
            return &e.value;
    return nullptr;
}

bool IniFile::Load(const std::string& path) {
    sections_.clear();
    problems_.clear();
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    std::ostringstream text;
    text << in.rdbuf();
    Parse(text.str());
    return true;
}

void IniFile::Parse(std::string_view text) {
    sections_.clear();
    problems_.clear();
    std::size_t lineNumber = 0;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view line = Trim(text.substr(0, end));
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        ++lineNumber;
        if (line.empty() || line.front() == ';' || line.front() == '#')
            continue;
        if (line.front() == '[' && line.back() == ']') {
            const std::string_view name = Trim(line.substr(1, line.size() - 2));
            if (const Section* s = FindSection(name))
                sections_.push_back(Section{s->name, {}}); // a repeated section adds its keys
            else
                sections_.push_back(Section{std::string(name), {}});
            continue;
        }
        const std::size_t eq = line.find('=');
        if (eq == std::string_view::npos || eq == 0 || sections_.empty()) {
            problems_.push_back("line " + std::to_string(lineNumber) + ": " + std::string(line));
            continue;
        }
        sections_.back().entries.push_back(
            Entry{std::string(Trim(line.substr(0, eq))), std::string(Trim(line.substr(eq + 1)))});
    }
    // Fold repeated sections into their first occurrence, so lookups see every key.
    for (std::size_t i = 0; i < sections_.size(); ++i)
        for (std::size_t j = i + 1; j < sections_.size();)
            if (EqualsNoCase(sections_[i].name, sections_[j].name)) {
                for (Entry& e : sections_[j].entries)
                    sections_[i].entries.push_back(std::move(e));
                sections_.erase(sections_.begin() + std::ptrdiff_t(j));
            } else {
                ++j;
            }
}

const IniFile::Section* IniFile::FindSection(std::string_view name) const {
    for (const Section& s : sections_)
        if (EqualsNoCase(s.name, name))
            return &s;
    return nullptr;
}

const std::string* IniFile::Find(std::string_view section, std::string_view key) const {
    const Section* s = FindSection(section);
    return s ? s->Find(key) : nullptr;
}

} // namespace vlt
