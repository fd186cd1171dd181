// Menu item texts that name a node type ("&Hide All: Forms"). The menu string of a command is
// looked up once in the main window's menus and cached; "|" splits it into the named text and
// the plain text used when the type has no display name.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "tree/NodeTypes.h"
#include "treelist/CommandTarget.h"

class CMenuStringSource {
public:
    virtual ~CMenuStringSource() = default;
    // The menu string of the command in any submenu of the current menu; nullopt when none has it.
    virtual std::optional<std::string> FindMenuString(std::uint32_t id) const = 0;
};

namespace menutexts {

struct Texts {
    std::string named; // before the first "|", with %s for the type's name
    std::string plain; // after it, or the whole string without a "|"
};

// Sets where menu strings come from (null: none) and forgets the cache.
void SetSource(const CMenuStringSource* source);
const Texts& For(std::uint32_t id);
// Named text with the type's name and enabled, or the plain text and disabled.
void UpdateNamed(CCmdUI& ui, NodeTypeId type);
// The plain text, disabled (when no node handles the command).
void UpdatePlain(CCmdUI& ui);

} // namespace menutexts
