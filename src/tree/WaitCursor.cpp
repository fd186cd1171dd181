#include "tree/WaitCursor.h"

namespace {
CWaitCursorDisplay* g_display = nullptr;
bool g_forced = false;
int g_depth = 0;
} // namespace

CWaitCursor::CWaitCursor(void* captureWindow) : previous_(g_forced), window_(captureWindow) {
    g_forced = true;
    ++g_depth;
    if (g_display) {
        g_display->SetForcedCursor(true);
        if (window_) {
            g_display->CaptureMouse(window_);
        }
    }
}

CWaitCursor::~CWaitCursor() {
    g_forced = previous_;
    --g_depth;
    if (g_display) {
        if (window_) {
            g_display->ReleaseMouse(window_);
        }
        g_display->SetForcedCursor(g_forced);
    }
}

void CWaitCursor::SetDisplay(CWaitCursorDisplay* display) {
    g_display = display;
}

bool CWaitCursor::Active() {
    return g_forced;
}

int CWaitCursor::Depth() {
    return g_depth;
}
