// The desktop answers to what the application and its documents ask of the window system:
// the main window, document windows, view updates, message boxes, the dump and options dialogs.
#pragma once

#include <memory>

#include "app/FrontEnd.h"

class MainWindow;
class SelectNotesPrompt;

class QtFrontEnd : public CFrontEnd {
public:
    QtFrontEnd();
    ~QtFrontEnd() override;
    MainWindow* Window() const { return window_.get(); }

    void ShowMessage(std::string_view title, std::string_view text) override;
    int AskUser(std::string_view text, store::MessageButtons buttons) override;
    std::optional<DumpRequest> AskDumpFile() override;
    std::uint32_t EditOptions(CDelvexDoc& doc) override;
    bool CreateMainFrame() override;
    void OpenDocumentWindow(CDelvexDoc* doc) override;
    void UpdateViews(CDelvexDoc& doc, std::uint32_t hint) override;
    void ShowHelp(std::uint32_t context) override;

private:
    std::unique_ptr<MainWindow> window_;
    // Installed while the main window exists; it goes before it.
    std::unique_ptr<SelectNotesPrompt> selectNotes_;
};
