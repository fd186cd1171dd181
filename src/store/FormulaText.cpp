#include "store/FormulaText.h"

#include <vector>

#include "common/ByteReader.h"
#include "store/api/Conversions.h"
#include "store/api/Formula.h"
#include "store/api/Items.h"
#include "store/api/Memory.h"

namespace {

// Text and text-list results: the list entries joined by ";", never reading past the value.
std::string TextOf(std::uint16_t type, const std::uint8_t* data, std::size_t length) {
    if (type == store::kTypeText)
        return std::string(reinterpret_cast<const char*>(data), length);
    std::string out;
    const std::uint16_t count = store::TextListCount(data, length);
    for (std::uint16_t i = 0; i < count; ++i) {
        const char* entry = nullptr;
        std::uint16_t entryLength = 0;
        if (store::TextListEntry(data, length, i, &entry, &entryLength) != store::kNoError)
            break;
        if (i > 0)
            out.push_back(';');
        out.append(entry, entryLength);
    }
    return out;
}

// A range value starts with a 4-byte header (counts of single values and of pairs).
constexpr std::size_t kRangeHeader = 4;

} // namespace

store::Status FormulaResultToText(store::ComputeHandle compute, store::NoteHandle note,
                                  store::NoteId noteId, std::string* text) {
    store::OwnedMem result;
    std::size_t resultLength = 0;
    const store::Status status =
        store::ComputeEvaluate(compute, note, result.out(), &resultLength, nullptr);
    if (status != store::kNoError)
        return status;
    store::LockedMem bytes(result.get());
    if (resultLength > bytes.size())
        resultLength = bytes.size();
    ByteReader r(bytes.bytes(), resultLength);
    const std::uint16_t type = r.u16le();
    const std::uint8_t* data = r.Rest();
    const std::size_t length = r.Remaining();

    switch (type) {
    case store::kTypeText:
    case store::kTypeTextList: {
        std::string value = TextOf(type, data, length);
        if (value.find('\x7F') != std::string::npos) {
            std::vector<char> converted(value.size() * 2 + 256);
            std::size_t n = 0;
            if (store::ConvertComputedText(value.data(), value.size(), noteId, converted.data(),
                                           converted.size(), &n) == store::kNoError &&
                n < converted.size())
                value.assign(converted.data(), n);
        }
        *text = std::move(value);
        break;
    }
    case store::kTypeNumber:
    case store::kTypeNumberRange: {
        if (type == store::kTypeNumberRange)
            r.skip(kRangeHeader);
        const double number = r.f64le();
        char buffer[40];
        std::size_t n = 0;
        store::NumberToText(nullptr, nullptr, number, buffer, sizeof buffer, &n);
        *text = r.Short() ? std::string() : std::string(buffer, n < sizeof buffer ? n : 0);
        break;
    }
    case store::kTypeTime:
    case store::kTypeTimeRange: {
        if (type == store::kTypeTimeRange)
            r.skip(kRangeHeader);
        const store::TimeDate time = store::ReadTimeDate(r);
        const store::TimeFormat format{0, 0, 1, 2};
        char buffer[80];
        std::size_t n = 0;
        store::TimeToText(nullptr, &format, time, buffer, sizeof buffer, &n);
        *text = r.Short() ? std::string() : std::string(buffer, n < sizeof buffer ? n : 0);
        break;
    }
    default:
        *text = "??? (not text)";
        break;
    }
    return store::kNoError;
}
