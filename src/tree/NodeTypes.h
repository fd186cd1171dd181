// Node types: the 43 type ids, their registry of images and display names, their letters for
// the settings, their help numbers, and the classification of a note into a type.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

using NodeTypeId = std::uint8_t;

// Type ids that code names directly. The full list is the registry table in NodeTypes.cpp.
namespace nodetype {
constexpr NodeTypeId kInternal = 0;
constexpr NodeTypeId kRecentDatabases = 1;
constexpr NodeTypeId kLocalMachine = 2;
constexpr NodeTypeId kRecentServers = 3;
constexpr NodeTypeId kServerList = 4;
constexpr NodeTypeId kServer = 5;
constexpr NodeTypeId kDatabases = 9;
constexpr NodeTypeId kRecentNotes = 12;
constexpr NodeTypeId kAccessControl = 14;
constexpr NodeTypeId kDesignElements = 18;
constexpr NodeTypeId kForms = 19;
constexpr NodeTypeId kSubforms = 20;
constexpr NodeTypeId kViews = 21;
constexpr NodeTypeId kNavigators = 22;
constexpr NodeTypeId kFolders = 23;
constexpr NodeTypeId kSharedFields = 24;
constexpr NodeTypeId kDatabaseIcons = 25;
constexpr NodeTypeId kAclNotes = 26;
constexpr NodeTypeId kMacros = 27;
constexpr NodeTypeId kAgentData = 28;
constexpr NodeTypeId kHelpNotes = 29;
constexpr NodeTypeId kReplicationFormulas = 30;
constexpr NodeTypeId kDesignCollection = 31;
constexpr NodeTypeId kDocuments = 32;
constexpr NodeTypeId kDocument = 33;
constexpr NodeTypeId kDocumentSet = 36;
constexpr NodeTypeId kItems = 39;
constexpr NodeTypeId kError = 42;
} // namespace nodetype

constexpr unsigned kNodeTypeCount = 43; // ids 0..42

struct NodeTypeDescriptor {
    NodeTypeId id;
    std::uint16_t bitmap;     // 0 = no image
    std::uint16_t maskBitmap; // second bitmap of the pair
    std::uint16_t stripIndex;
    const char* name; // null for the internal types
};

// The descriptor of a type id; ids past the registry give the descriptor of type 0.
const NodeTypeDescriptor& NodeTypeOf(unsigned id);

// The type letter string: index = type id.
constexpr std::string_view kTypeLetters = "*WLM*S*kdDT*wHAlERgfuvnFsiamtprcQqXx**hICo*";

// The letter of a type id ('*' for internal types and ids past the registry).
char TypeLetter(unsigned id);
// The first type id whose letter is c; 0 for a character that is not in the letter string.
NodeTypeId TypeFromLetter(char c);

// Help context of a type: (help number + 112) x 4096.
std::uint32_t TypeHelpContext(unsigned id);

// The type of a note from its class and, when known, the text of its "$Flags" item. Without the
// flags only rows that need no flag character can match. No match gives type 0.
NodeTypeId NoteTypeFromClass(std::uint16_t noteClass, std::optional<std::string_view> flags);
