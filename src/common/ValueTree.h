// A value as a description gives it: a number, a text, a list or named members, nested. It
// carries described values from the file form that reads them to the layer that knows what
// they mean, without either knowing the other.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

struct ValueTree {
    enum class Type { Number, Text, Bool, List, Members };

    Type type = Type::Members;
    double number = 0; // Number; Bool: 0 or 1
    std::string text;  // Text
    std::vector<ValueTree> list;
    std::vector<std::pair<std::string, ValueTree>> members; // in the order given

    bool Is(Type t) const { return type == t; }
    // The member of that name, or null.
    const ValueTree* Find(std::string_view name) const {
        for (const auto& [key, value] : members)
            if (key == name)
                return &value;
        return nullptr;
    }
};
