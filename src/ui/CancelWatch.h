// The desktop side of the program's cancel request. While a long operation runs, pending input
// is looked at from its cancel checks: Ctrl+Break or Escape requests a cancel, painting goes
// on (so the window stays drawn), and other input that would re-enter the operation is held
// back. The request is forgotten when the program is next idle. Also shows the program's wait
// cursor.
#pragma once

namespace cancelwatch {

// Connects the program's cancel check, its long operations (cancel::Operation, which open a
// Scope) and its wait cursor to this window system.
void Install();

// Brackets a long operation: input is held back from the windows while one is open.
class Scope {
public:
    Scope();
    ~Scope();
    Scope(const Scope&) = delete;
    Scope& operator=(const Scope&) = delete;
};

} // namespace cancelwatch
