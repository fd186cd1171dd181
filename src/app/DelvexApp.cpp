#include "app/DelvexApp.h"

#include "app/CommandLinePath.h"
#include "app/DelvexDoc.h"
#include "app/FrontEnd.h"
#include "app/StandardHooks.h"
#include "common/Hooks.h"
#include "common/ProgramSettings.h"
#include "common/Settings.h"
#include "output/MessageBox.h"
#include "output/StatusMessage.h"
#include "store/RecentPeeked.h"
#include "tree/Cancel.h"
#include "tree/CancelProbe.h"

namespace {
constexpr const char* kVersion = "Version 1.3";
#ifdef DELVEX_BUILD_DATE
constexpr const char* kBuildDate = DELVEX_BUILD_DATE;
#else
constexpr const char* kBuildDate = "";
#endif
constexpr std::size_t kMessageSize = 201;

class CFrontEndMessageBox : public CMessageBox {
public:
    explicit CFrontEndMessageBox(CFrontEnd& frontEnd) : frontEnd_(frontEnd) {}
    void ShowError(std::string_view title, std::string_view text) override {
        frontEnd_.ShowMessage(title, text);
    }

private:
    CFrontEnd& frontEnd_;
};
} // namespace

CDelvexApp::CDelvexApp(CFrontEnd& frontEnd)
    : frontEnd_(frontEnd), messageBox_(std::make_unique<CFrontEndMessageBox>(frontEnd)) {}

CDelvexApp::~CDelvexApp() {
    if (running_) {
        Shutdown();
    }
}

const std::string& CDelvexApp::VersionText() {
    static const std::string text = [] {
        std::string t = std::string(kVersion) + "  for Corvane R4";
        if (*kBuildDate) {
            t += ",  ";
            t += kBuildDate;
        }
        return t;
    }();
    return text;
}

bool CDelvexApp::Start(std::string_view commandLine) {
    const store::Status st = store::SessionStart();
    if (st != store::kNoError) {
        char text[512];
        FormatStatusMessage(text, sizeof text, st, "Couldn't initialize Corvane");
        frontEnd_.ShowMessage("Error", text);
        return false;
    }
    storeStarted_ = true;
    running_ = true;
    store::SetMessageHook(MessageHook, &frontEnd_);
    store::SetBreakHook(BreakHook, nullptr);
    SetCancelProbe(CancelProbe, nullptr);
    previousBox_ = SetMessageBox(messageBox_.get());
    hooks::LinkStandardHooks();
    hooks::Run(hooks::kStartup);
    if (!frontEnd_.CreateMainFrame()) {
        return false;
    }
    recent::CreateProgramLists(ProgramSettings());
    auto* doc = new CDelvexDoc(nullptr, &frontEnd_);
    if (commandLine.empty()) {
        doc->NewDocument();
    } else {
        const CommandLinePath resolved = ResolveCommandLinePath(std::string(commandLine));
        if (!resolved.problem.empty())
            frontEnd_.ShowMessage("Error", "Couldn't open " + resolved.problem);
        // Opened all the same: its node says why it cannot be read, as for any database.
        doc->OpenDocument(resolved.path);
    }
    frontEnd_.OpenDocumentWindow(doc);
    return true;
}

int CDelvexApp::Shutdown() {
    running_ = false;
    CSettings& settings = ProgramSettings();
    if (!recent::SaveAndDestroyProgramLists(settings)) {
        frontEnd_.ShowMessage("Error", "Couldn't save the recently peeked databases and servers: " +
                                           settings.LastError());
    }
    hooks::Run(hooks::kShutdown);
    if (storeStarted_) {
        store::SetMessageHook(nullptr, nullptr);
        store::SetBreakHook(nullptr, nullptr);
        SetCancelProbe(nullptr, nullptr);
        SetMessageBox(previousBox_);
        store::SessionEnd();
        storeStarted_ = false;
    }
    return 0;
}

void CDelvexApp::Idle() {
    cancel::Clear();
}

int CDelvexApp::MessageHook(const char* text, store::Status status, store::MessageButtons buttons,
                            void* context) {
    auto* frontEnd = static_cast<CFrontEnd*>(context);
    std::string message;
    if (text) {
        message = text;
    } else {
        char buffer[kMessageSize];
        FormatStatusMessage(buffer, sizeof buffer, status, nullptr);
        message = buffer;
    }
    if (message.empty() || !frontEnd) {
        return store::kAnswerNone;
    }
    switch (buttons) {
    case store::MessageButtons::Ok:
    case store::MessageButtons::OkCancel:
    case store::MessageButtons::YesNo:
    case store::MessageButtons::YesNoCancel:
    case store::MessageButtons::RetryCancel:
        return frontEnd->AskUser(message, buttons);
    default:
        return store::kAnswerNone;
    }
}

bool CDelvexApp::CancelProbe(void*) {
    return cancel::Check();
}

int CDelvexApp::BreakHook(void*) {
    return cancel::Check() ? store::kCancelled : 0;
}
