#include "treelist/TreeWalker.h"

#include "treelist/TreeListCore.h"

CTreeWalker::CTreeWalker(CTreeListNode& start, unsigned flags)
    : start_(&start), whole_(false), both_(flags & kReportBoth), expand_(flags & kExpandCollapsed) {
}

CTreeWalker::CTreeWalker(CTreeListCore& control, unsigned flags)
    : start_(&control.Root()), whole_(true), both_(flags & kReportBoth),
      expand_(flags & kExpandCollapsed) {}

// One move from the position (cur_, in_). Returns false when the walk is over.
bool CTreeWalker::Advance() {
    if (in_) {
        const bool skip = skip_;
        skip_ = false;
        if (!skip && expand_ && !cur_->HasChildren() && cur_->IsExpandable() &&
            !cur_->IsKnownEmpty() && Depth(*cur_) < depth_) {
            cur_->CreateChildren();
            if (autoLevel_ < 0) {
                autoLevel_ = cur_->GetLevel();
            }
        }
        if (skip || Depth(*cur_) >= depth_ || !cur_->GetFirstChild()) {
            in_ = false; // now leaving cur_
        } else {
            cur_ = cur_->GetFirstChild();
        }
        return true;
    }
    // Leaving cur_: what the walk expanded is collapsed again on the way out.
    if (autoLevel_ >= 0 && cur_->GetLevel() >= autoLevel_) {
        cur_->CollapseChildren();
        if (cur_->GetLevel() == autoLevel_) {
            autoLevel_ = -1;
        }
    }
    if (cur_ == start_) {
        return false;
    }
    if (CTreeListNode* next = cur_->GetNextSibling()) {
        cur_ = next;
        in_ = true;
    } else {
        cur_ = cur_->GetParent();
        in_ = false;
        if (!cur_) {
            return false;
        }
    }
    return true;
}

CTreeListNode* CTreeWalker::Next(bool* goingIn) {
    bool dummy;
    bool& in = goingIn ? *goingIn : dummy;
    if (hasPending_) {
        hasPending_ = false;
        in = pendingIn_;
        return pending_;
    }
    if (ended_) {
        return nullptr;
    }
    if (first_) {
        first_ = false;
        cur_ = start_;
        in_ = true;
        if (!whole_) {
            in = true;
            return cur_;
        }
    }
    for (;;) {
        if (!Advance() || (whole_ && cur_ == start_)) {
            ended_ = true; // a whole-control walk ends back at the hidden root, unreported
            return nullptr;
        }
        if (in_ || both_) {
            in = in_;
            return cur_;
        }
    }
}

void CTreeWalker::SkipChildren() {
    if (in_) {
        skip_ = true;
    }
}

void CTreeWalker::DeleteCurrent() {
    CTreeListNode* victim = cur_;
    if (!victim || first_ || hasPending_ || (whole_ && victim == start_)) {
        return;
    }
    SkipChildren();
    bool in = false;
    CTreeListNode* n;
    do {
        n = Next(&in);
    } while (n && n == victim);
    hasPending_ = true;
    pending_ = n;
    pendingIn_ = in;
    victim->DeleteNode();
}
