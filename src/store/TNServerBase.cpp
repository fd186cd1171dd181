#include "store/TNServerBase.h"
#include "store/TNServerInfo.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "store/RecentPeeked.h"
#include "store/TNDatabase.h"
#include "store/TNDirectory.h"
#include "store/api/Database.h"
#include "store/api/Paths.h"
#include "store/api/Session.h"
#include "tree/CancelProbe.h"
#include "tree/NodeImageIndex.h"
#include "tree/TNError.h"

namespace {
constexpr NodeTypeId kServerInfoType = 7;
constexpr NodeTypeId kDirectoryType = 8;
constexpr NodeTypeId kTemplatesType = 10;
constexpr std::uint16_t kListFlags = 6;
constexpr std::uint16_t kDatabasesAndDirectories = 0xC004;
constexpr std::uint16_t kTemplates = 0x0005;
constexpr std::size_t kPathSize = 257;
} // namespace

bool LocalDataDirectory(std::string* out) {
    char buffer[257];
    if (store::GetEnvironmentValue("Directory", buffer, sizeof buffer) != store::kNoError) {
        return false;
    }
    *out = buffer;
    return true;
}

std::span<const std::uint8_t> SummaryBytes(const store::SEARCH_MATCH& match,
                                           const store::ITEM_TABLE* summary) {
    if (!summary) {
        return {};
    }
    return {reinterpret_cast<const std::uint8_t*>(summary), match.summaryLength};
}

NodeImage GeneralImage(std::uint16_t index) {
    return NodeImage{imagecache::Derive(0, kGeneralStrip.bitmap, kGeneralStrip.mask), index};
}

TNServerBase::TNServerBase(std::shared_ptr<const std::string> serverName, std::string directoryPath)
    : serverName_(serverName ? std::move(serverName) : std::make_shared<const std::string>()),
      path_(std::move(directoryPath)) {}

void TNServerBase::AttachError(store::Status status, const char* format, ...) {
    if (!format) {
        AddChild(new TNError(status, nullptr));
        return;
    }
    char text[500];
    std::va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    AddChild(new TNError(status, "%s", text));
}

void TNServerBase::AddChildren() {
    char path[kPathSize];
    store::Status st = store::JoinNetPath(serverName_->c_str(), path_.c_str(), path, sizeof path);
    if (st != store::kNoError) {
        AttachError(st, "Unable to construct network path");
        return;
    }
    store::DbHandle dir{};
    st = store::OpenDatabase(path, &dir);
    if (st != store::kNoError) {
        auto* error = new TNError(st, "Unable to open network path %s", path);
        error->TakeOpenDetail();
        AddChild(error);
        return;
    }
    if (!serverName_->empty() && path_.empty()) {
        recent::AddServer(*serverName_);
    }
    if (path_.empty() && AcceptChild(kServerInfoType)) {
        AddChild(new TNServerInfo(serverName_));
    }
    store::Status last = store::kNoError;
    cancelShown_ = false;
    if (IsTypeShownOrHeld(kDirectoryType) || IsTypeShownOrHeld(nodetype::kDatabases)) {
        databaseType_ = nodetype::kDatabases;
        last = store::Search(dir, nullptr, 0, kListFlags, kDatabasesAndDirectories, nullptr,
                             CallbackVLTSearch, this);
    }
    // After a cancel nothing more is listed: the cancel node stays the last child.
    if (last != store::kCancelled && IsTypeShownOrHeld(kTemplatesType)) {
        databaseType_ = kTemplatesType;
        last = store::Search(dir, nullptr, 0, kListFlags, kTemplates, nullptr, CallbackVLTSearch,
                             this);
    }
    if (last == store::kCancelled) {
        // The store may see the cancel before this node's callback does.
        if (!cancelShown_) {
            AttachError(store::kCancelled, nullptr);
        }
    } else if (last != store::kNoError) {
        AttachError(last, "Couldn't search directory");
    }
    store::CloseDatabase(dir);
}

store::Status TNServerBase::CallbackVLTSearch(void* node, const store::SEARCH_MATCH* match,
                                              const store::ITEM_TABLE* summary) {
    if (!node || !match) {
        return store::kNoError;
    }
    return static_cast<TNServerBase*>(node)->OnSearchResult(*match, summary);
}

store::Status TNServerBase::OnSearchResult(const store::SEARCH_MATCH& match,
                                           const store::ITEM_TABLE* summary) {
    if (!(match.matchFlags & store::kMatchSelected)) {
        return store::kNoError;
    }
    if (UserCancelled()) {
        AttachError(store::kCancelled, nullptr);
        cancelShown_ = true;
        return store::kCancelled;
    }
    char type[129] = "";
    if (!summary ||
        store::SummaryValueText(summary, "$Type", type, sizeof type, nullptr) != store::kNoError) {
        AttachError(0, "Couldn't get $Type of search result");
        return store::kNoError;
    }
    char path[kPathSize] = "";
    if (std::strcmp(type, "$NOTEFILE") == 0) {
        if (!AcceptChild(databaseType_)) {
            return store::kNoError;
        }
        char file[kPathSize] = "";
        if (store::SummaryValueText(summary, "$Path", file, sizeof file, nullptr) ==
            store::kNoError) {
            const store::Status st =
                store::JoinNetPath(serverName_->c_str(), file, path, sizeof path);
            if (st != store::kNoError) {
                AttachError(st, "Couldn't construct path to database");
                return st;
            }
        }
        char info[130] = "";
        char title[129] = "";
        std::size_t infoLength = 0;
        if (store::SummaryValueText(summary, "$Info", info, sizeof info, &infoLength) ==
            store::kNoError) {
            store::InfoField(info, infoLength, 0, title, sizeof title, nullptr);
        }
        const auto bytes = SummaryBytes(match, summary);
        AddChild(
            new TNDatabase(GetDocument(), title, path, databaseType_, bytes.data(), bytes.size()));
    } else if (std::strcmp(type, "$DIR") == 0) {
        if (!AcceptChild(kDirectoryType)) {
            return store::kNoError;
        }
        if (store::SummaryValueText(summary, "$Path", path, sizeof path, nullptr) !=
            store::kNoError) {
            path[0] = '\0';
        }
        AddChild(new TNDirectory(serverName_, path, SummaryBytes(match, summary)));
    } else {
        AttachError(0, "Couldn't interpret type of directory item: %s", type);
    }
    return store::kNoError;
}
