// Values the store converts for us: compiled formulas and text lists.
//
// Text list layout: u16 count, count u16 lengths, then the entries' bytes packed in order.
#include <algorithm>

#include "common/ByteReader.h"
#include "output/FieldWriter.h"
#include "store/api/Formula.h"
#include "store/api/Memory.h"

void CFieldWriter::Formula(const void* bytes, std::size_t length) {
    if (!bytes || length == 0) {
        pending_.append("{}");
        return;
    }
    store::OwnedMem text;
    std::size_t textLength = 0;
    const store::Status status = store::FormulaDecompile(bytes, length, text.out(), &textLength);
    if (status != store::kNoError) {
        Error(status, "Couldn't decompile formula");
        return;
    }
    store::LockedMem locked(text.get());
    if (!locked) {
        Error(store::kInvalidHandle, "Couldn't decompile formula");
        return;
    }
    // Never trust the reported length beyond the block that holds the text.
    const std::size_t n = std::min(textLength, locked.size());
    Text(reinterpret_cast<const char*>(locked.bytes()), std::ptrdiff_t(n), '{', '}');
}

void CFieldWriter::FormulaField(std::string_view label, const void* bytes, std::size_t length) {
    if ((!bytes || length == 0) && options_->ShowEmptyStrings == 0)
        return;
    BeginField(label);
    Formula(bytes, length);
    EndField();
}

namespace {

struct TextListExtent {
    std::size_t size = 0;      // the bytes the list covers, never more than there are
    std::uint16_t present = 0; // the entries whose length words are there
    bool tooShort = false;
    bool noCount = false; // not even the count is there
};

// Only the entries whose length words are present are walked; the sizes add up to the bytes
// the list covers, which must not exceed what is there.
TextListExtent MeasureTextList(const void* bytes, std::size_t length) {
    TextListExtent e;
    ByteReader r(bytes, length);
    const std::uint16_t count = r.u16le();
    if (r.Short()) {
        e.size = length;
        e.tooShort = e.noCount = true;
        return e;
    }
    e.size = 2;
    for (; e.present < count; ++e.present) {
        const std::uint16_t entryLength = r.u16le();
        if (r.Short()) {
            e.tooShort = true;
            break;
        }
        e.size += 2 + entryLength;
    }
    if (e.size > length) {
        e.tooShort = true;
        e.size = length;
    }
    return e;
}

} // namespace

std::size_t CFieldWriter::TextListSize(const void* bytes, std::size_t length) {
    return MeasureTextList(bytes, length).size;
}

std::size_t CFieldWriter::TextList(const void* bytes, std::size_t length) {
    BreakLine();
    const TextListExtent extent = MeasureTextList(bytes, length);
    if (extent.noCount) {
        ShortComment();
        return length;
    }
    const std::uint16_t present = extent.present;
    for (std::uint16_t i = 0; i < present; ++i) {
        const char* text = nullptr;
        std::uint16_t textLength = 0;
        const store::Status status = store::TextListEntry(bytes, length, i, &text, &textLength);
        if (status != store::kNoError)
            Error(status, "Couldn't read text list entry %u", unsigned(i));
        else
            Text(text, textLength, '"', '"');
        NextValueLine();
    }
    if (extent.tooShort)
        ShortComment();
    return extent.size;
}

std::size_t CFieldWriter::TextListField(std::string_view label, const void* bytes,
                                        std::size_t length) {
    BeginField(label);
    const std::size_t size = TextList(bytes, length);
    EndField();
    return size;
}
