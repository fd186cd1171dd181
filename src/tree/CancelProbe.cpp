#include "tree/CancelProbe.h"

namespace {
CancelProbe g_probe = nullptr;
void* g_context = nullptr;
} // namespace

void SetCancelProbe(CancelProbe probe, void* context) {
    g_probe = probe;
    g_context = context;
}

bool UserCancelled() {
    return g_probe && g_probe(g_context);
}

CScopedCancelProbe::CScopedCancelProbe(CancelProbe probe, void* context)
    : previous_(g_probe), previousContext_(g_context) {
    SetCancelProbe(probe, context);
}

CScopedCancelProbe::~CScopedCancelProbe() {
    SetCancelProbe(previous_, previousContext_);
}
