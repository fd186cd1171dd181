// What a note node looks like by its node type: the image strip and icon, and where its title
// comes from.
#pragma once

#include <cstdint>

#include "tree/NodeImageIndex.h"
#include "tree/NodeTypes.h"

struct NoteKind {
    enum class Title : std::uint8_t {
        DesignName,  // the "$TITLE" text, "(Untitled)" when empty
        Fixed,       // the text below
        WindowTitle, // the document's window title, computed from its form
    };
    ImageStrip strip;
    std::uint16_t icon;
    Title title;
    const char* fixed; // Title::Fixed only
};

// The kind of a note of that node type; help notes are told apart by their class. Types that
// are no note get the general strip, icon 1 and "??? (uninitialized)".
NoteKind NoteKindOf(NodeTypeId type, std::uint16_t noteClass);
