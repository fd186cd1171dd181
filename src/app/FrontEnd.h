// What the application and its documents need from the window system: message boxes, the
// dump dialog, the options sheet. A desktop front end implements it with dialogs; the headless
// tools implement it with standard error and fixed answers.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "store/api/Session.h"
#include "tree/DumpToFile.h"

class CDelvexDoc;

// The answers of the dump dialog.
struct DumpRequest {
    std::string fileName;
    bool includeCollapsed = false;
    DumpFormat format = DumpFormat::Text;
};

class CFrontEnd {
public:
    virtual ~CFrontEnd() = default;

    // A message box with a title and one OK button.
    virtual void ShowMessage(std::string_view title, std::string_view text) = 0;
    // A message box with the buttons of a set 0..4; returns store::kAnswerOk and the rest.
    virtual int AskUser(std::string_view text, store::MessageButtons buttons) = 0;
    // The dump dialog; nothing when the user cancels.
    virtual std::optional<DumpRequest> AskDumpFile() = 0;
    // The "View Options" sheet on the document's options; returns the view-update hint bits of
    // what changed (0 when cancelled or nothing changed).
    virtual std::uint32_t EditOptions(CDelvexDoc& /*doc*/) { return 0; }
    // Creates the main window; false ends start-up silently.
    virtual bool CreateMainFrame() { return true; }
    // A new document window on the document (which it then owns).
    virtual void OpenDocumentWindow(CDelvexDoc* /*doc*/) {}
    // The document's views are to be updated with the hint bits.
    virtual void UpdateViews(CDelvexDoc& /*doc*/, std::uint32_t /*hint*/) {}
    // The help window on the topic of a help context; 0 or an unknown context: the contents.
    virtual void ShowHelp(std::uint32_t /*context*/) {}
};
