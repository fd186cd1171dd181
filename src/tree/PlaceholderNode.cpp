#include "tree/PlaceholderNode.h"

#include "tree/CommandIds.h"
#include "tree/HiddenTypes.h"
#include "tree/MenuTexts.h"

CPlaceholderNode::CPlaceholderNode(NodeTypeId type) : descriptor_(&NodeTypeOf(type)) {
    SetTypeId(descriptor_->id);
    SetImage(NodeImage{
        imagecache::Derive(0, descriptor_->bitmap, descriptor_->maskBitmap, ImageKind::Ghosted),
        descriptor_->stripIndex});
    SetLabelFormat("(- Hidden %s -)", descriptor_->name ? descriptor_->name : "");
    SetMenuId(menu::kPlaceholderPopup);
}

namespace {
CPlaceholderNode& Placeholder(CCommandTarget& t) {
    return static_cast<CPlaceholderNode&>(t);
}
void OnShowAll(CCommandTarget& t) {
    ShowAllOfType(Placeholder(t));
}
void UpdateShowAll(CCommandTarget& t, CCmdUI& ui) {
    menutexts::UpdateNamed(ui, Placeholder(t).GetTypeId());
}
constexpr CommandEntry kPlaceholderCommands[] = {{cmd::kShowAll, OnShowAll, UpdateShowAll}};
} // namespace

const CommandMap& CPlaceholderNode::GetCommandMap() const {
    static const CommandMap map{&CDocNode::GetCommandMap(), kPlaceholderCommands};
    return map;
}
