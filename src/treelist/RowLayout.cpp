#include "treelist/RowLayout.h"

#include "treelist/TreeListNode.h"

namespace treelist {

RowLayout ComputeRowLayout(const CTreeListNode& node, std::uint32_t styleBits, int indent,
                           int textWidth) {
    RowLayout l;
    int x = 0;
    if (styleBits & style::kLines) {
        x += (node.GetLevel() + 1) * indent;
    }
    if (styleBits & style::kCheckBoxes) {
        x += indent;
        if (node.HasCheckBox()) {
            l.checkLeft = 0;
        }
    }
    if (styleBits & style::kLines) {
        l.connectorLeft = x - indent;
    }
    l.imageLeft = x;
    if (const auto image = node.GetImage()) {
        l.imageWidth = imagecache::Entry(image->entry).cellWidth;
        x += l.imageWidth + 5;
    }
    l.labelLeft = x;
    l.labelRectLeft = x - 2;
    l.labelRectRight = x + textWidth + 2;
    return l;
}

std::uint32_t DrawState(const CTreeListNode& node, bool selected) {
    std::uint32_t state = node.Flags();
    if (node.HasChildren()) {
        state |= rowstate::kHasChildren;
    }
    if (node.ShowsExpandBox()) {
        state |= rowstate::kExpandBox;
    }
    if (selected) {
        state |= rowstate::kSelected;
    }
    return state;
}

int ConnectorGlyph(const CTreeListNode& node, bool boxPressed) {
    int g = node.GetLevel() == 0 ? 14 : (node.GetNextSibling() ? 0 : 7);
    if (node.ShowsExpandBox()) {
        g += (node.HasChildren() ? 3 : 0) + (boxPressed ? 1 : 0);
    } else {
        g += 6;
    }
    return g;
}

std::vector<int> AncestorGlyphs(const CTreeListNode& node) {
    std::vector<int> glyphs;
    for (const CTreeListNode* a = node.GetParent(); a && a->GetLevel() >= 0; a = a->GetParent()) {
        glyphs.push_back(a->GetLevel() > 0 && a->GetNextSibling() ? glyph::kVerticalLine
                                                                  : glyph::kBlank);
    }
    return glyphs;
}

int CheckGlyph(const CTreeListNode& node, bool pressed) {
    int g = node.IsChecked() ? 31 : 28;
    if (!node.IsCheckEnabled()) {
        g += 2;
    } else if (pressed) {
        g += 1;
    }
    return g;
}

} // namespace treelist
