#include "common/IniDocument.h"

#include <algorithm>
#include <cstdio>

#include "common/Ascii.h"

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

bool IsControl(char c) {
    const auto u = static_cast<unsigned char>(c);
    return u < 0x20 || u == 0x7F;
}

std::string_view Trim(std::string_view s) {
    while (!s.empty() && IsBlank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && (IsBlank(s.back()) || s.back() == '\r'))
        s.remove_suffix(1);
    return s;
}

} // namespace

CIniDocument::Line CIniDocument::Classify(std::string text, bool crlf) {
    Line line;
    line.crlf = crlf;
    const std::string_view t = Trim(text);
    if (t.empty()) {
        line.kind = Kind::Blank;
    } else if (t.front() == ';' || t.front() == '#') {
        line.kind = Kind::Comment;
    } else if (t.front() == '[') {
        // A header must close on its own line; "[name" or "[]" is malformed.
        const std::size_t close = t.find(']');
        const std::string_view name =
            close == std::string_view::npos ? std::string_view{} : Trim(t.substr(1, close - 1));
        const std::string_view tail =
            close == std::string_view::npos ? std::string_view{} : Trim(t.substr(close + 1));
        const bool tailOk = close != std::string_view::npos &&
                            (tail.empty() || tail.front() == ';' || tail.front() == '#');
        line.kind = (tailOk && !name.empty()) ? Kind::Section : Kind::Malformed;
        line.name = name;
    } else if (const std::size_t eq = t.find('='); eq != std::string_view::npos && eq > 0) {
        line.kind = Kind::Key;
        line.name = Trim(t.substr(0, eq));
        line.value = Trim(t.substr(eq + 1));
        if (line.name.empty())
            line.kind = Kind::Malformed;
    } else {
        line.kind = Kind::Malformed;
    }
    line.text = std::move(text);
    return line;
}

void CIniDocument::Parse(std::string_view text) {
    lines_.clear();
    byteOrderMark_ = text.starts_with(kByteOrderMark);
    if (byteOrderMark_)
        text.remove_prefix(kByteOrderMark.size());
    finalNewline_ = text.empty() || text.back() == '\n';
    // New lines end as the first line does.
    const std::size_t firstEnd = text.find('\n');
    crlf_ = firstEnd != std::string_view::npos && firstEnd > 0 && text[firstEnd - 1] == '\r';
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view raw = text.substr(0, end);
        bool crlf = end == std::string_view::npos ? crlf_ : false;
        if (raw.ends_with('\r')) {
            raw.remove_suffix(1);
            crlf = true;
        }
        lines_.push_back(Classify(std::string(raw), crlf));
        if (end == std::string_view::npos)
            break;
        text.remove_prefix(end + 1);
    }
}

std::string CIniDocument::Serialize() const {
    std::string out;
    if (byteOrderMark_)
        out += kByteOrderMark;
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        out += lines_[i].text;
        if (i + 1 < lines_.size() || finalNewline_)
            out += lines_[i].crlf ? "\r\n" : "\n";
    }
    return out;
}

std::size_t CIniDocument::FindKey(std::string_view section, std::string_view key) const {
    bool inSection = false;
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        const Line& l = lines_[i];
        if (l.kind == Kind::Section)
            inSection = EqualsNoCase(l.name, section);
        else if (inSection && l.kind == Kind::Key && EqualsNoCase(l.name, key))
            return i;
    }
    return std::string::npos;
}

std::size_t CIniDocument::InsertionPoint(std::string_view section) const {
    std::size_t i = 0;
    while (i < lines_.size() &&
           !(lines_[i].kind == Kind::Section && EqualsNoCase(lines_[i].name, section)))
        ++i;
    if (i == lines_.size())
        return std::string::npos;
    // After the last line that holds something, so blank lines and comments that lead into the
    // next section stay with it.
    std::size_t at = i + 1;
    for (std::size_t j = i + 1; j < lines_.size() && lines_[j].kind != Kind::Section; ++j) {
        if (lines_[j].kind == Kind::Key || lines_[j].kind == Kind::Malformed)
            at = j + 1;
    }
    return at;
}

std::optional<std::string> CIniDocument::Get(std::string_view section, std::string_view key) const {
    const std::size_t i = FindKey(section, key);
    if (i == std::string::npos)
        return std::nullopt;
    return DecodeValue(lines_[i].value);
}

