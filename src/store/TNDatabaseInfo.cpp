#include "store/TNDatabaseInfo.h"

#include "output/FieldWriter.h"
#include "output/OutputStrings.h"
#include "store/DatabaseTables.h"
#include "store/TNDatabase.h"
#include "store/api/Database.h"
#include "tree/NodeImageIndex.h"

TNDatabaseInfo::TNDatabaseInfo(store::DbHandle db) : db_(db) {
    SetTypeId(nodetype::kDatabaseInfo);
    SetImageIndex(*this, 8);
    SetLabel("Database Information");
}

void TNDatabaseInfo::WriteBegin(CFieldWriter& writer) {
    writer.BeginField("database-information");
}

void TNDatabaseInfo::WriteFields(CFieldWriter& writer) {
    using namespace store;
    std::uint16_t dbClass = 0;
    Status status = DatabaseClass(db_, &dbClass);
    if (status == kNoError)
        writer.SymbolField("creation-class", dbClass, dbtables::kDatabaseClass);
    else
        writer.ErrorField("creation-class", status, "Unable to get database class");

    TimeDate id;
    status = DatabaseId(db_, &id);
    if (status == kNoError) {
        writer.TimeIdField("database-id", id, true);
        writer.CommentId(outstr::kDateOfCreation);
    } else {
        writer.ErrorField("id", status, "Unable to get database id");
    }

    ReplicaInfo replica;
    status = DatabaseReplicaInfo(db_, &replica);
    if (status == kNoError) {
        writer.BeginField("replica-info");
        writer.TimeIdField("replica-id", replica.replicaId, true);
        writer.Comment("(date of creation of original db)");
        writer.SymbolField("flags", replica.flags & 0x3FFF, dbtables::kReplicaFlags);
        writer.SymbolField("priority", ((replica.flags >> 14) + 1) & 3, dbtables::kReplicaPriority);
        writer.MeasureField("cutoff-interval", replica.cutoffInterval, outstr::kUnitDays);
        writer.TimeField("cutoff-date", replica.cutoffDate);
        writer.EndField();
    } else {
        writer.ErrorField("error", status, "Unable to get replica info");
    }

    TimeDate data, nonData;
    status = DatabaseModifiedTimes(db_, &data, &nonData);
    if (status == kNoError) {
        writer.TimeField("data-modification", data);
        writer.TimeField("nondata-modification", nonData);
    } else {
        writer.ErrorField("error", status, "Unable to get modified times");
    }

    std::uint32_t options = 0;
    status = DatabaseOptions(db_, &options);
    if (status == kNoError)
        writer.SymbolField("options", options, dbtables::kDatabaseOptions);
    else if (status != kNotAvailable)
        writer.ErrorField("options", status, "Unable to GetDbOptions");
}

void TNDatabaseInfo::WriteEnd(CFieldWriter& writer) {
    writer.EndField();
}
