// A window system that is not there: a tree list control for programs without windows (the
// dump tool, tests), which need the control only to own and expand nodes.
#pragma once

#include "treelist/TreeListPlatform.h"

class CHeadlessPlatform : public treelist::Platform {
public:
    void StartTimer(int, unsigned) override {}
    void StopTimer(int) override {}
    void SetFocus() override {}
    bool HasFocus() const override { return false; }
    void SetCapture() override {}
    void ReleaseCapture() override {}
    bool HasCapture() const override { return false; }
    void SetRedraw(bool) override {}
    void InvalidateRow(int) override {}
    void InvalidateAll() override {}
    void ScrollBelow(int, int) override {}
    int TextWidth(std::string_view text) const override { return static_cast<int>(text.size()); }
    void BeginWaitCursor() override {}
    void EndWaitCursor() override {}
};
