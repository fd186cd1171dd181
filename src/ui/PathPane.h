// The path pane above the tree: one row per level from the top-level node down to the selected
// node (at most 30), each drawn as that node is drawn in the tree. Its rows only mirror: they
// hold copies of what they show, so a node deleted from the tree never leaves a row pointing
// at it. Clicking a row selects its node in the tree.
#pragma once

#include "ui/TreeListWidget.h"

class PathPane : public TreeListWidget {
    Q_OBJECT
public:
    static constexpr int kMaxLevels = 30;

    PathPane(TreeListWidget& tree, QWidget* parent = nullptr);
    // Shows the chain from the top level to node (none: empty).
    void Follow(CTreeListNode* node);
    QStringList Labels();

protected:
    int ConnectorFor(const CTreeListNode& node, bool boxPressed) const override;
    std::vector<int> AncestorsFor(const CTreeListNode& node) const override;

private:
    void Pick(CTreeListNode* row);
    TreeListWidget& tree_;
    bool following_ = false;
};
