// Connects the store engine to the desktop: its questions to the user become message boxes and
// its "has the user cancelled?" becomes the cancel check.
#pragma once

class CFrontEnd;

// The front end must outlive the hooks (RemoveStoreHooks).
void InstallStoreHooks(CFrontEnd& frontEnd);
void RemoveStoreHooks();
// What the engine's break hook answers: the cancelled status when the user asked to cancel.
int BreakHookAnswer();
