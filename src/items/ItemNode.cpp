#include "items/ItemNode.h"

#include "common/ByteReader.h"
#include "items/FlagItems.h"
#include "items/ItemTables.h"
#include "items/LockedValue.h"
#include "items/ValueDecoders.h"
#include "output/FieldWriter.h"
#include "output/SymbolTables.h"
#include "output/UpdateHints.h"
#include "store/api/Notes.h"
#include "tree/NodeTypes.h"

namespace {

constexpr std::uint16_t kTypeCollation = 2;
constexpr std::uint16_t kTypeObject = 3;
constexpr std::uint16_t kTypeViewFormat = 5;

// Options-changed bits that can change an item's label.
constexpr std::uint32_t kLabelOptionBits = hint::kNoteLabels | hint::kRelabelNotes;

} // namespace

TNItem::TNItem(store::NoteHandle note, const ItemScanInfo& info, CNodeDocument* document)
    : CNoteNode(document), note_(note),
      name_(info.name ? std::string_view(info.name, info.nameLength) : std::string_view()),
      type_(info.type), flags_(info.flags), value_(info.value), valueLength_(info.valueLength) {
    SetTypeId(nodetype::kItems);
    MakeLabel();
}

std::uint32_t TNItem::GetHelpContext() const {
    std::uint32_t number = type_;
    if ((type_ >> 8) == 5) {
        if (flags_ & 0x20)
            number = 1291;
        else if (flags_ & 0x400)
            number = 1290;
        else if (flags_ & 0x40)
            number = 1292;
    }
    return number + TypeHelpContext(nodetype::kItems) + 1;
}

void TNItem::OnOptionsChanged(std::uint32_t flags) {
    if ((flags & 0xFF & kLabelOptionBits) != 0) {
        MakeLabel();
        Redraw();
    }
}

void TNItem::WriteBegin(CFieldWriter& w) {
    w.BeginField("item");
    w.Text(ItemName().data(), std::ptrdiff_t(ItemName().size()), '"', '"');
}

void TNItem::WriteEnd(CFieldWriter& w) {
    w.EndField();
}

void TNItem::WriteFields(CFieldWriter& w) {
    w.TextField("name", ItemName().data(), std::ptrdiff_t(ItemName().size()), '"', '"');
    w.SymbolField("type", type_, symtab::kItemTypes);
    w.SymbolField("class", type_ & 0xFF00u, itemtab::kItemClasses);
    w.SymbolField("flags", flags_, itemtab::kItemFlags);
    const LockedValue value(value_, valueLength_);
    if (!value) {
        w.Comment("Couldn't read the item's value");
        return;
    }
    const std::uint8_t* p = value.Data();
    const std::size_t n = value.DataLength();
    w.NumberField("length", double(n));
    std::size_t used = WriteValue(w, p, n);
    if (used > n)
        used = n; // no decoder may claim more than there is
    if (used < n) {
        w.EndLine();
        w.NextRange(used, n - used);
        w.HexDumpField("remaining-data", ByteReader(p, n).At(used).Rest(), n - used);
    }
}

bool TNItem::NodeBytes(std::span<const std::uint8_t>& bytes) const {
    const LockedValue value(value_, valueLength_);
    if (!value)
        return false;
    if (!bytes_)
        bytes_ = std::make_unique<std::vector<std::uint8_t>>();
    bytes_->assign(value.Data(), value.Data() + value.DataLength());
    bytes = *bytes_;
    return true;
}

std::size_t TNItem::WriteValue(CFieldWriter& w, const std::uint8_t* p, std::size_t n) {
    if (IsRecordStreamType(type_))
        return n; // the records are the node's children
    switch (type_) {
    case kTypeCollation:
        return WriteCollation(w, p, n);
    case kTypeObject:
        return WriteObjectDescriptor(w, p, n);
    case kTypeViewFormat:
        return WriteViewFormat(w, p, n);
    default:
        break;
    }
    const ValueDecoder decode = FindValueDecoder(type_);
    if (!decode)
        return 0;
    // The note's class only picks the table of a flag item; other items never look it up.
    std::uint16_t noteClass = 0;
    if (IsFlagItemName(ItemName()) && store::NoteHeader(note_, store::kHeaderClass, &noteClass,
                                                        sizeof noteClass) != store::kNoError)
        noteClass = 0;
    return decode(w, ItemValueView{p, n, ItemName(), noteClass});
}

std::size_t TNItem::WriteObjectDescriptor(CFieldWriter& w, const std::uint8_t* p, std::size_t n) {
    return WriteObjectDescriptorFields(w, p, n);
}

std::size_t TNItem::WriteViewFormat(CFieldWriter& w, const std::uint8_t* p, std::size_t n) {
    return WriteViewFormatFields(w, p, n);
}

std::size_t TNItem::WriteCollation(CFieldWriter& w, const std::uint8_t* p, std::size_t n) {
    return WriteCollationFields(w, p, n);
}
