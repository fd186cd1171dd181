// The wait cursor: a scoped object that makes the hourglass the program's forced cursor while
// a long operation runs. Nested wait cursors restore in reverse order; the outermost one gives
// the cursor back to the window system.
#pragma once

class CWaitCursorDisplay {
public:
    virtual ~CWaitCursorDisplay() = default;
    // The forced cursor changed: true the hourglass, false none (the normal cursor).
    virtual void SetForcedCursor(bool hourglass) = 0;
    virtual void CaptureMouse(void* /*window*/) {}
    virtual void ReleaseMouse(void* /*window*/) {}
};

class CWaitCursor {
public:
    // Captures the mouse for window while it lives when window is given.
    explicit CWaitCursor(void* captureWindow = nullptr);
    ~CWaitCursor();
    CWaitCursor(const CWaitCursor&) = delete;
    CWaitCursor& operator=(const CWaitCursor&) = delete;

    // The display the cursors go to (borrowed; null: none, as in tools).
    static void SetDisplay(CWaitCursorDisplay* display);
    static bool Active(); // an hourglass is forced now
    static int Depth();

private:
    bool previous_;
    void* window_;
};
