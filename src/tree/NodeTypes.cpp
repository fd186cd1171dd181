#include "tree/NodeTypes.h"

#include <array>

namespace {

// One row per type id, in id order (the index is checked against the id at compile time).
constexpr std::array<NodeTypeDescriptor, kNodeTypeCount> kRegistry{{
    {0, 0, 0, 0, nullptr},
    {1, 113, 130, 20, "Recently Peeked Databases"},
    {2, 113, 130, 23, "Local Machine"},
    {3, 113, 130, 22, "Recently Peeked Servers"},
    {4, 0, 0, 0, nullptr},
    {5, 113, 130, 3, "Server"},
    {6, 113, 130, 3, "Machines of Any Kind"},
    {7, 113, 130, 19, "Server Information"},
    {8, 113, 130, 4, "Directories"},
    {9, 113, 130, 6, "Databases"},
    {10, 113, 130, 7, "Templates"},
    {11, 113, 130, 6, "Databases of Any Kind"},
    {12, 113, 130, 21, "Recently Peeked Notes"},
    {13, 113, 130, 8, "Database Information"},
    {14, 113, 130, 12, "Access Control Lists"},
    {15, 114, 131, 7, "ACL Info"},
    {16, 114, 131, 3, "Access Control Entries"},
    {17, 114, 131, 8, "Roles"},
    {18, 113, 130, 9, "Design Elements"},
    {19, 115, 134, 0, "Forms"},
    {20, 115, 134, 9, "Subforms"},
    {21, 115, 134, 1, "Views"},
    {22, 115, 134, 10, "Navigators"},
    {23, 115, 134, 11, "Folders"},
    {24, 115, 134, 2, "Shared Fields"},
    {25, 115, 134, 3, "Database Icons"},
    {26, 115, 134, 4, "ACL Notes"},
    {27, 115, 134, 12, "Macros"},
    {28, 115, 134, 13, "Agent Data"},
    {29, 115, 134, 6, "Help Notes"},
    {30, 115, 134, 7, "Selective Replication Formulas"},
    {31, 115, 134, 8, "Design Collection"},
    {32, 113, 130, 10, "Documents"},
    {33, 113, 130, 13, "Document"},
    {34, 113, 130, 11, "Deletion Stubs"},
    {35, 120, 136, 0, "Deletion Stub"},
    {36, 0, 0, 0, nullptr},
    {37, 113, 130, 18, "Note of Any Kind"},
    {38, 113, 130, 14, "Document Information"},
    {39, 116, 135, 0, "Items"},
    {40, 117, 133, 19, "CD Records"},
    {41, 113, 130, 15, "Objects"},
    {42, 0, 0, 0, nullptr},
}};

constexpr bool RegistryInIdOrder() {
    for (unsigned i = 0; i < kRegistry.size(); ++i) {
        if (kRegistry[i].id != i) {
            return false;
        }
    }
    return true;
}
static_assert(RegistryInIdOrder());
static_assert(kTypeLetters.size() == kNodeTypeCount);

constexpr std::array<std::uint8_t, kNodeTypeCount> kHelpNumbers{
    0,  41, 2,  43, 1,  3,  4,  5,  6,  7,  8,  9,  42, 10, 11, 39, 12, 13, 14, 15, 35, 16,
    36, 37, 17, 18, 19, 20, 38, 21, 22, 23, 24, 25, 26, 27, 28, 29, 30, 31, 32, 33, 34};

// First matching row wins; flag 0 means the row needs no flag character.
struct NoteClassRow {
    std::uint16_t noteClass;
    char flag;
    NodeTypeId type;
};
constexpr NoteClassRow kNoteClassRows[] = {
    {0x0004, 'U', nodetype::kSubforms},
    {0x0008, 'G', nodetype::kNavigators},
    {0x0008, 'F', nodetype::kFolders},
    {0x0001, 0, nodetype::kDocument},
    {0x0002, 0, nodetype::kHelpNotes},
    {0x0004, 0, nodetype::kForms},
    {0x0008, 0, nodetype::kViews},
    {0x0010, 0, nodetype::kDatabaseIcons},
    {0x0020, 0, nodetype::kDesignCollection},
    {0x0040, 0, nodetype::kAclNotes},
    {0x0080, 0, nodetype::kHelpNotes},
    {0x0100, 0, nodetype::kHelpNotes},
    {0x0200, 'X', nodetype::kAgentData},
    {0x0200, 0, nodetype::kMacros},
    {0x0400, 0, nodetype::kSharedFields},
    {0x0800, 0, nodetype::kReplicationFormulas},
};

} // namespace

const NodeTypeDescriptor& NodeTypeOf(unsigned id) {
    return id < kRegistry.size() ? kRegistry[id] : kRegistry[0];
}

char TypeLetter(unsigned id) {
    return id < kTypeLetters.size() ? kTypeLetters[id] : '*';
}

NodeTypeId TypeFromLetter(char c) {
    const auto at = kTypeLetters.find(c);
    return at == std::string_view::npos ? 0 : static_cast<NodeTypeId>(at);
}

std::uint32_t TypeHelpContext(unsigned id) {
    const unsigned number = id < kHelpNumbers.size() ? kHelpNumbers[id] : 0;
    return (number + 112u) * 4096u;
}

NodeTypeId NoteTypeFromClass(std::uint16_t noteClass, std::optional<std::string_view> flags) {
    const std::uint16_t cls = noteClass & 0x0FFF;
    for (const auto& row : kNoteClassRows) {
        if (row.noteClass != cls) {
            continue;
        }
        if (row.flag == 0) {
            return row.type;
        }
        if (flags && flags->find(row.flag) != std::string_view::npos) {
            return row.type;
        }
    }
    return nodetype::kInternal;
}
