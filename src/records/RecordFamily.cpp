#include "records/RecordFamily.h"

#include "records/SignatureTables.h"

namespace recordfamily {
const RecordFamily kRichText{kRichTextSignatures, 117, 133, 0xB0000};
const RecordFamily kLayout{kLayoutSignatures, 117, 133, 0xC0000};
const RecordFamily kQuery{kQuerySignatures, 146, 147, 0xD0000};
const RecordFamily kAction{kActionSignatures, 148, 149, 0xE0000};
// The one dataset record shows the item strip's image, not the record strip's.
const RecordFamily kDataset{kDatasetSignatures, 116, 135, 0xF0000};
const RecordFamily kPlain{nullptr, 117, 133, 0};
} // namespace recordfamily
