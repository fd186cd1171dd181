// The front end's Select Notes dialog, as the document sets ask for it. The dialog shows the
// logic's controls, lets the user change them and presses OK through CSelectNotesCore::Accept.
#pragma once

#include <cstdint>

class CSelectNotesCore;

// The commands of document sets.
namespace docsetcmd {
constexpr std::uint32_t kSelectNotes = 32785; // "&Select Notes..."
constexpr std::uint32_t kRemove = 32786;      // "&Remove"
} // namespace docsetcmd

class CSelectNotesPrompt {
public:
    virtual ~CSelectNotesPrompt() = default;
    // Runs the dialog; true only when it was closed with OK after core.Accept succeeded.
    virtual bool Run(CSelectNotesCore& core) = 0;
};

// Installs the dialog used from now on (null: none, every request is cancelled); returns the
// previous one. The prompt must outlive its installation.
CSelectNotesPrompt* SetSelectNotesPrompt(CSelectNotesPrompt* prompt);
CSelectNotesPrompt* GetSelectNotesPrompt();
