// The application without a window system: start-up (store service, its message and break
// hooks, the start-up hooks, the first document), idle time and shut-down. The front end
// supplies the windows and message boxes.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "store/api/Session.h"

class CFrontEnd;
class CMessageBox;

class CDelvexApp {
public:
    static constexpr const char* kSettingsFile = "dvxtool.ini";
    static constexpr const char* kHelpFile = "dvxtool.hlp";

    explicit CDelvexApp(CFrontEnd& frontEnd);
    ~CDelvexApp(); // shuts down when Start succeeded and Shutdown was not called

    // Start-up in order; false when the store service cannot start (after telling the user) or
    // the main window cannot be made. commandLine: a path to open, or empty for a new document.
    bool Start(std::string_view commandLine);
    // Runs the shut-down hooks and ends the store session. Returns the exit code.
    int Shutdown();
    // The program has nothing to do: a cancel request is forgotten.
    void Idle();
    bool StoreStarted() const { return storeStarted_; }

    // "Version 1.3  for Corvane R4", then ",  " and the build date when there is one.
    static const std::string& VersionText();

    // The hooks the store service calls; public for tests.
    static int MessageHook(const char* text, store::Status status, store::MessageButtons buttons,
                           void* context);
    static int BreakHook(void* context);
    // The store nodes' cancel probe: the program's cancel check.
    static bool CancelProbe(void* context);

private:
    CFrontEnd& frontEnd_;
    // Store failures with no node to hang on go to the front end's message boxes while running.
    std::unique_ptr<CMessageBox> messageBox_;
    CMessageBox* previousBox_ = nullptr;
    bool storeStarted_ = false;
    bool running_ = false;
};
