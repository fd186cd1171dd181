// How store nodes learn, between the steps of a long walk (items, search results, access
// entries), that the user has cancelled. The program connects its cancel check here; until it
// does, nothing is ever cancelled.
#pragma once

using CancelProbe = bool (*)(void* context);

// Installs the probe (null: never cancelled).
void SetCancelProbe(CancelProbe probe, void* context);
// True when the installed probe reports a cancel.
bool UserCancelled();

// Installs a probe for a scope and puts the previous one back at its end.
class CScopedCancelProbe {
public:
    CScopedCancelProbe(CancelProbe probe, void* context);
    ~CScopedCancelProbe();
    CScopedCancelProbe(const CScopedCancelProbe&) = delete;
    CScopedCancelProbe& operator=(const CScopedCancelProbe&) = delete;

private:
    CancelProbe previous_;
    void* previousContext_;
};
