// The record factories: a table from signature to record class, per kind of stream.
#pragma once

#include <span>

#include "records/CdRecord.h"
#include "records/RecordStream.h"

struct RecordClassRow {
    std::uint16_t signature;
    TNCdRecord* (*make)(const RecordSpan& span, CNodeDocument* document);
};

// Looks the signature up in the first table, then the second; a signature in neither gets
// the generic record of `family`.
class CTableRecordFactory : public CdRecordFactory {
public:
    CTableRecordFactory(std::span<const RecordClassRow> first,
                        std::span<const RecordClassRow> second, const RecordFamily& family)
        : first_(first), second_(second), family_(family) {}

    TNCdRecord* Create(const RecordSpan& record, CNodeDocument* document) const override;

private:
    std::span<const RecordClassRow> first_;
    std::span<const RecordClassRow> second_;
    const RecordFamily& family_;
};

// The rows of the rich-text records every kind knows, and those of kind 1 only.
std::span<const RecordClassRow> BaseRecordClasses();
std::span<const RecordClassRow> RichTextRecordClasses();
