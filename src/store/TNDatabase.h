// A database (or template) in the tree. Expanding it opens the database and creates the fixed
// children that lead into it; collapsing closes it, so every expansion reads the store afresh.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "store/RecentPeeked.h"
#include "store/SummaryItems.h"
#include "store/api/Handles.h"
#include "tree/NoteNode.h"

namespace nodetype {
constexpr NodeTypeId kTemplates = 10;
constexpr NodeTypeId kAnyDatabases = 11;
constexpr NodeTypeId kDatabaseInfo = 13;
constexpr NodeTypeId kDeletionStubs = 34;
} // namespace nodetype

class TNDatabase : public CNoteNode {
public:
    // title: in the store's character set; null keeps the default label. path: what the
    // store's open takes. type: kDatabases or kTemplates. summary: the directory search's
    // summary buffer for this database (copied; at most summarySize bytes and never beyond the
    // length its first word gives), or null.
    TNDatabase(CNodeDocument* document, const char* title, const char* path, NodeTypeId type,
               const void* summary = nullptr, std::size_t summarySize = 0);
    ~TNDatabase() override;

    const std::string& GetPath() const { return path_; }
    // 0 while closed.
    store::DbHandle GetHandle() const { return handle_; }
    bool HasSummary() const { return !summary_.empty(); }
    // The recently peeked notes of this database's identifier: null until an expansion has
    // read the identifier.
    recent::CNotesRecord* RecentNotes() const { return recentNotes_.Get(); }

    bool IsExpandable() const override { return true; }
    void AddChildren() override;
    // Deletes the children, then closes the database.
    bool CollapseChildren() override;
    void WriteBegin(CFieldWriter& writer) override;
    void WriteFields(CFieldWriter& writer) override;
    void WriteEnd(CFieldWriter& writer) override;
    // The summary buffer of a database found by a directory search, which the summary fields'
    // ranges point into; false for one opened by its path.
    bool NodeBytes(std::span<const std::uint8_t>& bytes) const override;

    // The renames of the summary items a database node writes.
    static const SummaryRename kSummaryRenames[];

protected:
    // "&Select Notes...": a set of notes of the user's choice.
    const CommandMap& GetCommandMap() const override;

private:
    void Close();

    std::string path_;
    std::vector<std::uint8_t> summary_;
    store::DbHandle handle_ = 0;
    recent::CNotesUse recentNotes_; // held until the node goes
};
