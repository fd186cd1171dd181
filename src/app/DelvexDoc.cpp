#include "app/DelvexDoc.h"

#include <cstring>

#include "app/FrontEnd.h"
#include "common/ProgramSettings.h"
#include "common/Settings.h"
#include "output/DocumentNodeOptions.h"
#include "output/StatusMessage.h"
#include "store/RecentPeekedNodes.h"
#include "store/TNDatabase.h"
#include "store/TNServer.h"
#include "store/api/Paths.h"
#include "tree/DumpToFile.h"
#include "tree/PlaceholderNode.h"
#include "tree/TNError.h"
#include "treelist/TreeListCore.h"

namespace {
constexpr const char* kSection = "Delvex";
constexpr std::size_t kPartSize = 260;

void OnOptions(CCommandTarget& target) {
    auto& doc = static_cast<CDelvexDoc&>(target);
    if (CFrontEnd* fe = doc.FrontEnd()) {
        if (const std::uint32_t hints = fe->EditOptions(doc)) {
            doc.UpdateAllViews(hints);
        }
    }
}
constexpr CommandEntry kDocCommands[] = {
    {CDelvexDoc::kCmdOptions, OnOptions, nullptr},
};
} // namespace

CDelvexDoc::CDelvexDoc(const CSettings* settings, CFrontEnd* frontEnd) : frontEnd_(frontEnd) {
    LoadOptions(settings ? *settings : ProgramSettings());
}

CDelvexDoc::~CDelvexDoc() = default;

const CommandMap& CDelvexDoc::GetCommandMap() const {
    static const CommandMap map{&CNodeDocument::GetCommandMap(), kDocCommands};
    return map;
}

bool CDelvexDoc::AddRoot(CDocNode* node) {
    std::unique_ptr<CDocNode> owned(node);
    if (!node || roots_.size() >= kMaxRoots) {
        return false;
    }
    node->SetDocument(this);
    roots_.push_back(std::move(owned));
    return true;
}

CDocNode* CDelvexDoc::Root(std::size_t index) const {
    return index < roots_.size() ? roots_[index].get() : nullptr;
}

CDocNode* CDelvexDoc::TakeRootsInto(CTreeListCore& control) {
    SetTree(&control);
    CDocNode* first = roots_.empty() ? nullptr : roots_.front().get();
    for (auto& root : roots_) {
        control.AddRoot(root.release());
    }
    roots_.clear();
    if (first) {
        control.Select(first);
        control.SendSelectionNotifications(true);
    }
    return first;
}

void CDelvexDoc::NewDocument() {
    auto offer = [this](NodeTypeId type, CDocNode* (*make)()) {
        AddRootMaker(type, make);
        if (type == nodetype::kServerList || OwnShownSet().Contains(type)) {
            AddRoot(make());
        } else if (OwnPlaceholderSet().Contains(type)) {
            AddRoot(new CPlaceholderNode(type));
        }
    };
    offer(nodetype::kRecentDatabases, []() -> CDocNode* { return new CRecentDatabasesNode(); });
    offer(nodetype::kLocalMachine, []() -> CDocNode* { return new TNLocalMachine(); });
    offer(nodetype::kRecentServers, []() -> CDocNode* { return new CRecentServersNode(); });
    offer(nodetype::kServerList, []() -> CDocNode* { return new TNServerList(); });
}

bool CDelvexDoc::OpenDocument(std::string_view path) {
    char server[kPartSize] = "";
    char file[kPartSize] = "";
    const store::Status st =
        store::SplitNetPath(path.data(), path.size(), server, sizeof server, file, sizeof file);
    if (st != store::kNoError) {
        const std::string text(path);
        AddRoot(new TNError(st, "Couldn't parse %s", text.c_str()));
        SetTitle("Error");
    } else if (server[0]) {
        const std::string name(server);
        auto make = [name]() -> CDocNode* { return new TNServer(name.c_str(), -1); };
        CDocNode* node = make();
        AddRootMaker(node->GetTypeId(), make);
        SetTitle(server);
        AddRoot(node);
    } else if (file[0]) {
        const std::string filePath(file);
        AddRootMaker(nodetype::kDatabases, [this, filePath]() -> CDocNode* {
            return new TNDatabase(this, filePath.c_str(), filePath.c_str(), nodetype::kDatabases);
        });
        AddRoot(new TNDatabase(this, file, file, nodetype::kDatabases));
        SetTitle(file);
    }
    return true;
}

void CDelvexDoc::LoadOptions(const CSettings& settings) {
    const std::string hidden = settings.GetString(kSection, "HiddenTypes");
    if (!hidden.empty()) {
        CTypeSet shown = CTypeSet::All();
        shown.RemoveAll(CTypeSet::FromLetters(hidden));
        SetShownSet(shown);
    }
    SetPlaceholdersWanted(settings.GetInt(kSection, "Placeholders", 1) != 0);
    InfoOptions().Load(settings);
    DocumentOptions().Load(settings);
}

bool CDelvexDoc::SaveOptions(CSettings& settings) const {
    CTypeSet hidden = CTypeSet::All();
    hidden.RemoveAll(OwnShownSet());
    return settings.WriteString(kSection, "HiddenTypes", hidden.ToLetters()) &&
           settings.WriteInt(kSection, "Placeholders", PlaceholdersWanted() ? 1 : 0) &&
           InfoOptions().Save(settings) && DocumentOptions().Save(settings);
}

void CDelvexDoc::DumpToFile(CNoteNode& node) {
    if (!frontEnd_) {
        return;
    }
    const auto request = frontEnd_->AskDumpFile();
    if (!request) {
        return;
    }
    DumpOptions options;
    options.includeCollapsed = request->includeCollapsed;
    options.format = request->format;
    const DumpResult result = DumpSubtreeToFile(node, request->fileName, options);
    if (!result.error.empty()) {
        frontEnd_->ShowMessage("Error", result.error);
    }
}

void CDelvexDoc::ShowHelp(std::uint32_t context) {
    if (frontEnd_ != nullptr) {
        frontEnd_->ShowHelp(context);
    }
}

void CDelvexDoc::UpdateAllViews(std::uint32_t hint) {
    if (frontEnd_ != nullptr) {
        frontEnd_->UpdateViews(*this, hint);
    }
}
