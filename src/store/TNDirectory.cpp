#include "store/TNDirectory.h"

#include <fstream>

#include "output/FieldWriter.h"
#include "store/SummaryItems.h"
#include "store/api/Database.h"
#include "store/api/Paths.h"
#include "store/api/Servers.h"
#include "store/api/Session.h"

namespace {
constexpr NodeTypeId kDirectoryType = 8;
constexpr NodeTypeId kServerInfoType = 7;
constexpr std::size_t kMaxLine = 299;

const SummaryRename kDirectoryRenames[] = {
    {"$TITLE", "title"},       {"$Path", "path"},     {"$Type", nullptr},
    {"$Modified", "modified"}, {"$Length", "length"}, {"$Properties", "properties"},
    {nullptr, nullptr},
};

std::string LastComponent(std::string_view path) {
    const std::size_t slash = path.find_last_of("\\/");
    return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

bool DataDirectory(std::string* out) {
    char buffer[257];
    std::size_t length = 0;
    if (store::GetEnvironmentValue("Directory", buffer, sizeof buffer, &length) !=
        store::kNoError) {
        return false;
    }
    *out = buffer;
    return true;
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

void TNDirectory::WriteEnd(CFieldWriter& writer) {
    writer.EndField();
}

void TNDirectory::WriteFields(CFieldWriter& writer) {
    WriteSummaryItems(writer, summary_, kDirectoryRenames);
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
    if (!DataDirectory(&dataDirectory)) {
        return std::nullopt;
    }
    const std::string storePath = directoryPath + ".dir";
    char file[4096];
    if (store::ResolveStorePath(storePath.data(), storePath.size(), file, sizeof file) !=
        store::kNoError) {
        return std::nullopt;
    }
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
    DirectoryLink link;
    std::string line;
    bool first = true;
    while (std::getline(in, line)) {
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

int ReleaseOfBuild(unsigned build) {
    return build <= 81 ? 1 : build <= 93 ? 2 : build <= 118 ? 3 : 4;
}

TNServerInfo::TNServerInfo(std::shared_ptr<const std::string> serverName)
    : serverName_(serverName ? std::move(serverName) : std::make_shared<const std::string>()) {
    SetTypeId(kServerInfoType);
    SetLabel("Machine Information");
    SetImage(GeneralImage(19));
}

void TNServerInfo::WriteBegin(CFieldWriter& writer) {
    writer.BeginField("server-information");
}

void TNServerInfo::WriteEnd(CFieldWriter& writer) {
    writer.EndField();
}

void TNServerInfo::WriteFields(CFieldWriter& writer) {
    const bool server = !serverName_->empty();
    store::ServerLatency latency;
    store::Status latencyStatus = store::kNoError;
    if (server) {
        latencyStatus = store::GetServerLatency(serverName_->c_str(), &latency);
    }
    unsigned release = latencyStatus == store::kNoError ? latency.release : 0;
    store::Status buildStatus = store::kNoError;
    if (release == 0) {
        char path[257];
        buildStatus = store::JoinNetPath(serverName_->c_str(), "NAMES.VLT", path, sizeof path);
        store::DbHandle db{};
        if (buildStatus == store::kNoError) {
            buildStatus = store::OpenDatabase(path, &db);
        }
        if (buildStatus == store::kNoError) {
            std::uint16_t version = 0;
            buildStatus = store::DatabaseBuildVersion(db, &version);
            release = version;
            store::CloseDatabase(db);
        }
    }
    if (release > 0) {
        writer.NumberField("build-version", release);
        writer.Comment("Release %d.x", ReleaseOfBuild(release));
    }
    if (buildStatus != store::kNoError) {
        writer.ErrorField("build-version", buildStatus, "Unable to get build version");
    }
    if (server) {
        if (latencyStatus == store::kNoError) {
            writer.BeginField("latency");
            writer.MeasureField("client-to-server", latency.toServer, 215);
            writer.MeasureField("server-to-client", latency.fromServer, 215);
            writer.EndField();
        } else {
            writer.ErrorField("latency", latencyStatus, "Couldn't get latency");
        }
    } else {
        std::string dataDirectory;
        DataDirectory(&dataDirectory);
        writer.TextField("data-directory", dataDirectory.c_str());
    }
}
