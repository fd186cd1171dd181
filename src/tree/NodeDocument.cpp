#include "tree/NodeDocument.h"

#include <algorithm>
#include <vector>

#include "output/DocumentNodeOptions.h"
#include "tree/CommandIds.h"
#include "tree/DocNode.h"
#include "tree/HiddenTypes.h"

namespace {
// Every document alive, in creation order.
std::vector<CNodeDocument*>& Documents() {
    static std::vector<CNodeDocument*> documents;
    return documents;
}
} // namespace

CNodeDocument::CNodeDocument() : documentOptions_(std::make_unique<CDocumentNodeOptions>()) {
    Documents().push_back(this);
}

CNodeDocument::~CNodeDocument() {
    auto& documents = Documents();
    documents.erase(std::remove(documents.begin(), documents.end(), this), documents.end());
}

void CNodeDocument::UpdateEveryDocument(std::uint32_t hint) {
    // An update may close or open a document: walk a copy and skip those gone meanwhile.
    const std::vector<CNodeDocument*> documents = Documents();
    for (CNodeDocument* doc : documents) {
        const auto& now = Documents();
        if (std::find(now.begin(), now.end(), doc) != now.end())
            doc->UpdateAllViews(hint);
    }
}

void CNodeDocument::RecomputePlaceholders() {
    placeholder_.Clear();
    if (placeholdersWanted_) {
        placeholder_ = CTypeSet::All();
        placeholder_.RemoveAll(shown_);
    }
}

void CNodeDocument::SetShownSet(const CTypeSet& shown) {
    shown_ = shown;
    RecomputePlaceholders();
}

void CNodeDocument::SetPlaceholdersWanted(bool wanted) {
    placeholdersWanted_ = wanted;
    RecomputePlaceholders();
}

void CNodeDocument::PointReferences(const CTypeSet* shown, const CTypeSet* placeholder) {
    if (shown) {
        shownRef_ = shown;
    }
    if (placeholder) {
        placeholderRef_ = placeholder;
    }
}

void CNodeDocument::ResetReferences() {
    shownRef_ = &shown_;
    placeholderRef_ = &placeholder_;
}

void CNodeDocument::NodeDestroyed(CDocNode& node) {
    if (current_ == &node) {
        current_ = nullptr;
        UpdateAllViews(hint::kCurrentNode);
    }
}

bool CNodeDocument::RouteCommand(std::uint32_t id) {
    if (OnCommand(id)) {
        return true;
    }
    return current_ && current_->OnCommand(id);
}

bool CNodeDocument::RouteUpdate(CCmdUI& ui) {
    if (OnUpdateCommand(ui)) {
        return true;
    }
    return current_ && current_->OnUpdateCommand(ui);
}

void CNodeDocument::AddRootMaker(NodeTypeId type, std::function<CDocNode*()> make) {
    rootMakers_.push_back({type, std::move(make)});
}

namespace {
CNodeDocument& Doc(CCommandTarget& t) {
    return static_cast<CNodeDocument&>(t);
}
void OnShowAllData(CCommandTarget& t) {
    if (CTreeListCore* tree = Doc(t).Tree()) {
        ShowAllData(Doc(t), *tree);
    }
}
void UpdateShowAllDataItem(CCommandTarget& t, CCmdUI& ui) {
    ::UpdateShowAllData(Doc(t), ui);
    ui.enabled = ui.enabled && Doc(t).Tree() != nullptr;
}
void OnPlaceholders(CCommandTarget& t) {
    if (CTreeListCore* tree = Doc(t).Tree()) {
        SetPlaceholdersShown(Doc(t), *tree, !Doc(t).PlaceholdersWanted());
    }
}
void UpdatePlaceholdersItem(CCommandTarget& t, CCmdUI& ui) {
    ::UpdatePlaceholdersShown(Doc(t), ui);
    ui.enabled = Doc(t).Tree() != nullptr;
}
void OnHidePlaceholders(CCommandTarget& t) {
    if (CTreeListCore* tree = Doc(t).Tree()) {
        SetPlaceholdersShown(Doc(t), *tree, false);
    }
}
void UpdateHidePlaceholders(CCommandTarget& t, CCmdUI& ui) {
    ui.enabled = Doc(t).Tree() != nullptr && Doc(t).PlaceholdersWanted();
}
constexpr CommandEntry kDocumentCommands[] = {
    {cmd::kShowAllData, OnShowAllData, UpdateShowAllDataItem},
    {cmd::kPlaceholders, OnPlaceholders, UpdatePlaceholdersItem},
    {cmd::kHidePlaceholders, OnHidePlaceholders, UpdateHidePlaceholders},
};
} // namespace

const CommandMap& CNodeDocument::GetCommandMap() const {
    static const CommandMap map{&CCommandTarget::GetCommandMap(), kDocumentCommands};
    return map;
}

const CDocumentNodeOptions& DocumentNodeOptionsOf(const CNodeDocument* document) {
    static const CDocumentNodeOptions defaults;
    return document ? document->DocumentOptions() : defaults;
}
