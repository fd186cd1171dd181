// Nodes pick their picture by a strip of node images (a bitmap pair) and an index in it.
#pragma once

#include <cstdint>

#include "tree/NodeTypes.h"
#include "tree/TypedNode.h"

// The strips (bitmap, mask) store nodes draw from.
struct ImageStrip {
    std::uint16_t bitmap;
    std::uint16_t mask;
};
constexpr ImageStrip kGeneralStrip{113, 130};
constexpr ImageStrip kDesignStrip{115, 134};
constexpr ImageStrip kAccessStrip{114, 131};
constexpr ImageStrip kStubStrip{120, 136};

inline void SetStripImage(CTypedNode& node, ImageStrip strip, std::uint16_t index) {
    node.SetImage(NodeImage{imagecache::Derive(0, strip.bitmap, strip.mask), index});
}
// Keeps the node's strip (the general one unless changed) and picks another index in it.
inline void SetImageIndex(CTypedNode& node, std::uint16_t index) {
    NodeImage image = node.GetImage().value_or(NodeImage{});
    image.strip = index;
    node.SetImage(image);
}
// The picture the type registry gives the type.
inline void SetTypeImage(CTypedNode& node, NodeTypeId type) {
    const NodeTypeDescriptor& d = NodeTypeOf(type);
    SetStripImage(node, ImageStrip{d.bitmap, d.maskBitmap}, d.stripIndex);
}
