#include "output/MessageBox.h"

#include <cstdarg>
#include <cstdio>

#include "output/StatusMessage.h"

namespace {

class CStderrMessageBox : public CMessageBox {
public:
    void ShowError(std::string_view title, std::string_view text) override {
        std::fprintf(stderr, "%.*s: %.*s\n", int(title.size()), title.data(), int(text.size()),
                     text.data());
    }
};

CStderrMessageBox& StderrBox() {
    static CStderrMessageBox box;
    return box;
}

CMessageBox* g_box = nullptr;

} // namespace

CMessageBox* SetMessageBox(CMessageBox* box) {
    CMessageBox* previous = g_box;
    g_box = box;
    return previous;
}

CMessageBox* GetMessageBox() {
    return g_box ? g_box : &StderrBox();
}

void ShowStatusMessage(store::Status status, const char* format, ...) {
    char message[500];
    std::va_list args;
    va_start(args, format);
    FormatStatusMessageV(message, sizeof message, status, format, args);
    va_end(args);
    GetMessageBox()->ShowError("Error", message);
}
