// Builds item values from readable descriptions, as they are stored (little-endian), so tests
// and samples state their inputs plainly. Every function returns the value proper, without
// the type word; WithType puts it in front.
#pragma once

#include <array>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "store/api/Time.h"

namespace itemenc {

using Bytes = std::vector<std::uint8_t>;
using Unid = std::array<std::uint8_t, 16>;

// Appends little-endian fields.
class Sink {
public:
    Sink& u8(unsigned v) {
        b_.push_back(std::uint8_t(v));
        return *this;
    }
    Sink& u16(unsigned v) { return u8(v & 0xFF).u8((v >> 8) & 0xFF); }
    Sink& u32(std::uint32_t v) { return u16(v & 0xFFFF).u16(v >> 16); }
    Sink& f64(double d) {
        std::uint64_t bits;
        std::memcpy(&bits, &d, sizeof bits);
        return u32(std::uint32_t(bits)).u32(std::uint32_t(bits >> 32));
    }
    Sink& time(const store::TimeDate& t) { return u32(t.w[0]).u32(t.w[1]); }
    Sink& text(const std::string& s) { return bytes(Bytes(s.begin(), s.end())); }
    Sink& bytes(const Bytes& more) {
        b_.insert(b_.end(), more.begin(), more.end());
        return *this;
    }
    Sink& fill(std::size_t n, std::uint8_t v = 0) {
        b_.insert(b_.end(), n, v);
        return *this;
    }
    const Bytes& get() const { return b_; }

private:
    Bytes b_;
};

inline Bytes WithType(std::uint16_t type, const Bytes& value) {
    return Sink().u16(type).bytes(value).get();
}

inline store::TimeDate Time(std::uint32_t low, std::uint32_t high) {
    store::TimeDate t;
    t.w[0] = low;
    t.w[1] = high;
    return t;
}

// A unid whose bytes are first, first + 1, ...
inline Unid UnidFrom(std::uint8_t first) {
    Unid u{};
    for (std::size_t i = 0; i < u.size(); ++i)
        u[i] = std::uint8_t(first + i);
    return u;
}

inline Bytes NumberRange(const std::vector<double>& list,
                         const std::vector<std::pair<double, double>>& ranges) {
    Sink s;
    s.u16(unsigned(list.size())).u16(unsigned(ranges.size()));
    for (double d : list)
        s.f64(d);
    for (const auto& [a, b] : ranges)
        s.f64(a).f64(b);
    return s.get();
}

inline Bytes TimeRange(const std::vector<store::TimeDate>& list,
                       const std::vector<std::pair<store::TimeDate, store::TimeDate>>& ranges) {
    Sink s;
    s.u16(unsigned(list.size())).u16(unsigned(ranges.size()));
    for (const auto& t : list)
        s.time(t);
    for (const auto& [a, b] : ranges)
        s.time(a).time(b);
    return s.get();
}

inline Bytes TextList(const std::vector<std::string>& entries) {
    Sink s;
    s.u16(unsigned(entries.size()));
    for (const auto& e : entries)
        s.u16(unsigned(e.size()));
    for (const auto& e : entries)
        s.text(e);
    return s.get();
}

inline Bytes UserId(const std::string& name, const Bytes& license) {
    return Sink().text(name).bytes(license).get();
}

inline Bytes NoteRefList(const std::vector<Unid>& unids) {
    Sink s;
    s.u16(unsigned(unids.size()));
    for (const auto& u : unids)
        s.bytes(Bytes(u.begin(), u.end()));
    return s.get();
}

// Note links of 40 bytes: replica identifier (8), view unid (16), note unid (16).
inline Bytes NoteLinkList(const std::vector<std::array<std::uint8_t, 40>>& links) {
    Sink s;
    s.u16(unsigned(links.size()));
    for (const auto& l : links)
        s.bytes(Bytes(l.begin(), l.end()));
    return s.get();
}

struct AgentInfo {
    std::uint16_t version = 1, trigger = 1, search = 2, intervalType = 1, interval = 30;
    std::uint32_t time1 = 0x11, time2 = 0x22;
    store::TimeDate start, end;
    std::uint32_t flags = 0;
};

inline Bytes Encode(const AgentInfo& a) {
    Sink s;
    s.u16(a.version).u16(a.trigger).u16(a.search).u16(a.intervalType).u16(a.interval);
    return s.u32(a.time1).u32(a.time2).time(a.start).time(a.end).u32(a.flags).fill(64).get();
}

struct SchedEntry {
    Unid unid{};
    store::TimeDate from, to;
    std::uint8_t attr = 8, userAttr = 0;
};

inline Bytes SchedList(std::uint16_t applicationId, const std::vector<SchedEntry>& entries,
                       std::uint32_t countOverride = 0xFFFFFFFF) {
    Sink s;
    s.u32(countOverride != 0xFFFFFFFF ? countOverride : std::uint32_t(entries.size()));
    s.u16(applicationId).fill(2);
    for (const auto& e : entries) {
        s.bytes(Bytes(e.unid.begin(), e.unid.end())).time(e.from).time(e.to);
        s.u8(e.attr).u8(e.userAttr).fill(2);
    }
    return s.get();
}

struct CalendarFormat {
    std::uint8_t version = 1, formats = 0x3;
    std::uint32_t dayDateFont = 0x0A000001, timeSlotFont = 0x08000000, headerFont = 0x0C000100;
    std::uint16_t separatorColor = 2, todayColor = 4, flags = 0x2, busyColor = 6;
    std::uint16_t slotStart = 480, slotEnd = 1080, slotDuration = 60;
};

inline Bytes Encode(const CalendarFormat& c) {
    Sink s;
    s.u8(c.version).u8(c.formats).u32(c.dayDateFont).u32(c.timeSlotFont).u32(c.headerFont);
    s.u16(c.separatorColor).u16(c.todayColor).u16(c.flags).u16(c.busyColor);
    return s.u16(c.slotStart).u16(c.slotEnd).u16(c.slotDuration).fill(2).fill(28).get();
}

struct ObjectDescriptor {
    std::uint16_t typeAndFlags = 0; // 0: a file
    std::uint32_t rrv = 0x1001;
    std::string fileName = "report.txt";
    std::uint16_t host = 0, compression = 0, attributes = 0, fileFlags = 0x2;
    std::uint32_t size = 10000;
    store::TimeDate created, modified;
    Bytes hostExtension; // 22 bytes for Mac, 12 for HPFS
};

inline Bytes Encode(const ObjectDescriptor& o) {
    Sink s;
    s.u16(o.typeAndFlags).u32(o.rrv);
    if ((o.typeAndFlags & 0xFFF) != 0)
        return s.get();
    s.u16(unsigned(o.fileName.size())).u16(o.host).u16(o.compression).u16(o.attributes);
    s.u16(o.fileFlags).u32(o.size).time(o.created).time(o.modified);
    return s.text(o.fileName).bytes(o.hostExtension).get();
}

struct ViewColumn {
    std::uint16_t signature = 0x4356, flags1 = 0x1;
    std::string itemName, title;
    Bytes formula;
    std::string constant;
    std::uint16_t width = 80;
    std::uint32_t font = 0x0A000000;
    std::uint16_t flags2 = 0;
    Bytes numberFormat{2, 1, 0, 0}, timeFormat{0, 0, 1, 2};
    std::uint16_t dataType = 2, listSep = 0x1;
};

struct ViewColumn2 {
    std::uint16_t signature = 0x4357;
    std::uint32_t headerFont = 0x0A000100;
    Unid resortView{};
    std::uint16_t secondColumn = 0;
};

struct ViewFormat {
    std::uint8_t version = 1, style = 0;
    std::uint16_t sequence = 7, flags = 0x20, spare2 = 0;
    std::vector<ViewColumn> columns;
    std::uint16_t background = 1, border = 2;
    std::uint32_t titleFont = 0x0A000001, unreadFont = 0x0A000002, totalsFont = 0x0A000003;
    std::uint16_t autoUpdate = 30;
    bool extended = true; // the 0x2BAD signature and what follows it are valid
    std::uint16_t alternateBackground = 3;
    std::uint8_t lineCount = 2, spacing = 1;
    std::uint16_t backgroundExt = 5;
    std::uint8_t headerLines = 1;
    std::vector<ViewColumn2> columns2; // written when extended
};

inline Bytes Encode(const ViewFormat& v) {
    Sink s;
    s.u8(v.version).u8(v.style).u16(unsigned(v.columns.size())).u16(v.sequence).u16(v.flags);
    s.u16(v.spare2);
    for (const auto& c : v.columns) {
        s.u16(c.signature).u16(c.flags1);
        s.u16(unsigned(c.itemName.size())).u16(unsigned(c.title.size()));
        s.u16(unsigned(c.formula.size())).u16(unsigned(c.constant.size()));
        s.u16(c.width).u32(c.font).u16(c.flags2).bytes(c.numberFormat).bytes(c.timeFormat);
        s.u16(c.dataType).u16(c.listSep);
    }
    for (const auto& c : v.columns)
        s.text(c.itemName).text(c.title).bytes(c.formula).text(c.constant);
    s.u16(0).u16(v.background).u16(v.border).u32(v.titleFont).u32(v.unreadFont);
    s.u32(v.totalsFont).u16(v.autoUpdate).u16(v.alternateBackground);
    s.u16(v.extended ? 0x2BAD : 0).u8(v.lineCount).u8(v.spacing).u16(v.backgroundExt);
    s.u8(v.headerLines).u8(0).fill(8);
    if (v.extended)
        for (const auto& c : v.columns2) {
            s.u16(c.signature).u32(c.headerFont);
            s.bytes(Bytes(c.resortView.begin(), c.resortView.end())).u16(c.secondColumn);
            s.fill(2).fill(20);
        }
    return s.get();
}

struct CollationKey {
    std::uint8_t flags = 0, signature = 0x66, type = 0;
    std::string name;
};

// Names are packed in key order; each descriptor's offset points at its own.
inline Bytes Collation(std::uint8_t flags, const std::vector<CollationKey>& keys) {
    Sink s;
    s.u16(0).u16(unsigned(keys.size())).u8(flags).u8(0x44);
    unsigned offset = 0;
    for (const auto& k : keys) {
        s.u8(k.flags).u8(k.signature).u8(k.type).u16(offset).u16(unsigned(k.name.size()));
        offset += unsigned(k.name.size());
    }
    for (const auto& k : keys)
        s.text(k.name);
    return s.get();
}

} // namespace itemenc
