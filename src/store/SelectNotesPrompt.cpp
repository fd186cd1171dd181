#include "store/SelectNotesPrompt.h"

namespace {
CSelectNotesPrompt* g_prompt = nullptr;
}

CSelectNotesPrompt* SetSelectNotesPrompt(CSelectNotesPrompt* prompt) {
    CSelectNotesPrompt* previous = g_prompt;
    g_prompt = prompt;
    return previous;
}

CSelectNotesPrompt* GetSelectNotesPrompt() {
    return g_prompt;
}
