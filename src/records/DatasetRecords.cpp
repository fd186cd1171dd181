#include "records/RecordKinds.h"

std::span<const RecordKind> DatasetRecordKinds() {
    return {};
}
