// The program-wide cancel request: set when the user asks to stop a long operation (Ctrl+Break
// in a window, SIGINT in a terminal tool), it stays set, so every later check reports it, until
// the program is next idle and clears it.
#pragma once

namespace cancel {

// The front end's look at pending input: removes Shift and Control key-downs and a pending
// Ctrl+Break, leaving every other key queued; true when it found a Ctrl+Break.
using KeyPoll = bool (*)();
void SetKeyPoll(KeyPoll poll); // null: nothing to poll

// The front end's bracket around a long operation (true at its start, false at its end), in
// which it watches the input for a cancel key and keeps its windows painted.
using OperationHook = void (*)(bool starts);
void SetOperationHook(OperationHook hook); // null: nothing to tell

// A long operation that the user may cancel, for a scope. Operations may nest.
class Operation {
public:
    Operation();
    ~Operation();
    Operation(const Operation&) = delete;
    Operation& operator=(const Operation&) = delete;
};

// Returns true when a cancel was requested, after polling the front end's input.
bool Check();
// Requests a cancel. Safe to call from a signal handler.
void Request();
bool Requested(); // without polling
void Clear();

// SIGINT requests a cancel instead of ending the program. A second SIGINT while the request is
// still pending ends the program as usual, so a stuck operation can always be left.
void InstallInterruptHandler();

} // namespace cancel
