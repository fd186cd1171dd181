// The program's wait cursor while a long operation runs: nested uses show it once and restore
// the previous cursor in reverse order.
#pragma once

namespace waitcursor {
void Begin();
void End();
bool Active();
} // namespace waitcursor

class CWaitCursor {
public:
    CWaitCursor() { waitcursor::Begin(); }
    ~CWaitCursor() { waitcursor::End(); }
    CWaitCursor(const CWaitCursor&) = delete;
    CWaitCursor& operator=(const CWaitCursor&) = delete;
};
