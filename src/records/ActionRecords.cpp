#include "records/RecordKinds.h"

std::span<const RecordKind> ActionRecordKinds() {
    return {};
}
