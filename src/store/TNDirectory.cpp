#include "store/TNDirectory.h"

#include <algorithm>

#include "common/PlainFile.h"
#include "output/FieldWriter.h"
#include "store/SummaryItems.h"
#include "store/api/Database.h"
#include "store/api/Paths.h"
#include "store/api/Servers.h"
#include "store/api/Session.h"

namespace {
constexpr NodeTypeId kDirectoryType = 8;
constexpr std::size_t kMaxLine = 299;
// A link file names one directory and a few users; a larger one is not read.
constexpr std::size_t kMaxLinkFile = 1024 * 1024;

const SummaryRename kDirectoryRenames[] = {
    {"$TITLE", "title"},       {"$Path", "path"},     {"$Type", nullptr},
    {"$Modified", "modified"}, {"$Length", "length"}, {"$Properties", "properties"},
    {nullptr, nullptr},
};

std::string LastComponent(std::string_view path) {
    const std::size_t slash = path.find_last_of("\\/");
    return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

} // namespace

TNDirectory::TNDirectory(std::shared_ptr<const std::string> serverName, std::string_view path,
                         std::span<const std::uint8_t> summary)
    : TNServerBase(std::move(serverName), std::string(path.substr(0, kMaxPath))),
      summary_(summary.begin(), summary.end()) {
    SetTypeId(kDirectoryType);
    SetLabel(LastComponent(DirectoryPath()));
}

std::optional<NodeImage> TNDirectory::GetImage() const {
    return GeneralImage(HasChildren() ? 5 : 4);
}

void TNDirectory::WriteBegin(CFieldWriter& writer) {
    writer.BeginField("directory");
    writer.Text(DirectoryPath().c_str());
}

bool TNDirectory::NodeBytes(std::span<const std::uint8_t>& bytes) const {
    bytes = summary_;
    return !summary_.empty();
}

void TNDirectory::WriteEnd(CFieldWriter& writer) {
    writer.EndField();
}

void TNDirectory::WriteFields(CFieldWriter& writer) {
    WriteSummaryItems(writer, summary_.data(), summary_.size(), kDirectoryRenames);
    if (!IsLocal()) {
        return;
    }
    const auto link = ReadDirectoryLink(DirectoryPath());
    if (!link) {
        return;
    }
    writer.TextField("linked-directory", link->target.c_str());
    for (std::size_t i = 0; i < link->allowed.size(); ++i) {
        if (i == 0) {
            writer.BeginField("allowed-access");
            writer.BreakLine();
        } else {
            writer.NextValueLine();
        }
        writer.Text(link->allowed[i].c_str());
    }
    if (!link->allowed.empty()) {
        writer.EndField();
    }
}

std::optional<DirectoryLink> ReadDirectoryLink(const std::string& directoryPath) {
    std::string dataDirectory;
    if (!LocalDataDirectory(&dataDirectory)) {
        return std::nullopt;
    }
    const std::string storePath = directoryPath + ".dir";
    char file[4096];
    if (store::ResolveStorePath(storePath.data(), storePath.size(), file, sizeof file) !=
        store::kNoError) {
        return std::nullopt;
    }
    std::string text;
    if (ReadPlainFile(file, &text, kMaxLinkFile) != 0) {
        return std::nullopt;
    }
    DirectoryLink link;
    bool first = true;
    for (std::size_t start = 0; start < text.size();) {
        const std::size_t end = std::min(text.find('\n', start), text.size());
        std::string line = text.substr(start, end - start);
        start = end + 1;
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        line.resize(std::min(line.size(), kMaxLine));
        if (first) {
            link.target = line;
            first = false;
        } else {
            link.allowed.push_back(line);
        }
    }
    if (first) {
        return std::nullopt; // an empty file links nowhere
    }
    return link;
}
