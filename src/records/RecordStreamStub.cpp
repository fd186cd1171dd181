// No record nodes yet: composite items show no children until the record walk exists.
#include "records/RecordStream.h"

std::unique_ptr<CdRecordFactory> MakeRecordFactory(std::uint16_t) {
    return nullptr;
}

void AddRecordNodes(CNoteNode&, CdRecordFactory&, const std::uint8_t*, std::size_t) {}
