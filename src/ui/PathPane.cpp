#include "ui/PathPane.h"

#include <algorithm>
#include <string>

namespace {

// A copy of one tree node's looks.
class MirrorNode : public CTreeListNode {
public:
    MirrorNode(const CTreeListNode& of, const void* target)
        : target_(target), label_(of.GetLabel()), image_(of.GetImage()),
          connector_(treelist::ConnectorGlyph(of, false)),
          ancestors_(treelist::AncestorGlyphs(of)) {}
    std::string_view GetLabel() const override { return label_; }
    std::optional<NodeImage> GetImage() const override { return image_; }
    const void* Target() const { return target_; }
    int Connector() const { return connector_; }
    const std::vector<int>& Ancestors() const { return ancestors_; }

private:
    const void* target_;
    std::string label_;
    std::optional<NodeImage> image_;
    int connector_;
    std::vector<int> ancestors_;
};

} // namespace

PathPane::PathPane(TreeListWidget& tree, QWidget* parent) : TreeListWidget(parent), tree_(tree) {
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    connect(this, &TreeListWidget::selectionChanged, this, &PathPane::Pick);
}

void PathPane::Follow(CTreeListNode* node) {
    std::vector<const CTreeListNode*> chain;
    for (const CTreeListNode* n = node; n != nullptr && n->GetParent() != nullptr;
         n = n->GetParent()) {
        chain.push_back(n);
    }
    // Deeper than the pane holds: the top levels are shown, down to the limit.
    std::reverse(chain.begin(), chain.end());
    if (chain.size() > std::size_t(kMaxLevels))
        chain.resize(kMaxLevels);
    following_ = true;
    Core().DeleteAllRows();
    CTreeListNode* parent = nullptr;
    for (const CTreeListNode* n : chain) {
        auto* row = new MirrorNode(*n, n);
        if (parent == nullptr) {
            Core().AddRoot(row);
        } else {
            parent->AddChild(row);
        }
        parent = row;
    }
    if (parent != nullptr) {
        Core().SelectAndShow(parent);
        Core().RememberSelection();
    }
    following_ = false;
    viewport()->update();
}

QStringList PathPane::Labels() {
    QStringList out;
    for (int r = 0; r < Core().RowCount(); ++r) {
        const auto label = Core().NodeAt(r)->GetLabel();
        out << QString::fromUtf8(label.data(), qsizetype(label.size()));
    }
    return out;
}

int PathPane::ConnectorFor(const CTreeListNode& node, bool) const {
    return static_cast<const MirrorNode&>(node).Connector();
}

std::vector<int> PathPane::AncestorsFor(const CTreeListNode& node) const {
    return static_cast<const MirrorNode&>(node).Ancestors();
}

void PathPane::Pick(CTreeListNode* row) {
    if (following_ || row == nullptr)
        return;
    // Selecting in the tree rebuilds these rows, so it waits until this notification is over;
    // the target is then looked up by address among the tree's rows before it is touched.
    const void* target = static_cast<MirrorNode*>(row)->Target();
    QMetaObject::invokeMethod(
        this,
        [this, target] {
            const int index = tree_.Core().FindRow(target);
            if (index >= 0)
                tree_.SelectAndNotify(tree_.Core().NodeAt(index));
        },
        Qt::QueuedConnection);
}
