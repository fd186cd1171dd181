// What the dump of one record shows a reader: its field lines, the comments that say it is
// short, and the bytes of its remaining data.
#pragma once

#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

#include "support/RecordEncoder.h"

struct ShownRecord {
    static constexpr const char* kShort = "*** Length is too short";

    std::string text;
    std::vector<std::string> fields;      // fields before remaining-data, without comments
    std::vector<std::size_t> shortFields; // those whose comment says that something is short
    bool saysShort = false;               // some comment begins with the short text
    std::size_t valuesSayShort = 0;       // comments that are the short text alone: cut values
    RecordBytes remaining;

    explicit ShownRecord(std::string dump) : text(std::move(dump)) {
        std::istringstream in(text);
        std::string line;
        bool inRemaining = false;
        while (std::getline(in, line)) {
            const std::size_t note = line.find(inRemaining ? "; " : "    ; ");
            const std::string comment = note == std::string::npos ? "" : line.substr(note);
            std::string body = line.substr(0, note);
            if (inRemaining) {
                if (body.find_first_not_of(" )") == std::string::npos)
                    inRemaining = false;
                std::replace(body.begin(), body.end(), '.', ' ');
                std::istringstream hex(body);
                std::string byte;
                while (hex >> byte)
                    if (byte.find(')') == std::string::npos)
                        remaining.push_back(std::uint8_t(std::stoul(byte, nullptr, 16)));
            } else if (body.find("(remaining-data") != std::string::npos) {
                inRemaining = true;
            } else {
                body.erase(body.find_last_not_of(" )") + 1);
                const std::size_t from = body.find_first_not_of(' ');
                if (from != std::string::npos) {
                    // A value too long for its line goes on in the lines after it.
                    if (body[from] == '(' || fields.empty())
                        fields.push_back(body);
                    else
                        fields.back() += " " + body.substr(from);
                    if (comment.find(kShort) != std::string::npos)
                        shortFields.push_back(fields.size() - 1);
                } else if (!fields.empty() && comment.find(kShort) != std::string::npos) {
                    // A line of closing parentheses: its comment is of the field it closes.
                    shortFields.push_back(fields.size() - 1);
                }
            }
            for (std::size_t at = comment.find(kShort); at != std::string::npos;
                 at = comment.find(kShort, at + 1)) {
                saysShort = true;
                const std::string after = comment.substr(at + std::string(kShort).size(), 2);
                valuesSayShort += after.empty() || after == " *";
            }
        }
    }

    bool HasField(const std::string& line) const {
        return std::find(fields.begin(), fields.end(), line) != fields.end();
    }
    bool SaysShortAt(std::size_t field) const {
        return std::find(shortFields.begin(), shortFields.end(), field) != shortFields.end();
    }
};
