// The record factories: from signature to record kind, per kind of stream.
#pragma once

#include <span>

#include "records/CdRecord.h"
#include "records/RecordStream.h"

// Looks the signature up in each scope in turn; a signature in none gets the generic record
// of `generic`.
class CKindRecordFactory : public CdRecordFactory {
public:
    CKindRecordFactory(std::span<const RecordScope> scopes, const RecordFamily& generic)
        : scopes_(scopes), generic_(generic) {}

    TNCdRecord* Create(const RecordSpan& record, CNodeDocument* document) const override;

private:
    std::span<const RecordScope> scopes_;
    const RecordFamily& generic_;
};

// The scopes a stream kind's signatures are looked up in, in order, and the family of the
// signatures none of them has; no scopes for a kind that holds no records.
struct StreamRecords {
    std::span<const RecordScope> scopes;
    const RecordFamily* generic = &recordfamily::kPlain;
};
StreamRecords RecordsOfStream(std::uint16_t itemType);

// The family whose names, images and help the records of a scope have.
const RecordFamily& FamilyOfScope(RecordScope scope);
