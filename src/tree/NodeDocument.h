// What nodes need of the document that owns their tree: the shown and placeholder type sets
// (read through references that hide/show operations point at temporary sets), the current
// node, view updates and help. The browsing document derives from it.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "output/InfoPaneOptions.h"
#include "tree/TypeSet.h"
#include "treelist/CommandTarget.h"

class CDocNode;
class CDocumentNodeOptions;
class CNoteNode;
class CTreeListCore;

class CNodeDocument : public CCommandTarget {
public:
    CNodeDocument();
    ~CNodeDocument() override;

    // The sets nodes consult: normally the document's own, temporarily others.
    const CTypeSet& ShownSet() const { return *shownRef_; }
    const CTypeSet& PlaceholderSet() const { return *placeholderRef_; }
    const CTypeSet& OwnShownSet() const { return shown_; }
    const CTypeSet& OwnPlaceholderSet() const { return placeholder_; }
    // Copies the set and recomputes the placeholder set.
    void SetShownSet(const CTypeSet& shown);
    bool PlaceholdersWanted() const { return placeholdersWanted_; }
    void SetPlaceholdersWanted(bool wanted);
    bool AllTypesShown() const { return shown_.IsFull(); }
    // Points the references elsewhere; a null pointer leaves that reference as it is. The sets
    // must outlive the matching ResetReferences.
    void PointReferences(const CTypeSet* shown, const CTypeSet* placeholder);
    void ResetReferences();

    // How the document makes one of its roots, in the order it makes them. The hide and show
    // commands make a root again from it when its type is shown again (a root has no parent
    // whose re-population would bring it back).
    struct RootMaker {
        NodeTypeId type;
        std::function<CDocNode*()> make;
    };
    void AddRootMaker(NodeTypeId type, std::function<CDocNode*()> make);
    const std::vector<RootMaker>& RootMakers() const { return rootMakers_; }

    // The control that shows the document's tree (borrowed; null while there is none). The
    // view commands on hidden types act on it.
    CTreeListCore* Tree() const { return tree_; }
    void SetTree(CTreeListCore* tree) { tree_ = tree; }

    // The display switches of the info pane and of dumps made from this document.
    CInfoPaneOptions& InfoOptions() { return infoOptions_; }
    const CInfoPaneOptions& InfoOptions() const { return infoOptions_; }
    // How note nodes are labelled and opened ("Document Nodes").
    CDocumentNodeOptions& DocumentOptions() { return *documentOptions_; }
    const CDocumentNodeOptions& DocumentOptions() const { return *documentOptions_; }

    CDocNode* GetCurrentNode() const { return current_; }
    void SetCurrentNode(CDocNode* node) { current_ = node; }
    // A node of this document is being destroyed: it stops being the current node.
    void NodeDestroyed(CDocNode& node);

    // Tells every view of the document; the default has none.
    virtual void UpdateAllViews(std::uint32_t /*hint*/) {}
    // Tells every view of every document that exists now (what the program remembers across
    // documents changed).
    static void UpdateEveryDocument(std::uint32_t hint);
    virtual void ShowHelp(std::uint32_t /*context*/) {}
    // The dump command of a node; the default does nothing.
    virtual void DumpToFile(CNoteNode& /*node*/) {}

    // Offers a command to the document, then to its current node.
    bool RouteCommand(std::uint32_t id);
    bool RouteUpdate(CCmdUI& ui);

protected:
    // Show All Data, Placeholders for Hidden Data and Hide All: Placeholders.
    const CommandMap& GetCommandMap() const override;

private:
    void RecomputePlaceholders();

    CTypeSet shown_ = CTypeSet::All();
    CTypeSet placeholder_;
    bool placeholdersWanted_ = true;
    const CTypeSet* shownRef_ = &shown_;
    const CTypeSet* placeholderRef_ = &placeholder_;
    CDocNode* current_ = nullptr;
    CTreeListCore* tree_ = nullptr;
    std::vector<RootMaker> rootMakers_;
    CInfoPaneOptions infoOptions_;
    std::unique_ptr<CDocumentNodeOptions> documentOptions_;
};

// Points a document's references at temporary sets for a scope.
class CTemporaryTypeSets {
public:
    CTemporaryTypeSets(CNodeDocument& doc, const CTypeSet* shown, const CTypeSet* placeholder)
        : doc_(doc) {
        doc_.PointReferences(shown, placeholder);
    }
    ~CTemporaryTypeSets() { doc_.ResetReferences(); }
    CTemporaryTypeSets(const CTemporaryTypeSets&) = delete;
    CTemporaryTypeSets& operator=(const CTemporaryTypeSets&) = delete;

private:
    CNodeDocument& doc_;
};

// The options of the document, or the defaults for a node that has none.
const CDocumentNodeOptions& DocumentNodeOptionsOf(const CNodeDocument* document);
