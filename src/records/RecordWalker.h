// The walk over a record stream: a 16-bit stream kind, then self-describing records.
//
// Every record starts with a 16-bit signature word whose high byte selects the header:
//
//   high byte   header   length field                 signature handed on
//   0x00        6        u32 at +2                    the whole word
//   0xFF        4        u16 at +2                    the whole word
//   other       2        the high byte itself         the low byte
//
// The length counts the header. After each record the offset is rounded up to even (offsets
// are counted from the stream start, which stands at an even address in every buffer we get).
#pragma once

#include <cstddef>
#include <cstdint>

#include "store/api/Status.h"

constexpr std::uint16_t kStreamKindComposite = 1;
constexpr std::uint16_t kStreamKindQuery = 15;
constexpr std::uint16_t kStreamKindAction = 16;
constexpr std::uint16_t kStreamKindDataset = 18;
constexpr std::uint16_t kStreamKindLayout = 19;

// One record as the walk hands it on. `record` points at the signature word; only `available`
// bytes from there belong to the stream.
struct RecordSpan {
    const std::uint8_t* record = nullptr;
    std::uint16_t signature = 0;
    std::uint32_t length = 0;  // as stored, header included
    std::size_t available = 0; // bytes of the stream from `record` to its end
    std::uint8_t headerSize = 0;
    bool cutShort = false; // the record (or its header) runs past the end of the stream

    // The bytes of the record that are really there; all that is left when even its header is
    // cut, since its length is then unknown.
    std::size_t Size() const {
        if (available < headerSize)
            return available;
        return length < available ? length : available;
    }
    bool HeaderCut() const { return available < headerSize; }
};

// A nonzero status stops the walk and is returned by it.
using RecordCallback = store::Status (*)(const RecordSpan& record, void* context);

// Hands every record of the stream to the callback; `length` counts the kind word. A record
// that claims more bytes than remain is handed on marked cutShort and ends the walk. Returns
// 0 when every record was handed on, also for a stream without records.
store::Status EnumerateRecords(const std::uint8_t* stream, std::size_t length,
                               RecordCallback callback, void* context);
// The same from the record at offset `from` of the stream (an offset the walk itself reached,
// e.g. where an earlier walk stopped); the stream's kind word is still read at its start.
store::Status EnumerateRecordsFrom(const std::uint8_t* stream, std::size_t length, std::size_t from,
                                   RecordCallback callback, void* context);
