// A directory of a machine's data directory, and a machine's information node.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "store/TNServerBase.h"

class TNDirectory : public TNServerBase {
public:
    static constexpr std::size_t kMaxPath = 256;

    // summary: the search result's summary buffer, copied.
    TNDirectory(std::shared_ptr<const std::string> serverName, std::string_view path,
                std::span<const std::uint8_t> summary);

    // The open folder while it has children, the closed one otherwise.
    std::optional<NodeImage> GetImage() const override;
    void WriteBegin(CFieldWriter& writer) override;
    void WriteFields(CFieldWriter& writer) override;
    void WriteEnd(CFieldWriter& writer) override;
    // The directory's summary buffer, which the summary fields' ranges point into.
    bool NodeBytes(std::span<const std::uint8_t>& bytes) const override;

private:
    std::vector<std::uint8_t> summary_;
};

// A directory link file: the directory it links to, then the names allowed access.
struct DirectoryLink {
    std::string target;
    std::vector<std::string> allowed;
};
// Reads "<path>.dir" of the local data directory; nothing when there is no data directory
// setting or the file cannot be opened. Lines lose their line ends and are cut to 299 bytes.
std::optional<DirectoryLink> ReadDirectoryLink(const std::string& directoryPath);
