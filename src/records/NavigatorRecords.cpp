#include "records/RecordKinds.h"

std::span<const RecordKind> NavigatorRecordKinds() {
    return {};
}
