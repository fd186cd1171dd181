// What the tree list control core needs from the window system. A toolkit widget implements
// this and forwards its input to the core; tests implement it with fakes.
#pragma once

#include <string_view>

namespace treelist {

class Platform {
public:
    virtual ~Platform() = default;

    virtual void StartTimer(int id, unsigned milliseconds) = 0; // restarts a running timer
    virtual void StopTimer(int id) = 0;
    virtual void SetFocus() = 0;
    virtual bool HasFocus() const = 0;
    virtual void SetCapture() = 0;
    virtual void ReleaseCapture() = 0;
    virtual bool HasCapture() const = 0;

    // Painting. Rows are row indexes; the core has already applied its own freeze count.
    virtual void SetRedraw(bool on) = 0;
    virtual void InvalidateRow(int row) = 0;
    virtual void InvalidateAll() = 0;
    // Moves the pixels below the top of `row` by dy (negative: upwards), repainting what the
    // move uncovers.
    virtual void ScrollBelow(int row, int dy) = 0;

    virtual int TextWidth(std::string_view text) const = 0;
    virtual void BeginWaitCursor() = 0;
    virtual void EndWaitCursor() = 0;
};

} // namespace treelist
