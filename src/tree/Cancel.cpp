#include "tree/Cancel.h"

#include <atomic>
#include <csignal>

namespace cancel {
namespace {
// Lock-free so that the signal handler may set it.
std::atomic<bool> g_requested{false};
static_assert(std::atomic<bool>::is_always_lock_free);
KeyPoll g_poll = nullptr;
OperationHook g_operation = nullptr;

extern "C" void OnInterrupt(int) {
    if (g_requested.exchange(true)) {
        std::signal(SIGINT, SIG_DFL);
        std::raise(SIGINT);
    }
}
} // namespace

void SetKeyPoll(KeyPoll poll) {
    g_poll = poll;
}

void SetOperationHook(OperationHook hook) {
    g_operation = hook;
}

Operation::Operation() {
    if (g_operation) {
        g_operation(true);
    }
}

Operation::~Operation() {
    if (g_operation) {
        g_operation(false);
    }
}

bool Check() {
    if (g_requested.load()) {
        return true;
    }
    if (g_poll && g_poll()) {
        g_requested.store(true);
    }
    return g_requested.load();
}

void Request() {
    g_requested.store(true);
}

bool Requested() {
    return g_requested.load();
}

void Clear() {
    g_requested.store(false);
}

void InstallInterruptHandler() {
    std::signal(SIGINT, OnInterrupt);
}

} // namespace cancel
