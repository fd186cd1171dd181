#include "records/RecordFactory.h"

#include "records/DocumentRecords.h"
#include "records/FieldRecords.h"
#include "records/ParagraphRecords.h"
#include "records/TextRecords.h"

namespace {

// Signatures of every rich-text kind with a class of their own. Signatures named in the
// signature tables but missing here are shown as generic records.
constexpr RecordClassRow kBaseClasses[] = {
    {0x81, NewRecord<TNCdParagraph>},       {0x83, NewRecord<TNCdPabReference>},
    {0x86, NewRecord<TNCdDocument>},        {0xA6, NewRecord<TNCdStyleName>},
    {0xFF82, NewRecord<TNCdPabDefinition>}, {0xFF84, NewRecord<TNCdField>},
    {0xFF85, NewRecord<TNCdText>},          {0xFF8A, NewRecord<TNCdField>},
    {0xFF8B, NewRecord<TNCdFontTable>},     {0xFF8E, NewRecord<TNCdHeader>},
    {0xFF8F, NewRecord<TNCdKeyword>},       {0xFF91, NewRecord<TNCdLink2>},
    {0xFF92, NewRecord<TNCdLinkExport2>},   {0xFFC3, NewRecord<TNCdTextEffect>},
};

// Kind 1 only: navigator drawings give these signatures other meanings.
constexpr RecordClassRow kRichTextClasses[] = {
    {0xBC, NewRecord<TNCdPabFormulaRef>},
    {0xFFB0, NewRecord<TNCdExtField>},
    {0xFFBB, NewRecord<TNCdPabHide>},
};

TNCdRecord* Find(std::span<const RecordClassRow> rows, const RecordSpan& record,
                 CNodeDocument* document) {
    for (const RecordClassRow& row : rows)
        if (row.signature == record.signature)
            return row.make(record, document);
    return nullptr;
}

} // namespace

std::span<const RecordClassRow> BaseRecordClasses() {
    return kBaseClasses;
}

std::span<const RecordClassRow> RichTextRecordClasses() {
    return kRichTextClasses;
}

TNCdRecord* CTableRecordFactory::Create(const RecordSpan& record, CNodeDocument* document) const {
    TNCdRecord* node = Find(first_, record, document);
    if (!node)
        node = Find(second_, record, document);
    if (!node)
        node = new TNCdRecord(record, document, family_);
    node->MakeLabel();
    return node;
}
