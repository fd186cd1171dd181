// A plain item node labelled with the item's name, until item values are decoded by type.
#include <string>

#include "items/ItemNodeFactory.h"
#include "output/FieldWriter.h"
#include "tree/NodeTypes.h"
#include "tree/NoteNode.h"

namespace {

class CPlainItemNode : public CNoteNode {
public:
    CPlainItemNode(const ItemScanInfo& info, CNodeDocument* document)
        : CNoteNode(document), name_(info.name ? std::string(info.name, info.nameLength) : "") {
        SetTypeId(39);
        SetLabel(name_);
    }
    void WriteBegin(CFieldWriter& w) override {
        w.BeginField("item");
        w.Text(name_.c_str(), std::ptrdiff_t(name_.size()), '"', '"');
    }
    void WriteEnd(CFieldWriter& w) override { w.EndField(); }

private:
    std::string name_;
};

} // namespace

CNoteNode* CreateItemNode(store::NoteHandle, const ItemScanInfo& info, CNodeDocument* document) {
    return new CPlainItemNode(info, document);
}
