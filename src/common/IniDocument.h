// The text of a settings file held as its lines, with lookups by section and key.
//
// Every line is kept as it was read, so writing back changes only the lines that were set or
// deleted: comments, blank lines, unknown sections and malformed lines survive untouched. Each
// line keeps its line end (CR LF or LF); new lines end as the first line of the text does.
//
// Line forms (blanks around the line, the name and the value are ignored):
//   [Section]        a section header, optionally followed by a comment
//   key=value        a key of the section above it; all after the '=' is the value, ';' too
//   ;text or #text   a comment
//   anything else    malformed: never read, always written back as it was
// Key lines before the first header belong to no section; like malformed lines they are kept
// but never read. Section and key names compare without regard to ASCII letter case. A section
// may appear more than once; its parts are read as one section, the first key of a name wins.
//
// Values: a value written between double quotes is unquoted and its escapes \\ \" \n \r \t and
// \xHH are decoded. Values that the plain form would not keep (blanks at either end, control
// characters, a leading double quote) are written that way, so every value round-trips.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/Ascii.h"

class CIniDocument {
public:
    void Parse(std::string_view text);
    std::string Serialize() const;

    std::optional<std::string> Get(std::string_view section, std::string_view key) const;
    // False (and nothing changed) for a name that a settings file cannot hold: see ValidName.
    bool Set(std::string_view section, std::string_view key, std::string_view value);
    // Whether anything was removed. Every line of the key in every part of the section goes.
    bool DeleteKey(std::string_view section, std::string_view key);
    // Whether anything was removed. Removes each header of that name and the lines under it.
    bool DeleteSection(std::string_view section);
    // The keys of a section in file order, each once, spelled as first written.
    std::vector<std::string> Keys(std::string_view section) const;
    // The sections in file order, each once, spelled as first written.
    std::vector<std::string> Sections() const;
    // What a reader may want to report: "line N: text" for each malformed line and each key
    // line before the first header (both kept, never read).
    std::vector<std::string> Problems() const;

    // A section name is not empty, has no blanks at its ends, no control character and no ']'.
    static bool ValidSectionName(std::string_view name);
    // A key name is not empty, has no blanks at its ends, no control character and no '=', and
    // does not start with '[', ';' or '#'.
    static bool ValidKeyName(std::string_view name);

    static std::string EncodeValue(std::string_view value);
    static std::string DecodeValue(std::string_view stored);

private:
    enum class Kind { Blank, Comment, Section, Key, Malformed };
    struct Line {
        std::string text; // the line as read or written, without its line end
        Kind kind = Kind::Blank;
        std::string name;  // section or key name, trimmed
        std::string value; // key lines: the stored value, trimmed, not yet decoded
        bool crlf = false; // ends in CR LF
    };
    static Line Classify(std::string text, bool crlf);
    // Index of the key line of `key` in `section`, or npos. Lines before the first header are
    // in no section and are never found.
    std::size_t FindKey(std::string_view section, std::string_view key) const;
    // Where a new key of the first part of `section` goes, or npos when there is no such section.
    std::size_t InsertionPoint(std::string_view section) const;

    std::vector<Line> lines_;
    bool byteOrderMark_ = false;
    bool finalNewline_ = true;
    bool crlf_ = false; // new lines end in CR LF
};
