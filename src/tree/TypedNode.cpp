#include "tree/TypedNode.h"

#include <cstdarg>
#include <cstdio>

#include "treelist/TreeListCore.h"

namespace {
constexpr std::size_t kLabelBuffer = 512;

// Drops a partial UTF-8 sequence left at the end by cutting a text short.
void TrimPartialCharacter(std::string& s) {
    std::size_t i = s.size();
    std::size_t back = 0;
    while (i > 0 && back < 4 && (static_cast<unsigned char>(s[i - 1]) & 0xC0) == 0x80) {
        --i;
        ++back;
    }
    if (i == 0) {
        return;
    }
    const auto lead = static_cast<unsigned char>(s[i - 1]);
    const std::size_t need = lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC0 ? 1 : 0;
    if (lead >= 0xC0 && back < need) {
        s.resize(i - 1);
    }
}
} // namespace

CTypedNode::CTypedNode(CTreeListNode* parent) : CTreeListNode(parent) {}

void CTypedNode::SetTypeId(NodeTypeId type) {
    OrderKeyChanging();
    type_ = type;
    OrderKeyChanged();
}

void CTypedNode::SetLabel(std::string_view text) {
    OrderKeyChanging();
    label_.Assign(text);
    OrderKeyChanged();
}

void CTypedNode::SetLabelBorrowed(std::string_view text) {
    OrderKeyChanging();
    label_.Borrow(text);
    OrderKeyChanged();
}

void CTypedNode::SetLabelFormat(const char* format, ...) {
    char buffer[kLabelBuffer];
    va_list args;
    va_start(args, format);
    const int n = std::vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    std::string text = n < 0 ? std::string() : std::string(buffer);
    if (n >= static_cast<int>(sizeof buffer)) {
        TrimPartialCharacter(text);
    }
    SetLabel(text);
}

void CTypedNode::SetLabelText(const char* text, int length) {
    if (!text) {
        SetLabel("");
    } else if (length < 0) {
        SetLabelFormat("%s", text);
    } else {
        SetLabelFormat("%.*s", length, text);
    }
}

int CTypedNode::Compare(const CTreeListNode& other) const {
    const CTypedNode* typed = other.AsTyped();
    if (!typed) {
        return 0;
    }
    if (type_ != typed->type_) {
        return static_cast<int>(type_) - static_cast<int>(typed->type_);
    }
    return CompareNoCase(GetLabel(), typed->GetLabel());
}

SortKey CTypedNode::GetSortKey() const {
    // Big-endian bytes compare as the words do. A label shorter than the key is padded with
    // zeros, which a zero byte of a longer label equals: such keys tie and Compare decides.
    const std::string_view label = GetLabel();
    std::uint8_t bytes[16] = {type_};
    for (std::size_t i = 0; i < 15 && i < label.size(); ++i) {
        const char c = label[i];
        bytes[i + 1] = static_cast<std::uint8_t>((c >= 'A' && c <= 'Z') ? c - 'A' + 'a' : c);
    }
    SortKey key;
    for (int i = 0; i < 8; ++i) {
        key.high = key.high << 8 | bytes[i];
        key.low = key.low << 8 | bytes[i + 8];
    }
    key.valid = true;
    // A label the key holds whole differs from an equal key's only in trailing zero bytes,
    // so the lengths order them as the labels compare.
    if (label.size() <= 15) {
        key.complete = true;
        key.length = static_cast<std::uint8_t>(label.size());
    }
    return key;
}

bool CTypedNode::ExpandTypes(const CTypeSet& types) {
    CTreeListCore* tree = GetTree();
    if (!tree || !types.Contains(type_)) {
        return true;
    }
    tree->BeginWait();
    if (!HasChildren()) {
        tree->Expand(this);
    }
    for (CTreeListNode* c = GetFirstChild(); c; c = c->GetNextSibling()) {
        if (auto* typed = dynamic_cast<CTypedNode*>(c)) {
            typed->ExpandTypes(types);
        }
    }
    tree->EndWait();
    return true;
}
