// Field records: field definitions (both forms), their extensions and keyword lists.
#pragma once

#include "records/RichTextRecord.h"

// Field (0xFF8A) and its older form (0xFF84), which lacks the text value length at 34.
class TNCdField : public TNCdRichText {
public:
    TNCdField(const RecordSpan& s, CNodeDocument* d)
        : TNCdRichText(s, d, s.signature == kOlderForm ? 34 : 36, 5) {}
    void MakeLabel() override;

    static constexpr std::uint16_t kOlderForm = 0xFF84;

protected:
    std::uint32_t WriteBody(CFieldWriter& writer) override;

private:
    bool Older() const { return Signature() == kOlderForm; }
    std::size_t VariableStart() const { return Older() ? 34 : 36; }
    std::size_t NameOffset() const;
    std::uint32_t WriteValues(CFieldWriter& writer, std::size_t at);
};

class TNCdExtField : public TNCdRichText {
public:
    TNCdExtField(const RecordSpan& s, CNodeDocument* d) : TNCdRichText(s, d, 20, 27) {}
    void MakeLabel() override;

protected:
    std::uint32_t WriteBody(CFieldWriter& writer) override;
};

class TNCdKeyword : public TNCdRichText {
public:
    TNCdKeyword(const RecordSpan& s, CNodeDocument* d) : TNCdRichText(s, d, 12, 0) {}
    void MakeLabel() override;

protected:
    std::uint32_t WriteBody(CFieldWriter& writer) override;
};

// The string id of the comment that says when a field's value is computed, from its flags.
unsigned FieldComputeComment(std::uint16_t flags);
