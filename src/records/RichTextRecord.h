// The generic record of rich-text streams, and the base of every rich-text record class.
#pragma once

#include "records/CdRecord.h"

class TNCdRichText : public TNCdRecord {
public:
    TNCdRichText(const RecordSpan& span, CNodeDocument* document, std::uint32_t fixedSize = 0,
                 std::uint16_t imageIndex = 0)
        : TNCdRecord(span, document, recordfamily::kRichText, fixedSize, imageIndex) {}
};

// A record class that takes only the span and the document: what the factories create.
template <class T> TNCdRecord* NewRecord(const RecordSpan& span, CNodeDocument* document) {
    return new T(span, document);
}
