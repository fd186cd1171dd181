// What an item node gives of its value besides its fields: the bytes and the texts.
#include <algorithm>
#include <vector>

#include "items/ItemNode.h"
#include "items/LockedValue.h"
#include "records/TextExcerpt.h"
#include "store/api/Items.h"

bool TNItem::GetBytes(std::vector<std::uint8_t>& bytes) const {
    bytes.clear();
    const LockedValue value(value_, valueLength_);
    if (!value)
        return false;
    if (const std::uint8_t* p = value.Data())
        bytes.assign(p, p + value.DataLength());
    return true;
}

std::string TNItem::ValueText(char separator) const {
    if (type_ != 0x500 && type_ != 0x501)
        return {};
    // Texts and separators take no more room than the value's own bytes; the margin is for
    // the terminating zero.
    std::vector<char> buffer(std::size_t(valueLength_) + 16);
    std::size_t length = 0;
    store::ItemValueToText(value_, valueLength_, separator, buffer.data(), buffer.size(), &length);
    return TranslatedText(buffer.data(), std::min(length, buffer.size()));
}
