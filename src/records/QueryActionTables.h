// Symbol tables of the query and action records, and the By Form body both families share.
#pragma once

#include <cstdint>

#include "output/SymbolEntry.h"

#include <string>

class CFieldWriter;
class RecordComposer;
class TNCdRecord;

extern const SymbolEntry kNoFlags[]; // flags whose bits have no names: the value in hex

// Query records
extern const SymbolEntry kQueryHeaderFlags[];
extern const SymbolEntry kTextTermFlags[];
extern const SymbolEntry kByFieldFlags[];
extern const SymbolEntry kQueryOperators[];
extern const SymbolEntry kFormulaTermFlags[];
extern const SymbolEntry kByFolderFlags[];

// Both
extern const SymbolEntry kAssistOperators[];

// Action records
extern const SymbolEntry kModifyFlags[];
extern const SymbolEntry kReplyFlags[];
extern const SymbolEntry kFormulaActionFlags[];
extern const SymbolEntry kSendMailFlags[];
extern const SymbolEntry kDbCopyFlags[];
extern const SymbolEntry kFolderFlags[];
extern const SymbolEntry kNewsletterFlags[];

// The By Form body after its flags: the assist fields (count at 8, from 12), then the form name
// (length at 10). Returns the cursor.
std::uint32_t ByFormBody(TNCdRecord& record, CFieldWriter& writer);
// What a description gives of it: "assist-field": a list of {operator, value-data-type, spare,
// field-name, value}, and "form-name".
bool ComposeByForm(RecordComposer& composer, const std::string& path);
