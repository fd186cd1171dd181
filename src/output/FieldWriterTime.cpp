// Times and the identifiers built of times.
//
// Stored layouts (little-endian):
//   time stamp            8   w0, w1; all zero: no time
//   time range           16   start stamp, end stamp
//   universal note id    16   "file" stamp, "note" stamp
//   sequenced note id    28   "file", "note", u32 "sequence", "sequence-time"
//   database and note id 20   "file" (the database), "note", u32 "note-id"
//   note link            40   "db-replica-id" stamp, "view-unid", "note-unid"
#include <algorithm>

#include "common/ByteReader.h"
#include "output/FieldWriter.h"
#include "output/OutputStrings.h"

namespace {

constexpr std::size_t kStampSize = 8;
constexpr std::size_t kUnidSize = 16;
constexpr std::size_t kSequencedUnidSize = 28;
constexpr std::size_t kDbNoteIdSize = 20;
constexpr std::size_t kNoteLinkSize = 40;
constexpr std::size_t kTimeTextSize = 81; // 80 characters and the terminator

bool AllZero(const void* bytes, std::size_t length) {
    const auto* p = static_cast<const std::uint8_t*>(bytes);
    for (std::size_t i = 0; i < length; ++i)
        if (p[i] != 0)
            return false;
    return true;
}

} // namespace

void CFieldWriter::TimeText(const store::TimeDate& time, bool inGmt, bool zoneAlways) {
    store::TimeFormat format;
    format.date = 0;
    format.time = 0;
    format.zone = zoneAlways ? 2 : 1;
    format.structure = 2;

    store::TimeDate stamp = time;
    store::Status status = store::kNoError;
    if (inGmt) {
        // Split in zone 0 without daylight saving, then assemble: the same instant, in GMT.
        store::TimeParts parts;
        parts.zone = 0;
        parts.dst = false;
        status = store::SplitTime(time, &parts);
        if (status == store::kNoError)
            status = store::AssembleTime(parts, &stamp);
    }
    char text[kTimeTextSize];
    std::size_t length = 0;
    if (status == store::kNoError)
        status = store::TimeToText(nullptr, &format, stamp, text, sizeof text, &length);
    if (status != store::kNoError) {
        Error(status, "Couldn't convert time to text");
        return;
    }
    Text(text, std::ptrdiff_t(length < sizeof text ? length : sizeof text - 1), '<', '>');
}

void CFieldWriter::Time(const store::TimeDate& time) {
    const std::int32_t option = options_->ShowDateOption;
    TimeText(time, option == 2, option == 1 || option == 2);
    if (option == 2) {
        BeginComment();
        TimeText(time, false, true);
        EndComment();
    }
    // Inside a comment TimeId writes only the raw form, so time comments never nest further.
    if (!InComment()) {
        BeginComment();
        TimeId(time, true);
        EndComment();
    }
}

void CFieldWriter::TimeField(std::string_view label, const store::TimeDate& time) {
    BeginField(label);
    Time(time);
    EndField();
}

void CFieldWriter::TimeId(const store::TimeDate& time, bool timeComment) {
    if (time.IsZero()) {
        pending_.push_back('0');
        return;
    }
    // "%08lX:%08lX", made here: every note shows several.
    static constexpr char kHex[] = "0123456789ABCDEF";
    char text[17];
    for (int i = 0; i < 8; ++i) {
        text[i] = kHex[(time.w[1] >> (28 - 4 * i)) & 15];
        text[9 + i] = kHex[(time.w[0] >> (28 - 4 * i)) & 15];
    }
    text[8] = ':';
    pending_.append(text, sizeof text);
    if (timeComment && !InComment()) {
        BeginComment();
        Time(time);
        EndComment();
    }
}

void CFieldWriter::TimeIdField(std::string_view label, const store::TimeDate& time,
                               bool timeComment) {
    BeginField(label);
    TimeId(time, timeComment);
    EndField();
}

void CFieldWriter::TimeRangeField(std::string_view label, const store::TimeRange& range) {
    BeginField(label);
    Time(range.start);
    pending_.append(" - ");
    Time(range.end);
    EndField();
}

