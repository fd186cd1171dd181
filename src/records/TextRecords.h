// Text records: text runs, text effects, headers, style names and font tables.
#pragma once

#include "records/RichTextRecord.h"

class TNCdText : public TNCdRichText {
public:
    TNCdText(const RecordSpan& s, CNodeDocument* d) : TNCdRichText(s, d, 8, 4) {}
    void MakeLabel() override;

protected:
    std::uint32_t WriteBody(CFieldWriter& writer) override;
};

class TNCdTextEffect : public TNCdRichText {
public:
    TNCdTextEffect(const RecordSpan& s, CNodeDocument* d) : TNCdRichText(s, d, 8, 48) {}
    void MakeLabel() override;

protected:
    std::uint32_t WriteBody(CFieldWriter& writer) override;
};

class TNCdHeader : public TNCdRichText {
public:
    TNCdHeader(const RecordSpan& s, CNodeDocument* d) : TNCdRichText(s, d, 43, 12) {}
    void MakeLabel() override;

protected:
    std::uint32_t WriteBody(CFieldWriter& writer) override;
};

class TNCdStyleName : public TNCdRichText {
public:
    TNCdStyleName(const RecordSpan& s, CNodeDocument* d) : TNCdRichText(s, d, 44, 26) {}
    void MakeLabel() override;

protected:
    std::uint32_t WriteBody(CFieldWriter& writer) override;
};

class TNCdFontTable : public TNCdRichText {
public:
    TNCdFontTable(const RecordSpan& s, CNodeDocument* d) : TNCdRichText(s, d, 6, 23) {}
    void MakeLabel() override;

protected:
    std::uint32_t WriteBody(CFieldWriter& writer) override;
};

// The label of a text run: the text between quotes, cut to 46 characters and "..." when it
// has 48 or more. Characters are counted in the translated (UTF-8) text.
std::string TextExcerpt(const char* stored, std::size_t length);
