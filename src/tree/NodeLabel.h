// A node's label in 16 bytes (half a std::string): up to 15 bytes are held in place, a longer
// label on the heap, or the label is a view of text that outlives the node (an item's shared
// name), which costs nothing more. A tree holds one label per node, so the bytes count.
#pragma once

#include <cstdint>
#include <cstring>
#include <string_view>

class CNodeLabel {
public:
    CNodeLabel() { bytes_[kTag] = 0; }
    explicit CNodeLabel(std::string_view text) : CNodeLabel() { Assign(text); }
    ~CNodeLabel() { Free(); }
    CNodeLabel(const CNodeLabel&) = delete;
    CNodeLabel& operator=(const CNodeLabel&) = delete;

    std::string_view View() const {
        const std::uint8_t tag = bytes_[kTag];
        if (tag <= kInlineMax)
            return {reinterpret_cast<const char*>(bytes_), tag};
        return {Far(), FarSize()};
    }
    // Copies text.
    void Assign(std::string_view text);
    // Shows text without copying it: it must stay unchanged for as long as the label shows it.
    void Borrow(std::string_view text);

private:
    static constexpr std::size_t kTag = 15;
    static constexpr std::uint8_t kInlineMax = 15;
    static constexpr std::uint8_t kHeap = 0x80;
    static constexpr std::uint8_t kBorrowed = 0x81;

    const char* Far() const {
        const char* p;
        std::memcpy(&p, bytes_, sizeof p);
        return p;
    }
    std::uint32_t FarSize() const {
        std::uint32_t n;
        std::memcpy(&n, bytes_ + sizeof(const char*), sizeof n);
        return n;
    }
    void SetFar(const char* p, std::uint32_t n, std::uint8_t tag);
    void Free();

    // Inline: the text in bytes 0..14 and its length in byte 15. Far: the pointer in bytes
    // 0..7, the length in 8..11 and kHeap or kBorrowed in byte 15.
    alignas(8) std::uint8_t bytes_[16];
};
