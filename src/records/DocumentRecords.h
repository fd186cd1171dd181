// Document-wide records: the form's document settings and note links.
#pragma once

#include "records/RichTextRecord.h"

class TNCdDocument : public TNCdRichText {
public:
    TNCdDocument(const RecordSpan& s, CNodeDocument* d) : TNCdRichText(s, d, 24, 22) {}
    void MakeLabel() override;

protected:
    std::uint32_t WriteBody(CFieldWriter& writer) override;
};

class TNCdLinkExport2 : public TNCdRichText {
public:
    TNCdLinkExport2(const RecordSpan& s, CNodeDocument* d) : TNCdRichText(s, d, 44, 13) {}
    void MakeLabel() override;

protected:
    std::uint32_t WriteBody(CFieldWriter& writer) override;
};

class TNCdLink2 : public TNCdRichText {
public:
    TNCdLink2(const RecordSpan& s, CNodeDocument* d) : TNCdRichText(s, d, 6, 13) {}
    void MakeLabel() override;

protected:
    std::uint32_t WriteBody(CFieldWriter& writer) override;
};
