#include "store/SummaryItems.h"

#include <cstdio>

#include "common/ByteReader.h"
#include "output/FieldWriter.h"

namespace {

constexpr std::uint16_t kTypeNumber = 0x0300;
constexpr std::uint16_t kTypeTime = 0x0400;
constexpr std::uint16_t kTypeText = 0x0500;
constexpr std::uint16_t kTypeTextList = 0x0501;

void WriteValue(CFieldWriter& writer, const SummaryItem& item) {
    switch (item.type) {
    case kTypeNumber:
        if (item.valueLength < 8) {
            writer.ShortComment();
        } else {
            writer.Number(ByteReader(item.value, item.valueLength).f64le());
        }
        break;
    case kTypeTime:
        if (item.valueLength < 8) {
            writer.ShortComment();
        } else {
            ByteReader r(item.value, item.valueLength);
            writer.Time(store::ReadTimeDate(r));
        }
        break;
    case kTypeText:
        writer.Text(reinterpret_cast<const char*>(item.value), std::ptrdiff_t(item.valueLength));
        break;
    case kTypeTextList:
        writer.TextList(item.value, item.valueLength);
        break;
    default: {
        char text[32];
        std::snprintf(text, sizeof text, "type 0x%x", unsigned(item.type));
        writer.Text(text, -1, '?', '?');
        break;
    }
    }
}

} // namespace

SummaryItems ParseSummary(const void* summary, std::size_t size) {
    SummaryItems out;
    ByteReader head(summary, size);
    const std::size_t total = head.u16le();
    const std::size_t count = head.u16le();
    if (head.Short()) {
        out.truncated = size > 0;
        return out;
    }
    // The stored total may claim less (or more) than was handed over: trust the smaller.
    const std::size_t limit = total < size ? total : size;
    const ByteReader all(summary, limit);
    ByteReader lengths = all.At(4);
    ByteReader data = all.At(4 + 4 * count); // may be past the limit: checked per item
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t nameLength = lengths.u16le();
        const std::size_t valueLength = lengths.u16le();
        if (lengths.Short() || data.Short()) {
            out.truncated = true;
            break;
        }
        ByteReader entry = data.Sub(nameLength + valueLength);
        if (data.Short()) {
            out.truncated = true;
            break;
        }
        SummaryItem item{};
        item.at = entry.Position();
        item.length = entry.Size();
        item.name = entry.text(nameLength);
        if (valueLength >= 2) {
            item.type = entry.u16le();
            item.value = entry.Rest();
            item.valueLength = valueLength - 2;
            item.valueAt = entry.Position();
        } else {
            item.value = entry.Rest();
            item.valueLength = 0;
            item.valueAt = entry.Position();
        }
        out.items.push_back(item);
    }
    return out;
}

const SummaryItem* FindSummaryItem(const SummaryItems& items, std::string_view name) {
    for (const SummaryItem& item : items.items) {
        if (item.name == name)
            return &item;
    }
    return nullptr;
}

void WriteSummaryItems(CFieldWriter& writer, const void* summary, std::size_t size,
                       const SummaryRename* renames) {
    const SummaryItems parsed = ParseSummary(summary, size);
    for (const SummaryItem& item : parsed.items) {
        const SummaryRename* rename = renames;
        while (rename && rename->name && item.name != rename->name)
            ++rename;
        if (rename && rename->name) {
            if (!rename->label)
                continue;
            writer.NextRange(item.at, item.length);
            writer.BeginField(rename->label);
        } else {
            writer.NextRange(item.at, item.length);
            writer.BeginField("summary-item");
            writer.Text(item.name.data(), std::ptrdiff_t(item.name.size()));
        }
        WriteValue(writer, item);
        writer.EndField();
    }
    if (parsed.truncated)
        writer.ShortComment();
}
