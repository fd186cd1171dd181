// The machines and directories of the tree: a machine (the local one, or a server) or one of
// its directories lists the databases, templates and subdirectories of its directory through
// one store search each.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>

#include "store/api/Search.h"
#include "store/api/Status.h"
#include "tree/NoteNode.h"

class TNServerBase : public CNoteNode {
public:
    // serverName null or empty: the local machine. directoryPath: relative to the machine's
    // data directory, empty for the machine itself.
    TNServerBase(std::shared_ptr<const std::string> serverName, std::string directoryPath);

    bool IsExpandable() const override { return true; }
    void AddChildren() override;

    const std::string& ServerName() const { return *serverName_; }
    const std::string& DirectoryPath() const { return path_; }
    bool IsLocal() const { return serverName_->empty(); }

    static store::Status CallbackVLTSearch(void* node, const store::SEARCH_MATCH* match,
                                           const store::ITEM_TABLE* summary);

protected:
    std::shared_ptr<const std::string> SharedServerName() const { return serverName_; }
    // Attaches an error or message node under this node.
    void AttachError(store::Status status, const char* format, ...)
        __attribute__((format(printf, 3, 4)));

private:
    store::Status OnSearchResult(const store::SEARCH_MATCH& match,
                                 const store::ITEM_TABLE* summary);

    std::shared_ptr<const std::string> serverName_; // shared with the machine's directories
    std::string path_;
    NodeTypeId databaseType_ = nodetype::kDatabases; // what the running search makes
    bool cancelShown_ = false; // the callback attached the cancel node of this listing
};

// The general image strip's entry for icon `index`.
NodeImage GeneralImage(std::uint16_t index);
// The store's "Directory" setting: the local machine's data directory. False when unset.
bool LocalDataDirectory(std::string* out);
// The summary buffer of a search result as the bytes the match says it has.
std::span<const std::uint8_t> SummaryBytes(const store::SEARCH_MATCH& match,
                                           const store::ITEM_TABLE* summary);
