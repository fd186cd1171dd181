#include "ui/StoreHooks.h"

#include "app/FrontEnd.h"
#include "store/StatusMessage.h"
#include "ui/CancelWatch.h"

namespace {

constexpr int kCancelledStatus = 413;

int MessageHook(const char* text, store::Status status, store::MessageButtons buttons,
                void* context) {
    auto* frontEnd = static_cast<CFrontEnd*>(context);
    if (text != nullptr)
        return frontEnd->AskUser(text, buttons);
    char message[201];
    FormatStatusMessage(message, sizeof message, status, nullptr);
    return frontEnd->AskUser(message, buttons);
}

int BreakHook(void*) {
    return BreakHookAnswer();
}

} // namespace

int BreakHookAnswer() {
    return cancelwatch::Check() ? kCancelledStatus : 0;
}

void InstallStoreHooks(CFrontEnd& frontEnd) {
    store::SetMessageHook(&MessageHook, &frontEnd);
    store::SetBreakHook(&BreakHook, nullptr);
}

void RemoveStoreHooks() {
    store::SetMessageHook(nullptr, nullptr);
    store::SetBreakHook(nullptr, nullptr);
}
