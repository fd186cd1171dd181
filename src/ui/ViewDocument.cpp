#include "ui/ViewDocument.h"

#include <utility>

#include "tree/DocNode.h"

CViewDocument::~CViewDocument() {
    for (CDocNode* n : roots_)
        delete n;
}

bool CViewDocument::AddRoot(CDocNode* node) {
    if (roots_.size() >= 5) {
        delete node;
        return false;
    }
    node->SetDocument(this);
    roots_.push_back(node);
    return true;
}

std::vector<CDocNode*> CViewDocument::TakeRoots() {
    return std::exchange(roots_, {});
}

namespace {
DocumentFactory& Factory() {
    static DocumentFactory factory;
    return factory;
}
} // namespace

void SetDocumentFactory(DocumentFactory factory) {
    Factory() = std::move(factory);
}

std::unique_ptr<CViewDocument> MakeDocument(const std::string& path) {
    if (Factory())
        return Factory()(path);
    auto doc = std::make_unique<CViewDocument>();
    doc->SetTitle(path.empty() ? "Delvex1" : path);
    return doc;
}