bool CIniDocument::Set(std::string_view section, std::string_view key, std::string_view value) {
    if (!ValidSectionName(section) || !ValidKeyName(key))
        return false;
    const std::string stored = EncodeValue(value);
    const std::size_t found = FindKey(section, key);
    if (found != std::string::npos) {
        // Keep the key's spelling as the file has it.
        lines_[found] = Classify(lines_[found].name + "=" + stored, lines_[found].crlf);
        return true;
    }
    Line line = Classify(std::string(key) + "=" + stored, crlf_);
    const std::size_t at = InsertionPoint(section);
    if (at != std::string::npos) {
        lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(at), std::move(line));
        return true;
    }
    if (!lines_.empty() && lines_.back().kind != Kind::Blank)
        lines_.push_back(Classify("", crlf_));
    lines_.push_back(Classify("[" + std::string(section) + "]", crlf_));
    lines_.push_back(std::move(line));
    finalNewline_ = true;
    return true;
}

bool CIniDocument::DeleteKey(std::string_view section, std::string_view key) {
    bool removed = false;
    for (std::size_t i; (i = FindKey(section, key)) != std::string::npos; removed = true)
        lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(i));
    return removed;
}

bool CIniDocument::DeleteSection(std::string_view section) {
    const std::size_t before = lines_.size();
    bool inSection = false;
    std::erase_if(lines_, [&](const Line& l) {
        if (l.kind == Kind::Section)
            inSection = EqualsNoCase(l.name, section);
        return inSection;
    });
    return lines_.size() != before;
}

std::vector<std::string> CIniDocument::Keys(std::string_view section) const {
    std::vector<std::string> keys;
    bool inSection = false;
    for (const Line& l : lines_) {
        if (l.kind == Kind::Section)
            inSection = EqualsNoCase(l.name, section);
        else if (inSection && l.kind == Kind::Key &&
                 std::none_of(keys.begin(), keys.end(),
                              [&](const std::string& k) { return EqualsNoCase(k, l.name); }))
            keys.push_back(l.name);
    }
    return keys;
}

std::vector<std::string> CIniDocument::Sections() const {
    std::vector<std::string> names;
    for (const Line& l : lines_) {
        if (l.kind == Kind::Section &&
            std::none_of(names.begin(), names.end(),
                         [&](const std::string& n) { return EqualsNoCase(n, l.name); }))
            names.push_back(l.name);
    }
    return names;
}

std::vector<std::string> CIniDocument::Problems() const {
    std::vector<std::string> problems;
    bool inSection = false;
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        const Line& l = lines_[i];
        inSection = inSection || l.kind == Kind::Section;
        if (l.kind == Kind::Malformed || (l.kind == Kind::Key && !inSection))
            problems.push_back("line " + std::to_string(i + 1) + ": " + std::string(Trim(l.text)));
    }
    return problems;
}

bool CIniDocument::ValidSectionName(std::string_view name) {
    return !name.empty() && Trim(name).size() == name.size() &&
           std::none_of(name.begin(), name.end(), [](char c) { return IsControl(c) || c == ']'; });
}

bool CIniDocument::ValidKeyName(std::string_view name) {
    return !name.empty() && Trim(name).size() == name.size() && name.front() != '[' &&
           name.front() != ';' && name.front() != '#' &&
           std::none_of(name.begin(), name.end(), [](char c) { return IsControl(c) || c == '='; });
}

std::string CIniDocument::EncodeValue(std::string_view value) {
    const bool plain = value.empty() ||
                       (!IsBlank(value.front()) && !IsBlank(value.back()) && value.front() != '"' &&
                        std::none_of(value.begin(), value.end(), IsControl));
    if (plain)
        return std::string(value);
    return '"' + EscapeText(value) + '"';
}

std::string CIniDocument::DecodeValue(std::string_view stored) {
    if (stored.size() < 2 || stored.front() != '"' || stored.back() != '"')
        return std::string(stored);
    const std::string_view body = stored.substr(1, stored.size() - 2);
    std::string out;
    for (std::size_t i = 0; i < body.size(); ++i) {
        const char c = body[i];
        if (c != '\\' || i + 1 == body.size()) {
            out += c;
            continue;
        }
        const char e = body[i + 1];
        if (e == 'x' && i + 3 < body.size() && HexDigitValue(body[i + 2]) >= 0 &&
            HexDigitValue(body[i + 3]) >= 0) {
            out += char(HexDigitValue(body[i + 2]) * 16 + HexDigitValue(body[i + 3]));
            i += 3;
            continue;
        }
        switch (e) {
        case '\\':
            out += '\\';
            break;
        case '"':
            out += '"';
            break;
        case 'n':
            out += '\n';
            break;
        case 'r':
            out += '\r';
            break;
        case 't':
            out += '\t';
            break;
        default:
            out += c;
            continue; // an unknown escape is kept as written
        }
        ++i;
    }
    return out;
}
