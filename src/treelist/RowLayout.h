// Where the parts of a row go, and which glyph of the control's glyph strip each part uses.
// Drawing and hit testing share these numbers so that a click lands where things are drawn.
#pragma once

#include <cstdint>
#include <vector>

class CTreeListNode;

namespace treelist {

namespace style {
constexpr std::uint32_t kEnableMask = 0x7; // enabled while any of these is set
constexpr std::uint32_t kCheckBoxes = 0x8;
constexpr std::uint32_t kHorizontalExtent = 0x10;
constexpr std::uint32_t kLines = 0x20; // lines, expand boxes and indentation by level
constexpr std::uint32_t kDefault = 0x23;
} // namespace style

// Logical x positions (before horizontal scrolling) within a row.
struct RowLayout {
    int connectorLeft = -1; // the connector glyph's cell; -1 without lines
    int checkLeft = -1;     // the check box cell; -1 without one
    int imageLeft = 0;      // first pixel of the image, or of the label without an image
    int imageWidth = 0;     // cell width; 0 without an image
    int labelLeft = 0;      // first pixel of the label text
    int labelRectLeft = 0;  // the label rectangle, which selection highlights
    int labelRectRight = 0;
};

// textWidth: the measured width of the label (of six blanks for an empty label).
RowLayout ComputeRowLayout(const CTreeListNode& node, std::uint32_t styleBits, int indent,
                           int textWidth);

// Row state while drawing: the node's flags plus 0x1 (shows an expand box), 0x2 (has children)
// and 0x20 (selected). These bits are computed, never stored in the node.
namespace rowstate {
constexpr std::uint32_t kExpandBox = 0x1;
constexpr std::uint32_t kHasChildren = 0x2;
constexpr std::uint32_t kSelected = 0x20;
} // namespace rowstate
std::uint32_t DrawState(const CTreeListNode& node, bool selected);

// Glyph strip cells.
namespace glyph {
constexpr int kVerticalLine = 21;
constexpr int kBlank = 22;
} // namespace glyph

// The connector cell left of the image: 14.. for level 0, 0.. with a next sibling, 7.. for a
// last child; +3 expanded box, +0 collapsed box, either +1 while pressed; +6 without a box.
int ConnectorGlyph(const CTreeListNode& node, bool boxPressed);
// Cells further left, one per ancestor below the hidden root, nearest ancestor first.
std::vector<int> AncestorGlyphs(const CTreeListNode& node);
// The check box cell: 31 checked, 28 not; +2 disabled, else +1 while pressed.
int CheckGlyph(const CTreeListNode& node, bool pressed);

} // namespace treelist