void CFieldWriter::TimeRangeField(std::string_view label, const void* bytes, std::size_t length) {
    ByteReader r(bytes, length);
    store::TimeRange range;
    range.start = store::ReadTimeDate(r);
    range.end = store::ReadTimeDate(r);
    if (!r.Short()) {
        TimeRangeField(label, range);
        return;
    }
    BeginField(label);
    if (length >= kStampSize)
        Time(range.start);
    ShortComment();
    EndField();
}

// Opens the identifier's field; writes "0" and closes it when the whole identifier is zero.
// Returns whether the parts are still to be written.
bool CFieldWriter::BeginIdentifier(std::string_view label, const void* bytes, std::size_t length,
                                   std::size_t fullLength) {
    BeginField(label);
    if (length >= fullLength && AllZero(bytes, fullLength)) {
        pending_.push_back('0');
        EndField();
        return false;
    }
    return true;
}

void CFieldWriter::UnidParts(const void* bytes, std::size_t length) {
    ByteReader r(bytes, length);
    const store::TimeDate file = store::ReadTimeDate(r);
    if (r.Short())
        return ShortComment();
    TimeIdField("file", file, false);
    const store::TimeDate note = store::ReadTimeDate(r);
    if (r.Short())
        return ShortComment();
    TimeIdField("note", note, true);
}

void CFieldWriter::UnidField(std::string_view label, const void* bytes, std::size_t length) {
    if (!BeginIdentifier(label, bytes, length, kUnidSize))
        return;
    UnidParts(bytes, length);
    EndField();
}

void CFieldWriter::SequencedUnidField(std::string_view label, const void* bytes,
                                      std::size_t length) {
    if (!BeginIdentifier(label, bytes, length, kSequencedUnidSize))
        return;
    ByteReader r(bytes, length);
    do {
        const store::TimeDate file = store::ReadTimeDate(r);
        if (r.Short())
            break;
        TimeIdField("file", file, false);
        const store::TimeDate note = store::ReadTimeDate(r);
        if (r.Short())
            break;
        TimeField("note", note);
        CommentId(outstr::kDateOfCreation);
        const std::uint32_t sequence = r.u32le();
        if (r.Short())
            break;
        NumberField("sequence", double(sequence));
        const store::TimeDate sequenceTime = store::ReadTimeDate(r);
        if (r.Short())
            break;
        TimeField("sequence-time", sequenceTime);
        CommentId(outstr::kDateOfRevision);
    } while (false);
    if (r.Short())
        ShortComment();
    EndField();
}

void CFieldWriter::DbNoteIdField(std::string_view label, const void* bytes, std::size_t length) {
    if (!BeginIdentifier(label, bytes, length, kDbNoteIdSize))
        return;
    ByteReader r(bytes, length);
    do {
        const store::TimeDate file = store::ReadTimeDate(r);
        if (r.Short())
            break;
        TimeIdField("file", file, true);
        CommentId(outstr::kDateOfDbCreation);
        const store::TimeDate note = store::ReadTimeDate(r);
        if (r.Short())
            break;
        TimeField("note", note);
        CommentId(outstr::kDateOfModification);
        const std::uint32_t noteId = r.u32le();
        if (r.Short())
            break;
        HexLField("note-id", noteId);
    } while (false);
    if (r.Short())
        ShortComment();
    EndField();
}

void CFieldWriter::NoteLinkField(std::string_view label, const void* bytes, std::size_t length) {
    if (!BeginIdentifier(label, bytes, length, kNoteLinkSize))
        return;
    ByteReader r(bytes, length);
    const store::TimeDate replica = store::ReadTimeDate(r);
    if (r.Short()) {
        ShortComment();
    } else {
        TimeIdField("db-replica-id", replica, true);
        // Each identifier gets what is left of its 16 bytes and reports its own shortness.
        const std::size_t view = std::min(r.Remaining(), kUnidSize);
        UnidField("view-unid", r.Rest(), view);
        r.skip(view);
        if (view == kUnidSize) {
            const std::size_t note = std::min(r.Remaining(), kUnidSize);
            UnidField("note-unid", r.Rest(), note);
        }
    }
    EndField();
}
