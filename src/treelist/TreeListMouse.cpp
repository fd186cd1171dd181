// Hit testing and mouse tracking of the tree list control core.
#include "treelist/TreeListCore.h"

#include <algorithm>

using namespace treelist;

HitResult CTreeListCore::HitTest(Point p) {
    HitResult h;
    if (p.y < 0 || p.y >= clientHeight_) {
        h.zone = kZoneOutsideY;
        return h;
    }
    const int count = RowCount();
    if (count == 0) {
        return h;
    }
    h.row = std::min(p.y / rowHeight_ + topRow_, count - 1);
    h.node = rows_[h.row];
    if (p.x < 0 || p.x >= clientWidth_) {
        h.zone = kZoneOutsideX;
        return h;
    }
    const int x = p.x + HorizontalOffset();
    const RowLayout l = Layout(*h.node);
    if (x >= l.imageLeft) {
        h.zone = kZoneLabel;
    } else if ((style_ & style::kLines) && h.node->ShowsExpandBox() && x >= l.connectorLeft) {
        h.zone = kZoneExpandBox;
    } else if ((style_ & style::kCheckBoxes) && h.node->HasCheckBox() && x < indent_) {
        h.zone = kZoneCheckBox;
    }
    return h;
}

void CTreeListCore::LButtonDown(Point p) {
    RememberSelection();
    platform_.SetFocus();
    const HitResult h = HitTest(p);
    const bool track = h.node && (h.zone == kZoneLabel || h.zone == kZoneExpandBox ||
                                  (h.zone == kZoneCheckBox && h.node->IsCheckEnabled()));
    if (!track) {
        return;
    }
    EndTracking();
    Select(h.node);
    platform_.SetCapture();
    tracking_ = Tracking{h.zone, h.node, h.zone != kZoneLabel, p};
    if (h.zone == kZoneLabel) {
        platform_.StartTimer(kAutoScrollTimer, autoScrollMs_);
    } else {
        RedrawNode(*h.node, false);
    }
}

void CTreeListCore::MouseMove(Point p) {
    if (tracking_.mode == kZoneNone || !platform_.HasCapture()) {
        return;
    }
    tracking_.last = p;
    TrackMove(p);
}

void CTreeListCore::TrackMove(Point p) {
    if (tracking_.mode == kZoneLabel) {
        const int count = RowCount();
        if (count == 0) {
            return;
        }
        const int page = RowsPerPage();
        int row;
        if (p.y < 0 || p.y >= clientHeight_) {
            // Outside the list: scroll one row towards the point when not all rows fit, and
            // take the row at that edge.
            const bool above = p.y < 0;
            if (count > page) {
                SetTopRow(topRow_ + (above ? -1 : 1));
            }
            row = above ? topRow_ : std::min(topRow_ + page - 1, count - 1);
        } else {
            row = std::min(p.y / rowHeight_ + topRow_, count - 1);
        }
        if (rows_[row] != current_) {
            Select(rows_[row]);
        }
        return;
    }
    if (!tracking_.node) {
        return;
    }
    const HitResult h = HitTest(p);
    const bool pressed = h.zone == tracking_.mode && h.node == tracking_.node;
    if (pressed != tracking_.pressed) {
        tracking_.pressed = pressed;
        RedrawNode(*tracking_.node, false);
    }
}

void CTreeListCore::LButtonUp(Point p) {
    if (tracking_.mode == kZoneNone) {
        return;
    }
    if (tracking_.mode != kZoneLabel) {
        TrackMove(p); // pressed only when released over the same box
    }
    CTreeListNode* node = tracking_.node;
    if (node && tracking_.pressed) {
        if (tracking_.mode == kZoneExpandBox) {
            ToggleExpansion(node);
        } else if (tracking_.mode == kZoneCheckBox) {
            ToggleCheck(node);
        }
    }
    EndTracking();
    SendSelectionNotifications();
}

void CTreeListCore::EndTracking() {
    if (tracking_.mode == kZoneNone) {
        return;
    }
    CTreeListNode* node = tracking_.node;
    tracking_ = Tracking{};
    if (platform_.HasCapture()) {
        platform_.ReleaseCapture();
    }
    platform_.StopTimer(kAutoScrollTimer);
    if (node) {
        RedrawNode(*node, false);
    }
}

void CTreeListCore::LButtonDblClk(Point p) {
    if (HitTest(p).zone == kZoneLabel) {
        ToggleExpansion(current_);
    }
}

void CTreeListCore::RButtonDown(Point p) {
    RememberSelection();
    platform_.SetFocus();
    const HitResult h = HitTest(p);
    const bool onRow = h.zone != kZoneOutsideY && h.zone != kZoneOutsideX;
    rightPressed_ = onRow ? h.node : nullptr;
    if (h.zone == kZoneLabel) {
        EndTracking();
        Select(h.node);
        platform_.SetCapture();
        tracking_ = Tracking{kZoneLabel, h.node, false, p};
    }
}

void CTreeListCore::RButtonUp(Point p) {
    SendSelectionNotifications();
    CTreeListNode* node = rightPressed_;
    rightPressed_ = nullptr;
    if (node && node->GetMenuId() != 0 && owner_) {
        owner_->OnPopupMenu(*node, node->GetMenuId(), p);
    }
    EndTracking();
}

std::uint32_t CTreeListCore::HelpContextAt(Point p) {
    const HitResult h = HitTest(p);
    return h.zone == kZoneLabel ? h.node->GetHelpContext() : 0;
}
