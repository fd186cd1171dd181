// Input as the tree list control core sees it: keys, modifiers and points in client pixels.
#pragma once

namespace treelist {

enum class Key {
    Enter,
    Backspace,
    Space,
    Left,
    Right,
    Up,
    Down,
    Home,
    End,
    PageUp,
    PageDown,
    NumMultiply,
    NumAdd,
    NumSubtract,
    Other, // any key the control leaves to the owner
};

struct Modifiers {
    bool shift = false;
    bool ctrl = false;
};

struct Point {
    int x = 0;
    int y = 0;
};

// Timer ids.
constexpr int kAutoScrollTimer = 1;
constexpr int kTypeAheadTimer = 2;

} // namespace treelist
