// A value as a description gives it: a number, a text, a list or named members, nested. It
// carries described values from the file form that reads them to the layer that knows what
// they mean, without either knowing the other.
#pragma once

#include <string>
#include <string_view>
#include <vector>

struct ValueTree {
    enum class Type { Number, Text, Bool, List, Members };
    struct Member; // a name and its value, defined below: a tree holds trees

    Type type = Type::Members;
    double number = 0; // Number; Bool: 0 or 1
    std::string text;  // Text
    std::vector<ValueTree> list;
    std::vector<Member> members; // in the order given

    bool Is(Type t) const { return type == t; }
    // The member of that name, or null.
    const ValueTree* Find(std::string_view name) const;
};

struct ValueTree::Member {
    std::string name;
    ValueTree value;
};

inline const ValueTree* ValueTree::Find(std::string_view name) const {
    for (const Member& m : members)
        if (m.name == name)
            return &m.value;
    return nullptr;
}
