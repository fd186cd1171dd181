// Keys and typed characters of the tree list control core.
#include "treelist/TreeListCore.h"

#include <algorithm>

using namespace treelist;

namespace {

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (c >> 6)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (c >> 12)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (c >> 18)));
        out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
}

constexpr std::size_t kMaxTyped = 32;

} // namespace

bool CTreeListCore::KeyDown(Key key, Modifiers mods, bool repeat) {
    if (!repeat) {
        RememberSelection(); // the notifications wait for the key to be released
    }
    switch (HandleKey(key, mods)) {
    case KeyResult::Handled:
        suppressChars_ = true;
        return true;
    case KeyResult::Default:
        return true;
    case KeyResult::NotMine:
        break;
    }
    return false;
}

void CTreeListCore::KeyUp(Key /*key*/) {
    suppressChars_ = false;
    SendSelectionNotifications();
}

// The parent as a selection target: never the hidden root.
static CTreeListNode* VisibleParent(const CTreeListNode& node) {
    CTreeListNode* p = node.GetParent();
    return p && p->GetLevel() >= 0 ? p : nullptr;
}

CTreeListCore::KeyResult CTreeListCore::HandleKey(Key key, Modifiers mods) {
    CTreeListNode* cur = current_;
    switch (key) {
    case Key::Enter:
        ToggleExpansion(cur);
        return KeyResult::Handled;
    case Key::Backspace:
        if (CTreeListNode* p = cur ? VisibleParent(*cur) : nullptr) {
            SelectAndShow(p);
        }
        return KeyResult::Handled;
    case Key::NumMultiply:
        if (cur) {
            ExpandAll(cur);
        }
        return KeyResult::Handled;
    case Key::NumAdd:
        if (cur) {
            Expand(cur);
        }
        return KeyResult::Handled;
    case Key::NumSubtract:
        if (cur) {
            Collapse(cur);
        }
        return KeyResult::Handled;
    case Key::Space:
        if (!(style_ & style::kCheckBoxes)) {
            return KeyResult::NotMine; // a typed blank
        }
        ToggleCheck(cur);
        return KeyResult::Handled;
    case Key::Left:
        if (cur && cur->ShowsExpandBox() && cur->HasChildren()) {
            Collapse(cur);
        } else if (cur) {
            if (CTreeListNode* p = VisibleParent(*cur)) {
                SelectAndShow(p);
            }
        }
        return KeyResult::Handled;
    case Key::Right:
        if (cur && cur->ShowsExpandBox() && !cur->HasChildren()) {
            Expand(cur);
        } else if (cur && cur->GetFirstChild()) {
            SelectAndShow(cur->GetFirstChild());
        }
        return KeyResult::Handled;
    case Key::Up:
    case Key::Down:
        if (mods.shift) {
            if (cur) {
                CTreeListNode* s = key == Key::Up ? cur->GetPrevSibling() : cur->GetNextSibling();
                if (s) {
                    SelectAndShow(s);
                }
            }
            return KeyResult::Handled;
        }
        if (mods.ctrl) {
            ScrollByRows(key == Key::Up ? -1 : 1);
            return KeyResult::Handled;
        }
        DefaultKey(key);
        return KeyResult::Default;
    case Key::Home:
    case Key::End:
        if (mods.shift) {
            if (cur && cur->GetParent()) {
                CTreeListNode* p = cur->GetParent();
                SelectAndShow(key == Key::Home ? p->GetFirstChild() : p->GetLastChild());
            }
            return KeyResult::Handled;
        }
        DefaultKey(key);
        return KeyResult::Default;
    case Key::PageDown:
        PageDown();
        return KeyResult::Handled;
    case Key::PageUp:
        DefaultKey(key);
        return KeyResult::Default;
    case Key::Other:
        break;
    }
    return KeyResult::NotMine;
}

// What the list itself does with movement keys.
void CTreeListCore::DefaultKey(Key key) {
    const int count = RowCount();
    if (count == 0) {
        return;
    }
    const int last = count - 1;
    const int base = current_ ? RowOf(*current_) : std::clamp(caret_, 0, last);
    int target = base;
    switch (key) {
    case Key::Up:
        target = current_ ? base - 1 : base;
        break;
    case Key::Down:
        target = current_ ? base + 1 : base;
        break;
    case Key::Home:
        target = 0;
        break;
    case Key::End:
        target = last;
        break;
    case Key::PageUp:
        target = base - std::max(1, RowsPerPage() - 1);
        break;
    default:
        return;
    }
    SelectRow(std::clamp(target, 0, last));
}

void CTreeListCore::PageDown() {
    const int count = RowCount();
    if (count == 0) {
        return;
    }
    const int last = count - 1;
    const int cur = current_ ? RowOf(*current_) : std::clamp(caret_, 0, last);
    if (current_ && cur >= last) {
        return;
    }
    const int target = std::min(cur - 1 + RowsPerPage(), last);
    if (target > cur) {
        Select(NodeAt(target));
        SetTopRow(cur);
    } else {
        Select(NodeAt(cur + 1 <= last ? cur + 1 : last));
        SetTopRow(cur + 1);
    }
    EnsureVisible(caret_);
}

// Ctrl+Up/Down: the view moves, the selection stays unless it would leave the view.
void CTreeListCore::ScrollByRows(int delta) {
    const int before = topRow_;
    SetTopRow(topRow_ + delta);
    if (topRow_ == before || !current_) {
        return;
    }
    const int row = RowOf(*current_);
    if (row < topRow_ || row >= topRow_ + RowsPerPage()) {
        DefaultKey(delta < 0 ? Key::Up : Key::Down);
    }
}

void CTreeListCore::Char(char32_t c) {
    if (suppressChars_ || c < 0x20 || c == 0x7F) {
        return;
    }
    if (typed_.size() < kMaxTyped) {
        typed_.push_back(c);
    }
    platform_.StartTimer(kTypeAheadTimer, clearCharsMs_);
    TypeAhead();
}

// Searches down from the current row (from the next one for a first character), wrapping
// round, for a label that starts with the typed characters.
void CTreeListCore::TypeAhead() {
    const int count = RowCount();
    if (count == 0) {
        return;
    }
    std::string prefix;
    for (char32_t c : typed_) {
        AppendUtf8(prefix, c);
    }
    const int base = current_ ? RowOf(*current_) : std::clamp(caret_, 0, count - 1);
    const int start = typed_.size() == 1 ? base + 1 : base;
    for (int i = 0; i < count; ++i) {
        const int row = (start + i) % count;
        if (rows_[row]->MatchesPrefix(prefix)) {
            SelectRow(row);
            return;
        }
    }
}

void CTreeListCore::Timer(int id) {
    if (id == kAutoScrollTimer) {
        if (tracking_.mode != kZoneNone) {
            TrackMove(tracking_.last);
        }
    } else if (id == kTypeAheadTimer) {
        typed_.clear();
        platform_.StopTimer(kTypeAheadTimer);
    }
}
