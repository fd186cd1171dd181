// The cancel check of long operations. While one runs, the user can press Ctrl+Break or Escape:
// the check looks at pending input (painting goes on, so the window stays drawn), swallows
// other input that would re-enter the operation, and remembers a cancel until the program is
// next idle.
#pragma once

namespace cancelwatch {

// True when the user asked to cancel since the program was last idle.
bool Check();
bool IsSet();
void Set();
// Called when the program is idle again.
void Clear();

// Brackets a long operation: input is held back from the windows while one is open.
class Scope {
public:
    Scope();
    ~Scope();
    Scope(const Scope&) = delete;
    Scope& operator=(const Scope&) = delete;
};

} // namespace cancelwatch
