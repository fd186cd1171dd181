// Which help page, and which place on it, a help context number opens.
//
// Context numbers come from three sources:
//   node types   (help number of the type + 112) x 4096, see TypeHelpContext
//   items        the context of the Items type + 1 + the item's type number
//   records      the base of the record's family + its signature (16 bits)
// Their ranges do not overlap, except that an item number could in theory land on a node type's
// context; the node type wins then. Anything else, 0 included, opens the contents page.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

struct HelpTopic {
    std::string page;   // a file name among the help pages, e.g. "databases.html"
    std::string anchor; // a place on that page; empty for its top
    friend bool operator==(const HelpTopic&, const HelpTopic&) = default;
};

namespace help {

constexpr std::string_view kContentsPage = "contents.html";

// The help context bases of the record families.
constexpr std::uint32_t kRichTextBase = 0xB0000;
constexpr std::uint32_t kNavigatorDrawingBase = 0xC0000;
constexpr std::uint32_t kQueryBase = 0xD0000;
constexpr std::uint32_t kActionBase = 0xE0000;
constexpr std::uint32_t kNavigatorDatasetBase = 0xF0000;

// The page of a node type; the contents page for ids past the registry.
std::string_view PageOfType(unsigned typeId);
// The anchor of a record signature on its family's page.
std::string RecordAnchor(std::uint16_t signature);
// The topic a context number opens.
HelpTopic TopicForContext(std::uint32_t context);
// Every page the mapping can name, the contents page first, each once.
std::span<const std::string_view> Pages();

} // namespace help
