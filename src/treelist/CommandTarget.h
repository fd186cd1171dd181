// Command routing without a toolkit: a command target owns a constant table of command ids with
// a handler and an optional update-UI query, chained to its base class's table. The document
// offers a command to its own table first and then to its current node.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>

// What an update-UI query decides about one menu item or button.
struct CCmdUI {
    std::uint32_t id = 0;
    bool enabled = true;
    std::optional<bool> checked;     // unset: leave the check mark as it is
    std::optional<std::string> text; // unset: leave the text as it is
};

class CCommandTarget;

struct CommandEntry {
    std::uint32_t id;
    void (*handler)(CCommandTarget&);         // null: the entry only answers update queries
    void (*update)(CCommandTarget&, CCmdUI&); // null: enabled whenever there is a handler
};

struct CommandMap {
    const CommandMap* base; // the base class's map, null at the top
    std::span<const CommandEntry> entries;
};

class CCommandTarget {
public:
    virtual ~CCommandTarget() = default;

    // Runs the handler of the command; false when this target has none.
    bool OnCommand(std::uint32_t id);
    // Fills ui for the command; false when this target does not know the command.
    bool OnUpdateCommand(CCmdUI& ui);

protected:
    virtual const CommandMap& GetCommandMap() const;

private:
    const CommandEntry* Find(std::uint32_t id, bool wantHandler) const;
};
