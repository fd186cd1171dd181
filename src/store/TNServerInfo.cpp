#include "store/TNServerInfo.h"

#include "output/FieldWriter.h"
#include "store/TNServerBase.h"
#include "store/api/Database.h"
#include "store/api/Paths.h"
#include "store/api/Servers.h"
#include "store/api/Session.h"

namespace {
constexpr NodeTypeId kServerInfoType = 7;
constexpr unsigned kMilliseconds = 215;
} // namespace

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
            writer.MeasureField("client-to-server", latency.toServer, kMilliseconds);
            writer.MeasureField("server-to-client", latency.fromServer, kMilliseconds);
            writer.EndField();
        } else {
            writer.ErrorField("latency", latencyStatus, "Couldn't get latency");
        }
    } else {
        std::string dataDirectory;
        LocalDataDirectory(&dataDirectory);
        writer.TextField("data-directory", dataDirectory.c_str());
    }
}
