// The three fixed sets of every database: design elements, documents and deletion stubs, each
// counting its notes when the document's options ask for it.
#pragma once

#include <cstdint>

#include "store/TNDocSetBase.h"

class TNDatabaseDocSet : public TNDocSetBase {
public:
    enum Kind : int { kDesignElements = 0, kDocuments = 1, kDeletionStubs = 2 };

    TNDatabaseDocSet(TNDatabase* database, int kind);

    // -1 when not counted (or the count failed).
    std::int32_t Count() const { return count_; }
    store::Status CountStatus() const { return countStatus_; }

    void WriteBegin(CFieldWriter& writer) override;
    void WriteFields(CFieldWriter& writer) override;

private:
    void CountNotes();

    std::string name_;
    std::int32_t count_ = -1;
    store::Status countStatus_ = store::kNoError;
};
