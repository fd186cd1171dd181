// The browsing document: at most five root nodes, the type sets and display options that its
// nodes read, its current node and the routing of commands to it.
//
// Ownership: the document owns its roots until a view takes them into its tree list control
// (TakeRootsInto); from then on the control owns every node and the document only routes
// commands to its current node.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "tree/DocNode.h"
#include "tree/NodeDocument.h"

class CFrontEnd;
class CSettings;
class CTreeListCore;

class CDelvexDoc : public CNodeDocument {
public:
    static constexpr std::size_t kMaxRoots = 5;
    static constexpr std::uint32_t kCmdOptions = 32801;

    // Loads the options from settings (null: the program's settings). The front end, when
    // given, answers the options and dump commands and shows their errors.
    explicit CDelvexDoc(const CSettings* settings = nullptr, CFrontEnd* frontEnd = nullptr);
    ~CDelvexDoc() override;

    // The four roots of a browsing document, each subject to the shown and placeholder sets.
    void NewDocument();
    // One root for a database path, a server path ("Hub!!") or an error root for a path that
    // cannot be parsed. Always succeeds: failures show in the tree.
    bool OpenDocument(std::string_view path);
    bool IsModified() const { return false; }

    // Appends a root and gives it this document; false (and the node destroyed) when there
    // are already kMaxRoots.
    bool AddRoot(CDocNode* node);
    std::size_t RootCount() const { return roots_.size(); }
    // The roots not yet taken by a view, in creation order.
    CDocNode* Root(std::size_t index) const;
    // Puts the roots into the control as top-level rows in order (the control owns them from
    // now), makes it the document's tree and selects the first. Returns the first root, or null.
    CDocNode* TakeRootsInto(CTreeListCore& control);

    const std::string& Title() const { return title_; }
    void SetTitle(std::string_view title) { title_ = title; }

    // [Delvex] HiddenTypes and Placeholders, then the display options.
    void LoadOptions(const CSettings& settings);
    // The same keys back; the first write that fails stops and gives false.
    bool SaveOptions(CSettings& settings) const;

    CFrontEnd* FrontEnd() const { return frontEnd_; }
    void SetFrontEnd(CFrontEnd* frontEnd) { frontEnd_ = frontEnd; }

    // Passed on to the front end's windows.
    void UpdateAllViews(std::uint32_t hint) override;
    // Help on a node's context, through the front end.
    void ShowHelp(std::uint32_t context) override;

    // The dump dialog, then the dump; a failure is shown through the front end.
    void DumpToFile(CNoteNode& node) override;

protected:
    const CommandMap& GetCommandMap() const override;

private:
    std::vector<std::unique_ptr<CDocNode>> roots_;
    std::string title_;
    CFrontEnd* frontEnd_;
};
