// A browsing document as the windows see it: the node document with its roots and title, and
// hooks through which the document reaches its window (view updates, the dump command, help).
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "tree/NodeDocument.h"

class CDocNode;

class CViewDocument : public CNodeDocument {
public:
    ~CViewDocument() override;

    // Takes the node; at most five roots.
    bool AddRoot(CDocNode* node);
    // Hands the roots over to a tree control, which owns them from then on.
    std::vector<CDocNode*> TakeRoots();
    const std::string& Title() const { return title_; }
    void SetTitle(std::string title) { title_ = std::move(title); }

    std::function<void(std::uint32_t)> onUpdate;
    std::function<void(CNoteNode&)> onDump;
    std::function<void(std::uint32_t)> onHelp;

    void UpdateAllViews(std::uint32_t hint) override {
        if (onUpdate)
            onUpdate(hint);
    }
    void DumpToFile(CNoteNode& node) override {
        if (onDump)
            onDump(node);
    }
    void ShowHelp(std::uint32_t context) override {
        if (onHelp)
            onHelp(context);
    }

private:
    std::vector<CDocNode*> roots_; // owned until taken
    std::string title_;
};

// Makes the document for a path (empty: a new browsing document). Set once by the program.
using DocumentFactory = std::function<std::unique_ptr<CViewDocument>(const std::string& path)>;
void SetDocumentFactory(DocumentFactory factory);
std::unique_ptr<CViewDocument> MakeDocument(const std::string& path);
