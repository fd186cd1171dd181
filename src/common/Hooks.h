// Start-up and shut-down hooks: parts of the program register a function at static
// initialisation; the application runs the phase-0 hooks once the store service is up and the
// phase-1 hooks at shut-down. A hook registered later runs earlier.
//
// The core is a static library: a hook in a file that nothing else references would not be
// linked. Each file that registers one therefore also offers a function the application calls
// (see app/StandardHooks.h).
#pragma once

namespace hooks {

enum Phase : int { kStartup = 0, kShutdown = 1 };
using Function = void (*)(void* argument);

struct Hook {
    Function function;
    void* argument;
    int phase;
    Hook* next = nullptr;
};

// Links the hook (which must live as long as the program) at the front of the list.
void Register(Hook& hook);
// Calls the hooks of the phase from the front of the list.
void Run(int phase);

// Registers at static initialisation.
class CRegistration {
public:
    CRegistration(Function function, void* argument, int phase);

private:
    Hook hook_;
};

} // namespace hooks
