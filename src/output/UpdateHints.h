// The view-update hints: a bit set that tells a document's views, and through the tree view its
// nodes, what changed.
#pragma once

#include <cstdint>

namespace hint {
constexpr std::uint32_t kNone = 0;
// The info pane's display options; the tree view passes it to no node.
constexpr std::uint32_t kDisplayOptions = 0x01;
// The symbols switch: generic records are labelled by their symbol names.
constexpr std::uint32_t kSymbolNames = 0x02;
// Options that the labels of notes and items are made from.
constexpr std::uint32_t kNoteLabels = 0x04;
// The current node changed; the tree view passes it to no node.
constexpr std::uint32_t kCurrentNode = 0x40;
// Notes and items are to make their labels again.
constexpr std::uint32_t kRelabelNotes = 0x80;
// The recently peeked lists changed.
constexpr std::uint32_t kRecentDatabases = 0x200;
constexpr std::uint32_t kRecentServers = 0x400;
constexpr std::uint32_t kRecentNotes = 0x800;
} // namespace hint
