#include "vlt/Summary.h"

#include "common/ByteReader.h"
#include "store/api/Items.h"
#include "store/api/Search.h"
#include "vlt/ByteWriter.h"

namespace vlt {

bool SummaryBuilder::add(std::string_view name, std::string_view value) {
    const std::size_t need = 4 + name.size() + value.size();
    if (name.size() > 0xFFFF || value.size() > 0xFFFF || total_ + need > 0xFFFF ||
        entries_.size() >= 0xFFFF)
        return false;
    entries_.push_back({std::string(name), std::string(value)});
    total_ += need;
    return true;
}

bool SummaryBuilder::addText(std::string_view name, std::string_view text) {
    std::string v;
    PutU16(v, store::kTypeText);
    v += text;
    return add(name, v);
}

std::vector<std::uint8_t> SummaryBuilder::bytes() const {
    std::vector<std::uint8_t> out;
    out.reserve(total_);
    PutU16(out, static_cast<std::uint16_t>(total_));
    PutU16(out, static_cast<std::uint16_t>(entries_.size()));
    for (const Entry& e : entries_) {
        PutU16(out, static_cast<std::uint16_t>(e.name.size()));
        PutU16(out, static_cast<std::uint16_t>(e.value.size()));
    }
    for (const Entry& e : entries_) {
        PutBytes(out, e.name);
        PutBytes(out, e.value);
    }
    return out;
}

} // namespace vlt

namespace store {

Status SummaryValue(const ITEM_TABLE* summary, const char* name, const std::uint8_t** value,
                    std::uint16_t* valueLength) {
    if (!summary || !name)
        return kInvalidArgument;
    // The buffer's own first word bounds every read of it.
    const std::uint16_t total = summary->length;
    ByteReader head(summary, total);
    head.u16le();
    const std::uint16_t count = head.u16le();
    if (head.Short() || !head.Has(4 * std::size_t(count)))
        return kBadValue;
    ByteReader data = head.At(head.Offset() + 4 * std::size_t(count));
    const std::string_view wanted(name);
    for (unsigned i = 0; i < count; ++i) {
        const std::uint16_t nameLength = head.u16le();
        const std::uint16_t length = head.u16le();
        const std::string_view itemName = data.text(nameLength);
        const std::uint8_t* v = data.bytes(length);
        if (data.Short())
            return kBadValue;
        if (itemName == wanted) {
            if (value)
                *value = v;
            if (valueLength)
                *valueLength = length;
            return kNoError;
        }
    }
    return kNoMoreItems;
}

Status SummaryValueText(const ITEM_TABLE* summary, const char* name, char* buffer, std::size_t size,
                        std::size_t* length) {
    vlt::CopyOut("", buffer, size, length);
    const std::uint8_t* v = nullptr;
    std::uint16_t n = 0;
    if (Status s = SummaryValue(summary, name, &v, &n); s != kNoError)
        return s;
    return ValueToText(v, n, ';', buffer, size, length);
}

} // namespace store
