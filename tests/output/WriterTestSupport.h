// Shared by the field output tests: run a description through a writer and give back
// what it wrote, and the texts the store conversions produce for the values used.
#pragma once

#include <cstring>
#include <functional>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "output/DumpWriter.h"
#include "output/StatusMessage.h"
#include "output/StringWriter.h"
#include "store/api/Conversions.h"

using Describe = std::function<void(CFieldWriter&)>;

inline std::string DumpOf(const Describe& describe, CInfoPaneOptions* options = nullptr) {
    std::ostringstream out;
    {
        CDumpWriter writer(out, options);
        writer.Begin();
        describe(writer);
        writer.End();
        writer.Close();
    }
    return out.str();
}

inline std::string StringOf(const Describe& describe, CInfoPaneOptions* options = nullptr) {
    CStringWriter writer(options);
    writer.Begin();
    describe(writer);
    writer.End();
    return writer.Result();
}

// The store's text of a time, as Time writes it (zone style 1, or 2 when always shown).
inline std::string StoreTimeText(const store::TimeDate& t, bool zoneAlways = false) {
    store::TimeFormat format;
    format.zone = zoneAlways ? 2 : 1;
    char text[81] = {};
    std::size_t length = 0;
    store::TimeToText(nullptr, &format, t, text, sizeof text, &length);
    return std::string(text, length);
}

// The store's text of a number as a dump shows it (no thousands separators).
inline std::string StoreNumberText(double value, bool display = false) {
    store::NumberFormat format;
    format.attributes = display ? 1 : 0;
    char text[41] = {};
    std::size_t length = 0;
    store::NumberToText(nullptr, &format, value, text, sizeof text, &length);
    return std::string(text, length);
}

inline std::string StatusText(store::Status status, const char* format) {
    char text[501];
    FormatStatusMessage(text, sizeof text, status, "%s", format);
    return text;
}

inline std::string RawTime(const store::TimeDate& t) {
    char text[32];
    std::snprintf(text, sizeof text, "%08X:%08X", unsigned(t.w[1]), unsigned(t.w[0]));
    return text;
}

// A copy of the first n bytes in a block of exactly n bytes, so that a read past it is caught
// by the address sanitizer.
class ExactBytes {
public:
    ExactBytes(const void* bytes, std::size_t n) : data_(new std::uint8_t[n ? n : 1]), n_(n) {
        if (n)
            std::memcpy(data_.get(), bytes, n);
    }
    const std::uint8_t* data() const { return data_.get(); }
    std::size_t size() const { return n_; }

private:
    std::unique_ptr<std::uint8_t[]> data_;
    std::size_t n_;
};
