#include "tree/NodeLabel.h"

#include <limits>

void CNodeLabel::Free() {
    if (bytes_[kTag] == kHeap)
        delete[] Far();
    bytes_[kTag] = 0;
}

void CNodeLabel::SetFar(const char* p, std::uint32_t n, std::uint8_t tag) {
    std::memcpy(bytes_, &p, sizeof p);
    std::memcpy(bytes_ + sizeof p, &n, sizeof n);
    bytes_[kTag] = tag;
}

void CNodeLabel::Assign(std::string_view text) {
    if (text.size() > std::numeric_limits<std::uint32_t>::max())
        text = text.substr(0, std::numeric_limits<std::uint32_t>::max());
    // The text may be this label's own: it is copied before the old one is freed.
    if (text.size() <= kInlineMax) {
        std::uint8_t copy[kInlineMax];
        if (!text.empty())
            std::memcpy(copy, text.data(), text.size());
        Free();
        if (!text.empty())
            std::memcpy(bytes_, copy, text.size());
        bytes_[kTag] = static_cast<std::uint8_t>(text.size());
        return;
    }
    char* p = new char[text.size()];
    std::memcpy(p, text.data(), text.size());
    Free();
    SetFar(p, static_cast<std::uint32_t>(text.size()), kHeap);
}

void CNodeLabel::Borrow(std::string_view text) {
    if (text.size() <= kInlineMax) {
        Assign(text); // as small in place, and independent of the text's owner
        return;
    }
    if (text.size() > std::numeric_limits<std::uint32_t>::max())
        text = text.substr(0, std::numeric_limits<std::uint32_t>::max());
    Free();
    SetFar(text.data(), static_cast<std::uint32_t>(text.size()), kBorrowed);
}
