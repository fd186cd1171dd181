// The error node: a failed store operation shown in the tree where its result would have been.
#pragma once

#include <string>

#include "store/api/Status.h"
#include "tree/NoteNode.h"

class TNError : public CNoteNode {
public:
    // The label is FormatStatusMessage of the status, format and arguments (at most 499 bytes).
    // A status of 0 with a format gives a plain message node.
    TNError(store::Status status, const char* format, ...)
#if defined(__GNUC__)
        __attribute__((format(printf, 3, 4)))
#endif
        ;

    store::Status GetStatus() const {
        return status_;
    }
    // The store's own account of a failed open (LastErrorDetail: the file or server and the
    // reason), which the status alone does not say; written as the field "detail" when known.
    void TakeOpenDetail();
    const std::string& GetDetail() const {
        return detail_;
    }
    bool IsExpandable() const override {
        return false;
    }
    void WriteBegin(CFieldWriter& writer) override;
    void WriteFields(CFieldWriter& writer) override;
    void WriteEnd(CFieldWriter& writer) override;

private:
    store::Status status_;
    std::string detail_;
};
