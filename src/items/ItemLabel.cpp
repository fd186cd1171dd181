// Item node labels and images: the name, the name and the value as text, or the name and the
// object an object item refers to.
#include <algorithm>
#include <array>
#include <cstdio>

#include "common/ByteReader.h"
#include "items/ItemNode.h"
#include "items/LockedValue.h"
#include "output/DocumentNodeOptions.h"
#include "store/api/Items.h"
#include "tree/NodeDocument.h"
#include "treelist/ImageCache.h"

namespace {

enum class LabelForm : std::uint8_t { Name, Value, Object };

constexpr int kDefaultImage = -1; // the note node's own image

struct LabelRow {
    std::uint16_t type;
    int image; // index in the item strip, or kDefaultImage
    LabelForm form;
};

constexpr std::array kLabelRows{
    LabelRow{0x500, 0, LabelForm::Value},
    LabelRow{0x501, 1, LabelForm::Value},
    LabelRow{0x300, 2, LabelForm::Value},
    LabelRow{0x301, 3, LabelForm::Value},
    LabelRow{0x400, 4, LabelForm::Value},
    LabelRow{0x401, 5, LabelForm::Value},
    LabelRow{1, 6, LabelForm::Value},
    LabelRow{0x600, 7, LabelForm::Name},
    LabelRow{0x100, kDefaultImage, LabelForm::Value},
    LabelRow{0x200, kDefaultImage, LabelForm::Value},
    LabelRow{0x700, kDefaultImage, LabelForm::Value},
    LabelRow{2, 15, LabelForm::Name},
    LabelRow{3, 12, LabelForm::Object},
    LabelRow{4, 13, LabelForm::Name},
    LabelRow{7, 13, LabelForm::Name},
    LabelRow{5, 14, LabelForm::Name},
    LabelRow{6, 16, LabelForm::Name},
    LabelRow{8, 17, LabelForm::Name},
    LabelRow{9, 18, LabelForm::Name},
    LabelRow{10, 18, LabelForm::Name},
    LabelRow{11, 18, LabelForm::Name},
    LabelRow{13, 11, LabelForm::Name},
    LabelRow{14, 19, LabelForm::Name},
    LabelRow{15, 23, LabelForm::Name},
    LabelRow{16, 28, LabelForm::Name},
    LabelRow{17, 27, LabelForm::Name},
    LabelRow{18, 20, LabelForm::Name},
    LabelRow{19, 20, LabelForm::Name},
    LabelRow{20, 21, LabelForm::Name},
    LabelRow{21, 24, LabelForm::Name},
    LabelRow{22, 26, LabelForm::Name},
    LabelRow{24, 25, LabelForm::Name},
};

constexpr LabelRow kOtherType{0, kDefaultImage, LabelForm::Name};

const LabelRow& RowOf(std::uint16_t type) {
    for (const LabelRow& row : kLabelRows)
        if (row.type == type)
            return row;
    return kOtherType;
}

constexpr std::uint16_t kFlagReadWriters = 0x20;
constexpr std::uint16_t kFlagNames = 0x40;
constexpr std::uint16_t kFlagPlaceholder = 0x100;
constexpr std::uint16_t kFlagReaders = 0x400;

// The item strip index for this type and these flags, or kDefaultImage.
int ImageIndex(std::uint16_t type, std::uint16_t flags) {
    if ((type >> 8) == 5) {
        if (flags & kFlagReadWriters)
            return 9;
        if (flags & kFlagReaders)
            return 8;
        if (flags & kFlagNames)
            return 10;
    }
    if (type == 0 && (flags & kFlagPlaceholder))
        return 22;
    return RowOf(type).image;
}

constexpr std::size_t kLabelValueMax = 60;
constexpr std::size_t kFileNameOffset = 36;

} // namespace

void TNItem::MakeLabel() {
    const int image = ImageIndex(type_, flags_);
    if (image == kDefaultImage)
        SetImage(NodeImage{imagecache::Derive(0, 113, 130), 1});
    else
        SetImage(NodeImage{imagecache::Derive(0, 116, 135), std::uint16_t(image)});

    const CNodeDocument* doc = GetDocument();
    const LabelForm form = RowOf(type_).form;
    if (!DocumentNodeOptionsOf(doc).Values().includeItemValue || form == LabelForm::Name)
        SetLabelBorrowed(ItemName()); // the shared name outlives the node
    else if (form == LabelForm::Value)
        SetLabel(ValueLabel());
    else
        SetLabel(ObjectLabel());
}

std::string TNItem::ValueLabel() const {
    char text[kLabelValueMax + 1] = {};
    std::size_t length = 0;
    // A failed conversion leaves whatever text the store gave.
    store::ItemValueToText(value_, valueLength_, ';', text, sizeof text, &length);
    length = std::min(length, kLabelValueMax);
    return std::string(ItemName()) + "  -  " + std::string(text, length);
}

std::string TNItem::ObjectLabel() const {
    const LockedValue value(value_, valueLength_);
    ByteReader r(value.Data(), value.DataLength());
    const std::uint16_t objectType = r.u16le();
    const std::uint32_t rrv = r.u32le();
    if (r.Short())
        return std::string(ItemName());
    char text[16];
    if ((objectType & 0xFFF) != 0) {
        std::snprintf(text, sizeof text, "0x%x", unsigned(rrv));
        return std::string(ItemName()) + "  -  " + text;
    }
    // The file name, as far as the value holds it.
    const std::uint16_t nameLength = r.u16le();
    const std::size_t n = value.DataLength();
    const std::size_t held = n > kFileNameOffset ? n - kFileNameOffset : 0;
    const std::size_t shown = std::min<std::size_t>(nameLength, held);
    return std::string(ItemName()) + "  -  " + std::string(r.At(kFileNameOffset).text(shown));
}
