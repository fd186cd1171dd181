// Paragraph records: paragraph starts, paragraph definitions and references to them.
#pragma once

#include "records/RichTextRecord.h"

class TNCdParagraph : public TNCdRichText {
public:
    TNCdParagraph(const RecordSpan& s, CNodeDocument* d) : TNCdRichText(s, d, 2, 1) {}
    void MakeLabel() override;
};

class TNCdPabDefinition : public TNCdRichText {
public:
    TNCdPabDefinition(const RecordSpan& s, CNodeDocument* d) : TNCdRichText(s, d, 70, 2) {}
    void MakeLabel() override;

protected:
    std::uint32_t WriteBody(CFieldWriter& writer) override;
};

class TNCdPabReference : public TNCdRichText {
public:
    TNCdPabReference(const RecordSpan& s, CNodeDocument* d) : TNCdRichText(s, d, 4, 3) {}
    void MakeLabel() override;

protected:
    std::uint32_t WriteBody(CFieldWriter& writer) override;
};

class TNCdPabFormulaRef : public TNCdRichText {
public:
    TNCdPabFormulaRef(const RecordSpan& s, CNodeDocument* d) : TNCdRichText(s, d, 6, 38) {}
    void MakeLabel() override;

protected:
    std::uint32_t WriteBody(CFieldWriter& writer) override;
};

class TNCdPabHide : public TNCdRichText {
public:
    TNCdPabHide(const RecordSpan& s, CNodeDocument* d) : TNCdRichText(s, d, 14, 38) {}
    void MakeLabel() override;

protected:
    std::uint32_t WriteBody(CFieldWriter& writer) override;
};
