#include "vlt/builder/JsonLocator.h"

#include <algorithm>

namespace vlt::builder {

JsonLocator::JsonLocator(std::string_view text) : text_(text) {
    Value("");
}

void JsonLocator::Skip() {
    while (pos_ < text_.size() && (text_[pos_] == ' ' || text_[pos_] == '\n' ||
                                   text_[pos_] == '\r' || text_[pos_] == '\t'))
        ++pos_;
}

// A string at pos_ (just past nothing: pos_ is at its quote); escapes are kept as written,
// which is enough to name keys.
std::string JsonLocator::String() {
    std::string s;
    ++pos_;
    while (pos_ < text_.size() && text_[pos_] != '"') {
        if (text_[pos_] == '\\' && pos_ + 1 < text_.size())
            s += text_[pos_++];
        s += text_[pos_++];
    }
    ++pos_;
    return s;
}

void JsonLocator::Value(const std::string& path) {
    Skip();
    if (pos_ >= text_.size())
        return;
    offsets_.emplace(path, pos_);
    const char c = text_[pos_];
    if (c == '{') {
        ++pos_;
        for (Skip(); pos_ < text_.size() && text_[pos_] != '}'; Skip()) {
            if (text_[pos_] == ',') {
                ++pos_;
                continue;
            }
            const std::string key = String();
            Skip();
            ++pos_; // ':'
            Value(path.empty() ? key : path + "." + key);
        }
        ++pos_;
    } else if (c == '[') {
        ++pos_;
        std::size_t index = 0;
        for (Skip(); pos_ < text_.size() && text_[pos_] != ']'; Skip()) {
            if (text_[pos_] == ',') {
                ++pos_;
                continue;
            }
            Value(path + "[" + std::to_string(index++) + "]");
        }
        ++pos_;
    } else if (c == '"') {
        String();
    } else {
        while (pos_ < text_.size() &&
               std::string_view(",]} \n\r\t").find(text_[pos_]) == std::string_view::npos)
            ++pos_;
    }
}

std::size_t JsonLocator::LineOf(std::string path) const {
    while (true) {
        auto it = offsets_.find(path);
        if (it != offsets_.end())
            return 1 + static_cast<std::size_t>(
                           std::count(text_.begin(), text_.begin() + it->second, '\n'));
        if (path.empty())
            return 0;
        const std::size_t cut = path.find_last_of(".[");
        path.resize(cut == std::string::npos ? 0 : cut);
    }
}

} // namespace vlt::builder
