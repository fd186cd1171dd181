#include "common/Hooks.h"

namespace hooks {
namespace {
// Constant-initialised, so registrations from other files' static initialisers find it ready.
constinit Hook* g_head = nullptr;
} // namespace

void Register(Hook& hook) {
    hook.next = g_head;
    g_head = &hook;
}

void Run(int phase) {
    for (Hook* h = g_head; h; h = h->next) {
        if (h->phase == phase && h->function) {
            h->function(h->argument);
        }
    }
}

CRegistration::CRegistration(Function function, void* argument, int phase)
    : hook_{function, argument, phase} {
    Register(hook_);
}

} // namespace hooks
