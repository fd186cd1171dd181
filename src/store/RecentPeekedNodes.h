// The nodes that show what the user looked at: "Recently Peeked Databases" and "Recently
// Peeked Servers" (roots of a new document) and "Recently Peeked Notes" (the first child of a
// database). Each lists its remembered entries as the nodes that re-open them; on its
// view-update hint it redraws, so that its expand box follows the list, while its children
// stay as they are until it is expanded again.
#pragma once

#include <cstdint>

#include "tree/NoteNode.h"

class TNDatabase;

// The program's databases, most recent first.
class CRecentDatabasesNode : public CNoteNode {
public:
    CRecentDatabasesNode();
    bool IsExpandable() const override;
    void AddChildren() override;
    void OnOptionsChanged(std::uint32_t flags) override;
    void WriteBegin(CFieldWriter& writer) override;
    void WriteEnd(CFieldWriter& writer) override;
};

// The program's servers, sorted by name.
class CRecentServersNode : public CNoteNode {
public:
    CRecentServersNode();
    bool IsExpandable() const override;
    void AddChildren() override;
    void OnOptionsChanged(std::uint32_t flags) override;
    void WriteBegin(CFieldWriter& writer) override;
    void WriteEnd(CFieldWriter& writer) override;
};

// The notes of its database, most recent first. The database (its parent) outlives it.
class CRecentNotesNode : public CNoteNode {
public:
    explicit CRecentNotesNode(TNDatabase* database);
    bool IsExpandable() const override;
    void AddChildren() override;
    void OnOptionsChanged(std::uint32_t flags) override;
    void WriteBegin(CFieldWriter& writer) override;
    void WriteEnd(CFieldWriter& writer) override;

private:
    TNDatabase* database_;
};
