#include "store/NoteKinds.h"

namespace {

using Title = NoteKind::Title;
constexpr const char* kUninitialized = "??? (uninitialized)";

struct Row {
    NodeTypeId type;
    NoteKind kind;
};

constexpr Row kKinds[] = {
    {19, {kDesignStrip, 0, Title::DesignName, nullptr}},
    {20, {kDesignStrip, 9, Title::DesignName, nullptr}},
    {21, {kDesignStrip, 1, Title::DesignName, nullptr}},
    {22, {kDesignStrip, 10, Title::DesignName, nullptr}},
    {23, {kDesignStrip, 11, Title::DesignName, nullptr}},
    {24, {kDesignStrip, 2, Title::DesignName, nullptr}},
    {25, {kDesignStrip, 3, Title::Fixed, "Database Icon"}},
    {26, {kDesignStrip, 4, Title::Fixed, "ACL Note"}},
    {27, {kDesignStrip, 12, Title::DesignName, nullptr}},
    {28, {kDesignStrip, 13, Title::Fixed, "Agent Data"}},
    {29, {kDesignStrip, 6, Title::Fixed, nullptr}}, // text by class, below
    {30, {kDesignStrip, 7, Title::DesignName, nullptr}},
    {31, {kDesignStrip, 8, Title::Fixed, "Design Collection"}},
    {33, {kGeneralStrip, 13, Title::WindowTitle, nullptr}},
};

const char* HelpTitle(std::uint16_t noteClass) {
    switch (noteClass & 0x0FFF) {
    case 0x0002:
        return "Help About";
    case 0x0080:
        return "Help Index";
    case 0x0100:
        return "Help Using";
    default:
        return kUninitialized;
    }
}

} // namespace

NoteKind NoteKindOf(NodeTypeId type, std::uint16_t noteClass) {
    for (const Row& row : kKinds) {
        if (row.type != type)
            continue;
        NoteKind kind = row.kind;
        if (type == nodetype::kHelpNotes)
            kind.fixed = HelpTitle(noteClass);
        return kind;
    }
    return NoteKind{kGeneralStrip, 1, Title::Fixed, kUninitialized};
}
