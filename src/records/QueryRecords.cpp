#include "records/RecordKinds.h"

std::span<const RecordKind> QueryRecordKinds() {
    return {};
}
